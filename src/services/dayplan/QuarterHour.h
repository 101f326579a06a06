#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>

// Quarter-hour arithmetic of day planning, in local wall-clock time.

// The quarter hour at or before t, seconds dropped: 08:07:59 → 08:00, 08:52 → 08:45.
QDateTime floorToQuarterHour(const QDateTime& t);
// The quarter hour at or after t's minute, seconds dropped: 09:50 → 10:00, 09:00:45 → 09:00,
// 23:50 → 00:00 of the next day.
QDateTime roundUpToQuarterHour(const QDateTime& t);
// The local wall-clock time of the day (09:00 stays 09:00 on a day with a clock change).
QDateTime localTimeOfDay(const QDate& day, int hour, int minute = 0);
// Local midnight starting the day of t.
QDateTime startOfLocalDay(const QDateTime& t);
