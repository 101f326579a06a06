#include "services/clickup/ClickUpTimeEntryCreateResponse.h"

#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

ClickUpTimeEntryCreateResponse ClickUpTimeEntryCreateResponse::fromJson(const JsonReader& json) {
    json.object();
    const JsonReader data = json["data"_L1];
    try {
        const auto entries = data.list<ClickUpTimeEntryResponse>();
        if (!entries.isEmpty()) {
            return {entries.first()};
        }
    } catch (const DecodingError&) {
        // Not an array of entries: try one entry object below.
    }
    try {
        return {data.decode<ClickUpTimeEntryResponse>()};
    } catch (const DecodingError&) {
        throw data.dataCorrupted(
            u"Could not decode time entry response - expected array or single object in 'data' field"_s);
    }
}
