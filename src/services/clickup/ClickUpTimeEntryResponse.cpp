#include "services/clickup/ClickUpTimeEntryResponse.h"

#include "core/JsonReader.h"
#include "services/clickup/MillisecondsText.h"

using namespace Qt::StringLiterals;

ClickUpTimeEntryResponse ClickUpTimeEntryResponse::fromJson(const JsonReader& json) {
    json.object();
    ClickUpTimeEntryResponse entry;
    entry.id = json["id"_L1].string();
    entry.start = requiredMillisecondsText(json["start"_L1], "start"_L1);
    entry.end = millisecondsText(json["end"_L1].value());
    entry.duration = requiredMillisecondsText(json["duration"_L1], "duration"_L1);
    entry.task = json["task"_L1].optional<ClickUpTaskDetail>();
    entry.taskUrl = json["task_url"_L1].optionalString();
    return entry;
}
