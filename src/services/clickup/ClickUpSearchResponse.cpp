#include "services/clickup/ClickUpSearchResponse.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpSearchResponse ClickUpSearchResponse::fromJson(const JsonReader& json) {
    json.object();
    return {json["tasks"_L1].list<ClickUpSearchTaskResponse>()};
}
