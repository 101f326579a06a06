#include "services/clickup/ClickUpCurrentTimerResponse.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpCurrentTimerResponse ClickUpCurrentTimerResponse::fromJson(const JsonReader& json) {
    json.object();
    return {json["data"_L1].optional<ClickUpCurrentTimerData>()};
}
