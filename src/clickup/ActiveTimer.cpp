#include "clickup/ActiveTimer.h"

#include "app/Clock.h"
#include "app/Formatting.h"

#include <algorithm>

QString ActiveTimer::elapsedTimeString() const {
    return hoursMinutesText(double(std::max<qint64>(0, startTime.msecsTo(Clock::now()))));
}
