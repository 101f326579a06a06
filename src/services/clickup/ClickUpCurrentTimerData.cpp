#include "services/clickup/ClickUpCurrentTimerData.h"

#include "core/JsonReader.h"
#include "services/clickup/MillisecondsText.h"

using namespace Qt::StringLiterals;

ClickUpCurrentTimerData ClickUpCurrentTimerData::fromJson(const JsonReader& json) {
    json.object();
    return {json["id"_L1].optionalString(), optionalMillisecondsText(json["start"_L1], "start"_L1),
            json["duration"_L1].optional<FlexibleValue>(), json["task"_L1].optional<ClickUpTaskRef>(),
            json["task_url"_L1].optionalString()};
}
