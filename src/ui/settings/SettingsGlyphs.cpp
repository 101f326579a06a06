#include "ui/settings/SettingsGlyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QPixmap disc(int size, const QColor& color, qreal dpr, bool check) {
    QPixmap pixmap(QSize(size, size) * dpr);
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    const qreal s = size;
    painter.drawEllipse(QRectF(0, 0, s, s));
    QPen pen(Qt::white, qMax(1.2, s * 0.12), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    if (check) {
        QPainterPath path;
        path.moveTo(s * 0.28, s * 0.52);
        path.lineTo(s * 0.44, s * 0.68);
        path.lineTo(s * 0.72, s * 0.34);
        painter.drawPath(path);
    } else {
        painter.drawLine(QPointF(s * 0.33, s * 0.33), QPointF(s * 0.67, s * 0.67));
        painter.drawLine(QPointF(s * 0.67, s * 0.33), QPointF(s * 0.33, s * 0.67));
    }
    return pixmap;
}

} // namespace

QPixmap SettingsGlyphs::checkmarkDisc(int size, const QColor& color, qreal devicePixelRatio) {
    return disc(size, color, devicePixelRatio, true);
}

QPixmap SettingsGlyphs::crossDisc(int size, const QColor& color, qreal devicePixelRatio) {
    return disc(size, color, devicePixelRatio, false);
}
