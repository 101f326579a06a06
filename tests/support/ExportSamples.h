#pragma once

#include "services/usage/DailyUsageSummary.h"

#include <QDateTime>

// The day the export tests read (14 March 2025 in the pinned zone and locale of
// usagesamples::pinZoneAndLocale): five sessions, given out of time order, in three activity blocks,
// with two tasks, an application name holding a comma and one holding double quotes, a session of
// 59 seconds with a redacted capture only, window titles that look like spreadsheet formulas, and a
// session still open at now().
namespace exportsamples {

// 12:30 on the sample day: the moment the open session runs to.
QDateTime now();
DailyUsageSummary day();

} // namespace exportsamples
