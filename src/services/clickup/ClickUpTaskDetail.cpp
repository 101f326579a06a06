#include "services/clickup/ClickUpTaskDetail.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpTaskDetail ClickUpTaskDetail::fromJson(const JsonReader& json) {
    json.object();
    return {json["id"_L1].string(), json["name"_L1].optionalString().value_or(u"Unknown Task"_s),
            json["url"_L1].optionalString(), json["status"_L1].optional<ClickUpTaskStatus>()};
}
