#include "services/clickup/TimeEntryGroup.h"

#include <QHash>

#include <algorithm>

QList<TimeEntryGroup> TimeEntryGroup::makeGroups(const QList<TimeEntry>& entries) {
    QList<TimeEntryGroup> groups;
    QHash<QString, qsizetype> indexByTask;
    for (const TimeEntry& entry : entries) {
        auto found = indexByTask.constFind(entry.taskId);
        if (found == indexByTask.constEnd()) {
            found = indexByTask.insert(entry.taskId, groups.size());
            TimeEntryGroup group;
            group.taskId = entry.taskId;
            group.taskName = entry.taskName;
            group.taskUrl = entry.taskUrl;
            group.status = entry.status;
            groups.append(group);
        }
        TimeEntryGroup& group = groups[*found];
        group.totalDuration += entry.effectiveDuration();
        group.entries.append(entry);
    }
    const auto newerStart = [](const TimeEntry& a, const TimeEntry& b) { return a.startTime > b.startTime; };
    for (TimeEntryGroup& group : groups) {
        std::stable_sort(group.entries.begin(), group.entries.end(), newerStart);
    }
    std::stable_sort(groups.begin(), groups.end(), [](const TimeEntryGroup& a, const TimeEntryGroup& b) {
        return a.entries.constFirst().startTime > b.entries.constFirst().startTime;
    });
    return groups;
}
