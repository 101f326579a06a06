#pragma once

#include "services/tools/PlanningTask.h"

#include <QList>
#include <QString>

// One client's tasks within a week of the planning.
struct ClientGroup {
    QString clientName;
    QList<PlanningTask> tasks;

    // The tasks grouped by PlanningTask::clientName(), the groups in ascending order of their names
    // (Unicode code points after canonical composition: case-sensitive, capitals first, not
    // locale-aware) and the tasks of each group in status order, tasks of one status keeping their
    // input order.
    static QList<ClientGroup> fromTasks(const QList<PlanningTask>& tasks);
    // The order of client names used above.
    static bool isNameOrderedBefore(const QString& a, const QString& b);

    bool operator==(const ClientGroup&) const = default;
};
