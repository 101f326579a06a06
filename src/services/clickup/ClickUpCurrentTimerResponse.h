#pragma once

#include "services/clickup/ClickUpCurrentTimerData.h"

#include <optional>

class JsonReader;

// Reply of the current-timer, start and stop requests: {"data": {...}} or {"data": null} when no
// timer runs.
struct ClickUpCurrentTimerResponse {
    std::optional<ClickUpCurrentTimerData> data;

    static ClickUpCurrentTimerResponse fromJson(const JsonReader& json);

    bool operator==(const ClickUpCurrentTimerResponse&) const = default;
};
