#pragma once

#include "services/clickup/ClickUpSearchTaskResponse.h"

#include <QList>

class JsonReader;

// One page of a team's task listing: {"tasks": [...]}.
struct ClickUpSearchResponse {
    QList<ClickUpSearchTaskResponse> tasks;

    static ClickUpSearchResponse fromJson(const JsonReader& json);

    bool operator==(const ClickUpSearchResponse&) const = default;
};
