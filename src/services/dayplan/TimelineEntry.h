#pragma once

#include "services/dayplan/SyncStatus.h"

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QUuid>

#include <optional>

// One block of the day timeline: a planned entry, or a ClickUp time entry of the day that no planned
// entry stands for. Made afresh by DayPlanningState::timelineEntries(), never stored.
struct TimelineEntry {
    // The planned entry's id; a new random one for a ClickUp entry.
    QUuid id;
    QDateTime startTime;
    QDateTime endTime;
    QString taskName;
    QString taskId;
    bool isPlanned = false;
    std::optional<QUuid> plannedEntryId;
    // The ClickUp entry's id; a planned entry's clickUpEntryId.
    std::optional<QString> existingEntryId;
    SyncStatus syncStatus = SyncStatus::synced;

    // "[HH:mm - HH:mm]" in local time.
    QString timeRangeText() const;
    // Whole seconds of the block as "45m", "2h", "1h 30m".
    QString durationText() const;

    bool operator==(const TimelineEntry&) const = default;
};

Q_DECLARE_METATYPE(TimelineEntry)
