#include "platform/SystemClipboard.h"

#include <QClipboard>
#include <QGuiApplication>

std::optional<QString> SystemClipboard::clipboardText() const {
    if (!qGuiApp) {
        return std::nullopt;
    }
    const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    if (text.isNull()) {
        return std::nullopt;
    }
    return text;
}
