#pragma once

#include "services/dayplan/TimelineEntry.h"

#include <QHash>
#include <QList>
#include <QUuid>

// Side-by-side placement of overlapping timeline blocks: each entry's column and the number of
// columns its width is divided by. An entry keeps the largest group width ever seen in its column;
// entries that overlap share the largest count among them. Touching entries do not overlap.
struct TimelineColumnLayout {
    QHash<QUuid, int> columns;
    QHash<QUuid, int> columnCounts;

    int column(const QUuid& id) const { return columns.value(id, 0); }
    int columnCount(const QUuid& id) const { return columnCounts.value(id, 1); }

    static TimelineColumnLayout compute(const QList<TimelineEntry>& entries);
};
