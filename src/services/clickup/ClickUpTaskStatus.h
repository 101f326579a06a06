#pragma once

#include <QString>

#include <optional>

class JsonReader;

// A task's status as ClickUp sends it: {"status": "in progress", "color": "#4194f6"}.
struct ClickUpTaskStatus {
    QString status;
    std::optional<QString> color;

    // "status" is required; "color" is optional.
    static ClickUpTaskStatus fromJson(const JsonReader& json);

    bool operator==(const ClickUpTaskStatus&) const = default;
};
