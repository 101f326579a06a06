#pragma once

#include "ui/kit/FrameClock.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

#include <memory>

// The frames of the no-timer panel's pulsing icon, rendered once and shared by every panel: a
// 70 px circle of the halo colour that swells to 1.2 times its size and the warning symbol (44 px)
// that swells to 1.1 times, easing in and out over 0.8 s each way. Each frame is a square tile of
// the card's background with the circle and the symbol drawn over it, so a panel shows a frame by
// copying one tile and nothing behind it needs painting.
//
// There are framesPerHalf + 1 frames, one per 100 ms step of a half period (10 frames a second; the
// circle's edge moves at most 1.5 px a step); the panel plays them forwards and backwards. A frame is shown
// for a whole step, so the image changes only at whole multiples of frameIntervalMs into the pulse. Frames
// that would differ by less than a quarter pixel share one image, so showing them again changes nothing on
// screen. The cache keeps the frame sets of the last cacheCapacity looks (background, halo, symbol, pixel
// ratio); a panel holds on to its own set while it lives. GUI thread only.
class PulseFrames {
public:
    static constexpr int circleSize = 70;
    static constexpr int symbolSize = 44;
    static constexpr qreal circleGrowth = 0.2;
    static constexpr qreal symbolGrowth = 0.1;
    static constexpr int halfPeriodMs = 800;
    static constexpr int framesPerHalf = 8;
    static constexpr int frameIntervalMs = halfPeriodMs / framesPerHalf;
    static constexpr int cacheCapacity = 2;
    static_assert(frameIntervalMs % FrameClock::gridMs == 0, "the frames change on FrameClock's steps");

    struct Look {
        QColor background;  // the card's colour under the icon, with its alpha
        QColor halo;        // the circle's colour, with its alpha
        QString symbolName; // the symbol's icon name (AlertIcons)
        qreal devicePixelRatio = 1.0;
        bool operator==(const Look& other) const;
    };

    using Frames = std::shared_ptr<const QList<QImage>>;

    // The tile's size in logical pixels: room for the circle at its largest, centred.
    static QSize tileSize();
    // The frame to show at a time into the pulse: 0 at rest, framesPerHalf at the widest point; the
    // frame of the step the time falls in.
    static int frameAt(qint64 msIntoPulse);
    // Milliseconds from a time into the pulse until the frame on screen shows another image (frames
    // that share an image count as one), at most one full period.
    static int msUntilChange(const QList<QImage>& frames, qint64 msIntoPulse);
    // How far the pulse has swollen in a frame: 0 to 1, eased.
    static qreal swellOf(int frame);
    // The frames of a look, rendered on first use.
    static Frames frames(const Look& look);
    // How many looks the cache holds now.
    static int cachedLooks();
    static void clearCache();

private:
    static QList<QImage> render(const Look& look);
};
