#pragma once

#include <QString>

// Duration texts of day planning.
namespace DayPlanText {
// Seconds (fraction dropped) as "45m", "1h", "1h 30m": minutes under an hour, whole hours when
// less than a minute is left over, else hours and minutes. 0 → "0m", 3660 → "1h 1m".
QString compactDurationText(double seconds);
// The same rule for a timeline block's length in whole seconds (59 → "0m", 3659 → "1h").
QString durationText(qint64 seconds);
// A day's total as "%dh %02dm" ("2h 05m", "0h 00m").
QString totalText(qint64 seconds);
// Planned hours of a planning task as "1h 27m", "15m", "2h"; rounded to whole minutes first.
QString plannedHoursText(double hours);
} // namespace DayPlanText
