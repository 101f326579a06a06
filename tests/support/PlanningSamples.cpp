#include "PlanningSamples.h"

PlanningTask plannedTask(const QString& id, const QString& name, const QStringList& weeks,
                         const QString& status, const QString& hours) {
    PlanningTask task;
    task.name = name;
    task.clickUpTaskId = id;
    task.status = status;
    for (const QString& week : weeks) {
        task.weeks.insert(week, {WeekEntry{{}, hours, {}, {}, {}}});
    }
    return task;
}
