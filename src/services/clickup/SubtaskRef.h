#pragma once

#include "services/clickup/ClickUpTaskStatus.h"

#include <QString>

#include <optional>

class JsonReader;

// A subtask named by a searched task.
struct SubtaskRef {
    QString id;
    QString name;
    std::optional<ClickUpTaskStatus> status;

    static SubtaskRef fromJson(const JsonReader& json);

    bool operator==(const SubtaskRef&) const = default;
};
