#include "menubar/RowStyle.h"

#include "alerts/AlertIcons.h"

#include <QApplication>
#include <QFontDatabase>
#include <QWidget>

#include <cmath>

namespace RowStyle {
namespace {
QColor pick(const QPalette& palette, QRgb light, QRgb dark) {
    return QColor::fromRgb(isDark(palette) ? dark : light);
}

// Points to logical pixels at the screen's resolution.
int pointsToPixels(qreal points, const QWidget* widget) {
    const qreal dpi = widget ? widget->logicalDpiY() : 96.0;
    return std::max(1, int(std::lround(points * dpi / 72.0)));
}
} // namespace

QFont font(qreal pointSize, QFont::Weight weight) {
    QFont result = QApplication::font();
    result.setPointSizeF(pointSize);
    result.setWeight(weight);
    return result;
}

QFont monospacedFont(qreal pointSize) {
    QFont result = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    result.setPointSizeF(pointSize);
    return result;
}

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor secondaryColor(const QPalette& palette) {
    return withOpacity(palette.color(QPalette::WindowText), 0.55);
}

QColor tertiaryColor(const QPalette& palette) {
    return withOpacity(palette.color(QPalette::WindowText), 0.35);
}

QColor withOpacity(QColor color, qreal opacity) {
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QColor orange(const QPalette& palette) {
    return pick(palette, 0xFF9500, 0xFF9F0A);
}

QColor blue(const QPalette& palette) {
    return pick(palette, 0x007AFF, 0x0A84FF);
}

QColor green(const QPalette& palette) {
    return pick(palette, 0x34C759, 0x30D158);
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
    const qreal ratio = widget ? widget->devicePixelRatioF() : qApp->devicePixelRatio();
    return AlertIcons::pixmap(iconName, pointsToPixels(pointSize, widget), ratio, color);
}

QPixmap icon(const QString& iconName, qreal pointSize, const QWidget* widget) {
    const qreal ratio = widget ? widget->devicePixelRatioF() : qApp->devicePixelRatio();
    return AlertIcons::pixmap(iconName, pointsToPixels(pointSize, widget), ratio);
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    widget->setPalette(palette);
}
} // namespace RowStyle
