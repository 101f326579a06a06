#pragma once

#include "services/clickup/ClickUpTaskDetail.h"

#include <QString>

#include <optional>

class JsonReader;

// One time entry as ClickUp lists it. "start", "end" and "duration" are epoch milliseconds, which
// ClickUp sends as text or as a number; both are kept as decimal text here.
struct ClickUpTimeEntryResponse {
    QString id;
    QString start;
    std::optional<QString> end;
    QString duration;
    std::optional<ClickUpTaskDetail> task;
    std::optional<QString> taskUrl; // "task_url"

    // "id" must be a string. "start" and "duration" must be a string or a whole number, otherwise
    // typeMismatch "Expected String or Int for start" (or "... for duration"). "end" of any other
    // form, null or missing is simply absent. "task" and "task_url" are optional but must have the
    // right type when present.
    static ClickUpTimeEntryResponse fromJson(const JsonReader& json);

    bool operator==(const ClickUpTimeEntryResponse&) const = default;
};
