#include "services/clickup/ClickUpTimeEntriesResponse.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpTimeEntriesResponse ClickUpTimeEntriesResponse::fromJson(const JsonReader& json) {
    json.object();
    return {json["data"_L1].list<ClickUpTimeEntryResponse>()};
}
