#include "ui/alerts/PulseFrames.h"

#include "ui/kit/AlertIcons.h"

#include <QEasingCurve>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
struct CachedLook {
    PulseFrames::Look look;
    PulseFrames::Frames frames;
};

// Most recently used first.
QList<CachedLook>& cache() {
    static QList<CachedLook> looks;
    return looks;
}
} // namespace

bool PulseFrames::Look::operator==(const Look& other) const {
    return background.rgba() == other.background.rgba() && halo.rgba() == other.halo.rgba() &&
           symbolName == other.symbolName && devicePixelRatio == other.devicePixelRatio;
}

QSize PulseFrames::tileSize() {
    const int reach = int(std::ceil(circleSize * (1 + circleGrowth) / 2)) + 1;
    return QSize(2 * reach + 1, 2 * reach + 1);
}

int PulseFrames::frameAt(qint64 msIntoPulse) {
    const qint64 period = 2 * halfPeriodMs;
    const qint64 phase = ((msIntoPulse % period) + period) % period;
    const qint64 step = phase / frameIntervalMs; // 0 to 2 * framesPerHalf - 1
    return int(std::clamp<qint64>(step <= framesPerHalf ? step : 2 * framesPerHalf - step, 0, framesPerHalf));
}

int PulseFrames::msUntilChange(const QList<QImage>& frames, qint64 msIntoPulse) {
    const int period = 2 * halfPeriodMs;
    const auto imageAt = [&frames](qint64 ms) {
        const int frame = frameAt(ms);
        return frame < frames.size() ? frames.at(frame).cacheKey() : qint64(frame);
    };
    const qint64 shown = imageAt(msIntoPulse);
    // A step at a time: the image changes only at whole steps.
    const qint64 intoStep = ((msIntoPulse % frameIntervalMs) + frameIntervalMs) % frameIntervalMs;
    const qint64 stepEnd = msIntoPulse - intoStep + frameIntervalMs;
    for (qint64 at = stepEnd; at <= msIntoPulse + period; at += frameIntervalMs) {
        if (imageAt(at) != shown) {
            return int(at - msIntoPulse);
        }
    }
    return period;
}

qreal PulseFrames::swellOf(int frame) {
    static const QEasingCurve ease(QEasingCurve::InOutSine);
    return ease.valueForProgress(qreal(std::clamp(frame, 0, framesPerHalf)) / framesPerHalf);
}

PulseFrames::Frames PulseFrames::frames(const Look& look) {
    QList<CachedLook>& looks = cache();
    for (qsizetype i = 0; i < looks.size(); ++i) {
        if (looks.at(i).look == look) {
            looks.move(i, 0);
            return looks.constFirst().frames;
        }
    }
    auto rendered = std::make_shared<const QList<QImage>>(render(look));
    looks.prepend(CachedLook{look, rendered});
    while (looks.size() > cacheCapacity) {
        looks.removeLast();
    }
    return rendered;
}

int PulseFrames::cachedLooks() {
    return int(cache().size());
}

void PulseFrames::clearCache() {
    cache().clear();
}

QList<QImage> PulseFrames::render(const Look& look) {
    const QSize tile = tileSize();
    const qreal ratio = look.devicePixelRatio > 0 ? look.devicePixelRatio : 1.0;
    const QSize pixels(qCeil(tile.width() * ratio), qCeil(tile.height() * ratio));
    const QPointF centre(tile.width() / 2.0, tile.height() / 2.0);

    const QPixmap symbolPixmap =
        AlertIcons::pixmap(look.symbolName, qRound(symbolSize * (1 + symbolGrowth)), ratio);
    QList<QImage> frames;
    frames.reserve(framesPerHalf + 1);
    qreal drawnCircle = -1;
    qreal drawnSymbol = -1;
    for (int frame = 0; frame <= framesPerHalf; ++frame) {
        const qreal swell = swellOf(frame);
        const qreal circle = circleSize * (1 + circleGrowth * swell);
        const qreal symbol = symbolSize * (1 + symbolGrowth * swell);
        if (!frames.isEmpty() && std::abs(circle - drawnCircle) < 0.25 &&
            std::abs(symbol - drawnSymbol) < 0.25) {
            frames.append(frames.constLast()); // the same image: nothing to show anew
            continue;
        }
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(look.background);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setPen(Qt::NoPen);
        painter.setBrush(look.halo);
        painter.drawEllipse(centre, circle / 2, circle / 2);
        if (!symbolPixmap.isNull()) {
            painter.drawPixmap(QRectF(centre.x() - symbol / 2, centre.y() - symbol / 2, symbol, symbol),
                               symbolPixmap, QRectF(QPointF(0, 0), QSizeF(symbolPixmap.size())));
        }
        painter.end();
        frames.append(image);
        drawnCircle = circle;
        drawnSymbol = symbol;
    }
    return frames;
}
