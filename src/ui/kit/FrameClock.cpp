#include "ui/kit/FrameClock.h"

#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

qint64 FrameClock::nowMs() {
    QElapsedTimer clock;
    clock.start();
    return clock.msecsSinceReference();
}

int FrameClock::coarseInterval(int waitMs) {
    // Qt starts the timer at now plus the interval, now being a fraction of a millisecond past the
    // millisecond read here, and rounds the wake of a coarse timer of more than 20 ms: under 100 ms
    // down to an even millisecond or a multiple of 4, from 100 ms to the nearest multiple of 25 ms, or
    // of 50 to 500 ms when the interval itself is a multiple of 50. One millisecond more than the wait
    // lands just after the due millisecond, which every one of these roundings takes back to it; an
    // interval that is a multiple of 50 from 100 ms on would be rounded to a coarser multiple, so it
    // gets one more millisecond.
    int interval = std::max(0, waitMs) + 1;
    if (interval >= 100 && interval % 50 == 0) {
        ++interval;
    }
    return interval;
}

void FrameClock::startAt(QTimer& timer, qint64 dueMs) {
    timer.setSingleShot(true);
    timer.setTimerType(Qt::CoarseTimer);
    timer.start(coarseInterval(int(std::clamp<qint64>(dueMs - nowMs(), 0, 24 * 3600 * 1000))));
}
