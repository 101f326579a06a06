#pragma once

#include "services/clickup/ClickUpAssignee.h"
#include "services/clickup/ClickUpListRef.h"
#include "services/clickup/ClickUpTaskStatus.h"
#include "services/clickup/SubtaskRef.h"

#include <QList>
#include <QString>

#include <optional>

class JsonReader;

// One task of a team's task listing. A task with "parent" is a subtask.
struct ClickUpSearchTaskResponse {
    QString id;
    QString name;
    std::optional<ClickUpTaskStatus> status;
    std::optional<ClickUpListRef> list;
    std::optional<QString> url;
    std::optional<QList<ClickUpAssignee>> assignees;
    std::optional<QString> parent;
    std::optional<QList<SubtaskRef>> subtasks;

    static ClickUpSearchTaskResponse fromJson(const JsonReader& json);

    bool operator==(const ClickUpSearchTaskResponse&) const = default;
};
