#pragma once

#include "services/clickup/ClickUpTimeEntryResponse.h"

class JsonReader;

// Reply of creating or updating a time entry. ClickUp sends "data" as one entry object or as an
// array of entries, of which the first counts.
struct ClickUpTimeEntryCreateResponse {
    ClickUpTimeEntryResponse data;

    // A non-empty array of entries gives its first element; otherwise "data" must be one entry
    // object; otherwise dataCorrupted "Could not decode time entry response - expected array or
    // single object in 'data' field".
    static ClickUpTimeEntryCreateResponse fromJson(const JsonReader& json);

    bool operator==(const ClickUpTimeEntryCreateResponse&) const = default;
};
