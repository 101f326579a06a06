#pragma once

#include "services/tools/PlanningTask.h"

#include <QList>
#include <QMetaType>
#include <QString>

// One week of the planning: its week of the year (1 to 53) or 0 for the unscheduled tasks, and its
// tasks in the order the server sent them.
struct WeekPlan {
    static constexpr int unscheduled = 0;

    int weekNumber = unscheduled;
    QList<PlanningTask> tasks;

    // "Unscheduled" for week 0, else "Week " and the number.
    QString title() const;

    bool operator==(const WeekPlan&) const = default;
};

Q_DECLARE_METATYPE(WeekPlan)
