#include "services/clickup/ClickUpTaskStatus.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpTaskStatus ClickUpTaskStatus::fromJson(const JsonReader& json) {
    json.object();
    return {json["status"_L1].string(), json["color"_L1].optionalString()};
}
