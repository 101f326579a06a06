#pragma once

#include "services/tools/PlanningTask.h"

#include <QString>
#include <QStringList>

// A planned task for the tests of the planning states and views: planned in the given weeks (ISO week
// numbers as text) with `hours` in each. Its texts are made on the heap.
PlanningTask plannedTask(const QString& id, const QString& name, const QStringList& weeks = {},
                         const QString& status = QStringLiteral("in progress"),
                         const QString& hours = QStringLiteral("1"));
