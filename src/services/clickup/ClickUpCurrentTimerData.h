#pragma once

#include "services/clickup/ClickUpTaskRef.h"
#include "services/clickup/FlexibleValue.h"

#include <QString>

#include <optional>

class JsonReader;

// The running time entry in a current-timer or start reply. Every member is optional; "start" is
// epoch milliseconds, sent as text or as a number and kept as text.
struct ClickUpCurrentTimerData {
    std::optional<QString> id;
    std::optional<QString> start;
    std::optional<FlexibleValue> duration;
    std::optional<ClickUpTaskRef> task;
    std::optional<QString> taskUrl; // "task_url"

    static ClickUpCurrentTimerData fromJson(const JsonReader& json);

    bool operator==(const ClickUpCurrentTimerData&) const = default;
};
