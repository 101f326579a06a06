#include "ui/kit/AlertIcons.h"

#include "core/Log.h"

#include <QFile>
#include <QHash>
#include <QPainter>

QString AlertIcons::resourcePath(const QString& name) {
    return QStringLiteral(":/icons/%1.svg").arg(name);
}

QIcon AlertIcons::icon(const QString& name) {
    // One icon object per name: Qt caches the pixmaps an icon renders under the icon's identity, so
    // an icon made anew for every window would leave its pixmaps behind in that cache.
    static QHash<QString, QIcon> icons;
    auto found = icons.constFind(name);
    if (found == icons.constEnd()) {
        const QString path = resourcePath(name);
        QIcon made;
        if (QFile::exists(path)) {
            made = QIcon(path);
        } else {
            Log::error(QStringLiteral("No drawing of the symbol \"%1\"").arg(name), Log::Category::ui);
        }
        found = icons.insert(name, made);
    }
    return *found;
}

QPixmap AlertIcons::pixmap(const QString& name, int size, qreal devicePixelRatio,
                           std::optional<QColor> tint) {
    // Rasterising a drawing is the costly part, and the windows ask for the same few symbols in the
    // same few sizes and colours each time they are built: each is made once. (The design's names,
    // sizes and colours are few, so the cache stays small.)
    static QHash<QString, QPixmap> made;
    const QString key = QStringLiteral("%1/%2/%3/%4/%5")
                            .arg(QIcon::themeName(), name)
                            .arg(size)
                            .arg(devicePixelRatio)
                            .arg(tint ? QString::number(tint->rgba(), 16) : QStringLiteral("none"));
    if (const auto found = made.constFind(key); found != made.constEnd()) {
        return *found;
    }
    QPixmap result = icon(name).pixmap(QSize(size, size), devicePixelRatio);
    if (tint && !result.isNull()) {
        QPainter painter(&result);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(QRectF(QPointF(0, 0), result.deviceIndependentSize()), *tint);
    }
    made.insert(key, result);
    return result;
}
