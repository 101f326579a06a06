#pragma once

#include "core/JsonReader.h"
#include "services/clickup/ClickUpCurrentTimerData.h"

#include <optional>

// Reply of the current-timer, start and stop requests: {"data": {...}} or {"data": null} when no
// timer runs.
struct ClickUpCurrentTimerResponse {
    std::optional<ClickUpCurrentTimerData> data;

    static ClickUpCurrentTimerResponse fromJson(const JsonReader& json);

    bool operator==(const ClickUpCurrentTimerResponse&) const = default;
};
