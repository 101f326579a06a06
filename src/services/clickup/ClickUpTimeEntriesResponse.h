#pragma once

#include "services/clickup/ClickUpTimeEntryResponse.h"

#include <QList>

class JsonReader;

// Reply of the time-entry list: {"data": [...]}. One entry that does not decode fails the reply.
struct ClickUpTimeEntriesResponse {
    QList<ClickUpTimeEntryResponse> data;

    static ClickUpTimeEntriesResponse fromJson(const JsonReader& json);

    bool operator==(const ClickUpTimeEntriesResponse&) const = default;
};
