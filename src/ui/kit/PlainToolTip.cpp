#include "ui/kit/PlainToolTip.h"

QString plainToolTip(const QString& text) {
    if (text.isEmpty()) {
        return text;
    }
    return QStringLiteral("<qt>") + text.toHtmlEscaped() + QStringLiteral("</qt>");
}
