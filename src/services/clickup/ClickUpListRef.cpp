#include "services/clickup/ClickUpListRef.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpListRef ClickUpListRef::fromJson(const JsonReader& json) {
    json.object();
    return {json["id"_L1].string(), json["name"_L1].string()};
}
