#include "services/clickup/SubtaskRef.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

SubtaskRef SubtaskRef::fromJson(const JsonReader& json) {
    json.object();
    return {json["id"_L1].string(), json["name"_L1].string(),
            json["status"_L1].optional<ClickUpTaskStatus>()};
}
