#include "services/clickup/ClickUpTaskRef.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpTaskRef ClickUpTaskRef::fromJson(const JsonReader& json) {
    json.object();
    return {json["id"_L1].string(), json["name"_L1].string(), json["url"_L1].optionalString()};
}
