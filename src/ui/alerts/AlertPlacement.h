#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where the reminder windows stand, in Qt's screen coordinates (origin top left), worked out from a
// screen's available geometry (the area not taken by panels).
//  - the no-timer toast, 360 x 80, 20 px from the right and top edges;
//  - the active-timer toast, 320 x 70, 20 px from the right and top edges;
//  - the floating panel, 380 x 200, centred horizontally, its bottom edge 100 px above the bottom.
class AlertPlacement {
public:
    static constexpr QSize toastSize{360, 80};
    static constexpr QSize activeTimerToastSize{320, 70};
    static constexpr QSize panelSize{380, 200};

    static QPoint toastTopLeft(const QRect& available);
    static QPoint activeTimerToastTopLeft(const QRect& available);
    static QPoint panelTopLeft(const QRect& available);

    // A window's top left from its origin given as the offset of its bottom-left corner from the
    // bottom-left corner of `available`, y counting upwards.
    static QPoint fromBottomLeftOrigin(const QRect& available, QPoint origin, QSize size);

    // A window's top left by one of the rules above, on the primary screen; none without a screen.
    static std::optional<QPoint> onPrimaryScreen(QPoint (*place)(const QRect& available));
};
