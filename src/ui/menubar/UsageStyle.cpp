#include "ui/menubar/UsageStyle.h"

#include "ui/kit/PopoverStyle.h"

#include <QIcon>
#include <QWidget>

namespace UsageStyle {
QColor purple(const QPalette& palette) {
    return PopoverStyle::isDark(palette) ? QColor(191, 90, 242) : QColor(175, 82, 222);
}

QPixmap genericAppIcon(qreal pointSize, const QWidget* widget) {
    const int size = PopoverStyle::symbolSize(pointSize, widget);
    const QIcon themed = QIcon::fromTheme(QStringLiteral("application-x-executable"));
    if (!themed.isNull()) {
        return themed.pixmap(size, size);
    }
    return PopoverStyle::symbol(QStringLiteral("application-x-executable"), pointSize, widget,
                                PopoverStyle::secondaryText(widget->palette()));
}
} // namespace UsageStyle
