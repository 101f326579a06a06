#pragma once

#include "services/clickup/TaskStatus.h"

#include <QDateTime>
#include <QString>
#include <QUrl>

// One ClickUp time entry, for display.
struct TimeEntry {
    QString id;       // ClickUp time-entry id
    QString taskId;   // empty when the entry has no task
    QString taskName; // "Unknown Task" when the entry has no task
    QUrl taskUrl;
    TaskStatus status = TaskStatus::other;
    QDateTime startTime;
    // An entry ClickUp lists without an end ends at its start.
    QDateTime endTime;
    // Milliseconds, as ClickUp sends it. The running entry comes with a negative duration (minus its
    // start); use effectiveDuration() wherever durations are shown or added up.
    double duration = 0;

    // A running entry (negative duration) ClickUp still times.
    bool isRunning() const { return duration < 0; }
    // The duration to show or add up: `duration`, or for a running entry the milliseconds from its
    // start to Clock::now(), never below 0.
    double effectiveDuration() const;

    // Start and end as "[HH:mm - HH:mm]" in local time, e.g. "[09:00 - 10:30]".
    QString timeRangeText() const;

    bool operator==(const TimeEntry&) const = default;
};
