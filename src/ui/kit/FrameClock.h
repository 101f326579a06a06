#pragma once

#include <QtGlobal>

class QTimer;

// The clock the tray process's animations step on: the system's monotonic time in milliseconds, the
// clock Qt's timers run on. An animation whose frames change only at whole multiples of gridMs of
// this clock, and whose timers fire exactly there (startAt), wakes the process together with every
// other such animation and with the application's whole-second clock, instead of each at its own
// moment: two animations on screen cost the wake-ups of one.
class FrameClock {
public:
    static constexpr int gridMs = 100;

    // Milliseconds of the monotonic clock.
    static qint64 nowMs();
    // Starts a single-shot timer to fire when nowMs() reaches dueMs, a whole multiple of gridMs
    // (at once when that has passed). The timer is a coarse one: Qt moves a coarse timer's wake to a
    // whole millisecond near a round fraction of the second, and the interval given is chosen so that
    // this is the due millisecond itself, where the other animations' timers fire as well.
    static void startAt(QTimer& timer, qint64 dueMs);
    // The interval startAt gives a timer that is due in waitMs.
    static int coarseInterval(int waitMs);
};
