#pragma once

#include "services/clickup/TaskStatus.h"
#include "services/clickup/TimeEntry.h"

#include <QList>
#include <QString>
#include <QUrl>

// Today's entries of one task, as one row of the worked-on list shows them. Entries without a task
// share the empty task id and so form one group, on which no timer can be started.
struct TimeEntryGroup {
    QString taskId;
    // Name, link and status of the group's first entry in the order of the entries given.
    QString taskName;
    QUrl taskUrl;
    TaskStatus status = TaskStatus::other;
    // Milliseconds: the entries' effective durations added up (a running entry counts up to now).
    double totalDuration = 0;
    // Newest start first.
    QList<TimeEntry> entries;

    // The entries grouped by task id (each group keeping the entries' order for its name, link and
    // status), the groups ordered by their newest start, newest first; groups whose newest entries
    // start at the same instant keep the order in which their tasks first appear.
    static QList<TimeEntryGroup> makeGroups(const QList<TimeEntry>& entries);

    bool operator==(const TimeEntryGroup&) const = default;
};
