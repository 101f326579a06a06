#include "services/tools/WeekPlan.h"

QString WeekPlan::title() const {
    if (weekNumber == unscheduled) {
        return QStringLiteral("Unscheduled");
    }
    return QStringLiteral("Week %1").arg(weekNumber);
}
