#include "services/clickup/ClickUpSearchTaskResponse.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpSearchTaskResponse ClickUpSearchTaskResponse::fromJson(const JsonReader& json) {
    json.object();
    ClickUpSearchTaskResponse task;
    task.id = json["id"_L1].string();
    task.name = json["name"_L1].string();
    task.status = json["status"_L1].optional<ClickUpTaskStatus>();
    task.list = json["list"_L1].optional<ClickUpListRef>();
    task.url = json["url"_L1].optionalString();
    task.assignees = json["assignees"_L1].optionalList<ClickUpAssignee>();
    task.parent = json["parent"_L1].optionalString();
    task.subtasks = json["subtasks"_L1].optionalList<SubtaskRef>();
    return task;
}
