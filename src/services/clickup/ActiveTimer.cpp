#include "services/clickup/ActiveTimer.h"

#include "core/Clock.h"
#include "core/Formatting.h"

#include <algorithm>

QString ActiveTimer::elapsedTimeString() const {
    return hoursMinutesText(double(std::max<qint64>(0, startTime.msecsTo(Clock::now()))));
}
