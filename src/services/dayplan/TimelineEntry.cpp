#include "services/dayplan/TimelineEntry.h"

#include "services/dayplan/DayPlanText.h"

using namespace Qt::StringLiterals;

QString TimelineEntry::timeRangeText() const {
    const QString format = u"HH:mm"_s;
    return u"["_s + startTime.toLocalTime().toString(format) + u" - "_s +
           endTime.toLocalTime().toString(format) + u"]"_s;
}

QString TimelineEntry::durationText() const {
    return DayPlanText::durationText(startTime.secsTo(endTime));
}
