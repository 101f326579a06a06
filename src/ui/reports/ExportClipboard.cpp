#include "ui/reports/ExportClipboard.h"

#include "core/Log.h"

#include <QClipboard>
#include <QGuiApplication>

bool ExportClipboard::putText(const QString& text) {
    if (!qGuiApp) {
        return false;
    }
    QClipboard* clipboard = QGuiApplication::clipboard();
    // Setting the text replaces every format the clipboard held, so no clearing goes before it.
    clipboard->setText(text, QClipboard::Clipboard);
    // Read back through the selection owner: when another client took it or the display refused the
    // ownership, the text read is not ours.
    if (clipboard->text(QClipboard::Clipboard) != text) {
        Log::warning(QStringLiteral("The clipboard did not take the copied text"), Log::Category::ui);
        return false;
    }
    return true;
}
