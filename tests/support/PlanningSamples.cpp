#include "PlanningSamples.h"

#include "support/TestData.h"

PlanningTask plannedTask(const QString& id, const QString& name, const QStringList& weeks,
                         const QString& status, const QString& hours) {
    PlanningTask task;
    task.name = onHeap(name);
    task.clickUpTaskId = onHeap(id);
    task.status = onHeap(status);
    for (const QString& week : weeks) {
        task.weeks.insert(onHeap(week), {WeekEntry{{}, onHeap(hours), {}, {}, {}}});
    }
    return task;
}
