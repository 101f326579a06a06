#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

// The timer running in ClickUp.
struct ActiveTimer {
    QString id;       // ClickUp id of the running time entry
    QString taskId;   // empty when ClickUp names no task
    QString taskName; // "Unknown Task" when ClickUp names no task
    QUrl taskUrl;     // the task in the ClickUp web application
    QDateTime startTime;

    // Hours and minutes since startTime, "%02d:%02d" (seconds dropped, hours not wrapped at 24),
    // from Clock::now(). A start ahead of the clock counts as "00:00".
    QString elapsedTimeString() const;

    bool operator==(const ActiveTimer&) const = default;
};
