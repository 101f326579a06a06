#pragma once

#include "services/dayplan/PlannedTimeEntry.h"

#include <QDate>
#include <QDateTime>
#include <QString>

// Values for the day-planning tests.

// Runs the process in Europe/Berlin (UTC+1, +2 in summer), so that local days and UTC days differ.
// Call before any local time is computed.
void useBerlinTime();

// The local time "HH:mm" of the day.
QDateTime at(const QDate& day, const QString& hhmm);

// A planned entry on the task "t-<name>" named after it, from start to end, made at start.
PlannedTimeEntry plannedEntry(const QString& name, const QDateTime& start, const QDateTime& end,
                              SyncStatus status = SyncStatus::local,
                              const std::optional<QString>& clickUpEntryId = std::nullopt);
