#pragma once

#include "services/tools/PlanningTask.h"

#include <QList>
#include <QString>

#include <optional>

class JsonReader;

// The Tools server's reply to the personal-planning call: "data" holds the planning as JSON text
// (a list of task objects), "xbarversion" the server's version text. Both may be missing or null.
struct ToolsPlanningResponse {
    std::optional<QString> data;
    std::optional<QString> xbarVersion;

    // The tasks held in `data`. Never fails: without data there are no tasks, and data that is not a
    // valid task list (one task lacking a required member is enough) gives no tasks either, after the
    // line "Failed to parse planning tasks: <reason>" on standard output.
    QList<PlanningTask> parseTasks() const;

    static ToolsPlanningResponse fromJson(const JsonReader& json);
};
