#include "services/dayplan/TimelineColumnLayout.h"

#include <algorithm>
#include <utility>

TimelineColumnLayout TimelineColumnLayout::compute(const QList<TimelineEntry>& entries) {
    TimelineColumnLayout layout;
    if (entries.isEmpty()) {
        return layout;
    }
    QList<TimelineEntry> sorted = entries;
    std::stable_sort(sorted.begin(), sorted.end(), [](const TimelineEntry& a, const TimelineEntry& b) {
        return a.startTime < b.startTime;
    });

    // Entry ids per column, so that step 5 does not scan the whole map for each active item.
    QHash<int, QList<QUuid>> idsByColumn;
    QList<std::pair<QDateTime, int>> active;
    for (const TimelineEntry& entry : std::as_const(sorted)) {
        active.removeIf(
            [&entry](const std::pair<QDateTime, int>& item) { return item.first <= entry.startTime; });
        int column = 0;
        while (std::any_of(active.cbegin(), active.cend(), [column](const std::pair<QDateTime, int>& item) {
            return item.second == column;
        })) {
            ++column;
        }
        layout.columns.insert(entry.id, column);
        idsByColumn[column].append(entry.id);
        active.append({entry.endTime, column});
        int width = 0;
        for (const auto& item : std::as_const(active)) {
            width = std::max(width, item.second + 1);
        }
        for (const auto& item : std::as_const(active)) {
            for (const QUuid& id : std::as_const(idsByColumn[item.second])) {
                const auto found = layout.columnCounts.find(id);
                if (found == layout.columnCounts.end()) {
                    layout.columnCounts.insert(id, width);
                } else {
                    *found = std::max(*found, width);
                }
            }
        }
        layout.columnCounts.insert(entry.id, width);
    }

    // Entries that overlap share the widest count among them. The list is sorted by start, so the
    // scan for overlaps of an entry stops at the first later entry starting at or after its end.
    for (qsizetype i = 0; i < sorted.size(); ++i) {
        const TimelineEntry& entry = sorted[i];
        QList<qsizetype> overlapping;
        for (qsizetype k = 0; k < sorted.size(); ++k) {
            const TimelineEntry& other = sorted[k];
            if (k > i && other.startTime >= entry.endTime) {
                break;
            }
            if (k != i && other.id != entry.id && entry.startTime < other.endTime &&
                entry.endTime > other.startTime) {
                overlapping.append(k);
            }
        }
        if (overlapping.isEmpty()) {
            continue;
        }
        int widest = layout.columnCounts.value(entry.id, 1);
        for (qsizetype k : std::as_const(overlapping)) {
            widest = std::max(widest, layout.columnCounts.value(sorted[k].id, 1));
        }
        layout.columnCounts.insert(entry.id, widest);
        for (qsizetype k : std::as_const(overlapping)) {
            layout.columnCounts.insert(sorted[k].id, widest);
        }
    }
    return layout;
}
