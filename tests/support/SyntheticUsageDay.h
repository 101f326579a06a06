#pragma once

#include "services/usage/AppUsageSession.h"

#include <QDate>
#include <QList>

// A synthetic day of usage for benchmarks: sessionCount sessions of captureCount / sessionCount
// captures each, back to back from 07:00 on 14 March 2025 (local time), 15 to 54 seconds long, two
// thirds of them with one of 17 task ids; 60 % of the captures carry an address, 10 % e-mail fields,
// 5 % are redacted, titles are 40 to 120 characters long. The same seed every time, so every run
// measures the same day (the day bench_usage builds for its heavy day).
namespace syntheticusage {

QDate day();
QList<AppUsageSession> sessions(int sessionCount, int captureCount);

} // namespace syntheticusage
