#include "ui/kit/RowStyle.h"

#include "ui/kit/PopoverStyle.h"

#include <QWidget>

namespace RowStyle {
namespace {
QColor pick(const QPalette& palette, QRgb light, QRgb dark) {
    return QColor::fromRgb(PopoverStyle::isDark(palette) ? dark : light);
}
} // namespace

QFont font(qreal pointSize, QFont::Weight weight) {
    return PopoverStyle::font(pointSize, weight);
}

QFont monospacedFont(qreal pointSize) {
    return PopoverStyle::monospacedFont(pointSize);
}

QColor secondaryColor(const QPalette& palette) {
    return PopoverStyle::secondaryText(palette);
}

QColor tertiaryColor(const QPalette& palette) {
    return PopoverStyle::tertiaryText(palette);
}

QColor withOpacity(QColor color, qreal opacity) {
    return PopoverStyle::withAlpha(color, opacity);
}

QColor orange(const QPalette& palette) {
    return PopoverStyle::orange(palette);
}

QColor blue(const QPalette& palette) {
    return pick(palette, 0x007AFF, 0x0A84FF);
}

QColor green(const QPalette& palette) {
    return PopoverStyle::green(palette);
}

QColor cyan(const QPalette& palette) {
    return pick(palette, 0x32ADE6, 0x64D2FF);
}

QColor yellow(const QPalette& palette) {
    return pick(palette, 0xFFCC00, 0xFFD60A);
}

QColor purple(const QPalette& palette) {
    return pick(palette, 0xAF52DE, 0xBF5AF2);
}

QColor gray(const QPalette& palette) {
    return pick(palette, 0x8E8E93, 0x98989D);
}

QPixmap glyph(const QString& iconName, qreal pointSize, const QColor& color, const QWidget* widget) {
    return PopoverStyle::symbol(iconName, pointSize, widget, color);
}

QPixmap icon(const QString& iconName, qreal pointSize, const QWidget* widget) {
    return PopoverStyle::symbol(iconName, pointSize, widget);
}

void setTextColor(QWidget* widget, const QColor& color) {
    PopoverStyle::setTextColor(widget, color);
}
} // namespace RowStyle
