#pragma once

#include "services/clickup/ClickUpTaskStatus.h"

#include <QString>

#include <optional>

class JsonReader;

// The task of a time entry. Only "id" is required; a task without a name is "Unknown Task".
struct ClickUpTaskDetail {
    QString id;
    QString name;
    std::optional<QString> url;
    std::optional<ClickUpTaskStatus> status;

    static ClickUpTaskDetail fromJson(const JsonReader& json);

    bool operator==(const ClickUpTaskDetail&) const = default;
};
