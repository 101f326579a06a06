#include "services/clickup/TimeEntry.h"

#include "core/Clock.h"

#include <algorithm>

using namespace Qt::StringLiterals;

double TimeEntry::effectiveDuration() const {
    if (duration >= 0) {
        return duration;
    }
    return double(std::max<qint64>(0, startTime.msecsTo(Clock::now())));
}

QString TimeEntry::timeRangeText() const {
    const QString format = u"HH:mm"_s;
    return u"["_s + startTime.toLocalTime().toString(format) + u" - "_s +
           endTime.toLocalTime().toString(format) + u"]"_s;
}
