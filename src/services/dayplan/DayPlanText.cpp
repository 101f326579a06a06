#include "services/dayplan/DayPlanText.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace DayPlanText {

QString durationText(qint64 total) {
    const qint64 hours = total / 3600;
    const qint64 rest = total - hours * 3600;
    const qint64 minutes = rest / 60;
    if (total < 3600) {
        return QString::number(minutes) + u"m"_s;
    }
    if (rest < 60) {
        return QString::number(hours) + u"h"_s;
    }
    return QString::number(hours) + u"h "_s + QString::number(minutes) + u"m"_s;
}

QString compactDurationText(double seconds) {
    return durationText(static_cast<qint64>(std::trunc(seconds)));
}

QString totalText(qint64 seconds) {
    return QString::asprintf("%lldh %02lldm", static_cast<long long>(seconds / 3600),
                             static_cast<long long>((seconds % 3600) / 60));
}

QString plannedHoursText(double hours) {
    // Whole minutes first: 1.45 h is 87 minutes, not 86.99...
    const qint64 totalMinutes = std::llround(hours * 60);
    const qint64 h = totalMinutes / 60;
    const qint64 m = totalMinutes % 60;
    if (h < 1) {
        return QString::number(m) + u"m"_s;
    }
    if (m < 1) {
        return QString::number(h) + u"h"_s;
    }
    return QString::number(h) + u"h "_s + QString::number(m) + u"m"_s;
}

} // namespace DayPlanText
