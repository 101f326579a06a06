#pragma once

#include "services/tools/PlanningTask.h"

#include <QList>
#include <QString>

#include <optional>

// What the personal-planning call gives: the planned tasks and the server's version text.
struct PersonalPlanning {
    QList<PlanningTask> tasks;
    std::optional<QString> serverVersion;

    bool operator==(const PersonalPlanning&) const = default;
};
