#pragma once

#include "app/JsonReader.h"
#include "clickup/ClickUpAssignee.h"
#include "clickup/ClickUpListRef.h"
#include "clickup/ClickUpTaskStatus.h"
#include "clickup/SubtaskRef.h"

#include <QList>
#include <QString>

#include <optional>

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
