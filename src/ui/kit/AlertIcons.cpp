#include "ui/kit/AlertIcons.h"

#include <QPainter>

QIcon AlertIcons::icon(const QString& name) {
    return QIcon::fromTheme(name, QIcon(QStringLiteral(":/icons/%1.svg").arg(name)));
}

QPixmap AlertIcons::pixmap(const QString& name, int size, qreal devicePixelRatio,
                           std::optional<QColor> tint) {
    QPixmap result = icon(name).pixmap(QSize(size, size), devicePixelRatio);
    if (tint && !result.isNull()) {
        QPainter painter(&result);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(QRectF(QPointF(0, 0), result.deviceIndependentSize()), *tint);
    }
    return result;
}
