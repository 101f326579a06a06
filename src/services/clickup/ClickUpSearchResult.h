#pragma once

#include "services/clickup/ClickUpAssignee.h"
#include "services/clickup/SubtaskRef.h"
#include "services/clickup/TaskStatus.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// A task found by the ClickUp search, identified by its id.
struct ClickUpSearchResult {
    QString id;
    QString name;
    TaskStatus status = TaskStatus::other;
    QString listName; // "Unknown List" when ClickUp names no list
    QUrl taskUrl;
    QList<ClickUpAssignee> assignees;
    std::optional<QString> parent; // the parent task of a subtask
    QList<SubtaskRef> subtasks;

    bool operator==(const ClickUpSearchResult&) const = default;
};
