#pragma once

#include <QString>

#include <optional>

class JsonReader;

// One line of planned work of a task in one week, as the Tools server sends it. Every member is an
// optional text ("assignee", "hours", "minutes", "comments", "label"); a member of another JSON type
// (a number, say) fails to decode.
struct WeekEntry {
    std::optional<QString> assignee;
    std::optional<QString> hours;
    std::optional<QString> minutes;
    std::optional<QString> comments;
    std::optional<QString> label;

    // Hours plus minutes / 60, each read by plannedAmount().
    double plannedHours() const;

    // A planned amount written as text: a decimal number in the C locale ("7.5", "+2", "1e1"); an
    // absent text counts as 0, and so does one that is empty, starts with white space, holds anything
    // after the number, or is not finite ("7,5", " 7", "nan").
    static double plannedAmount(const std::optional<QString>& text);

    static WeekEntry fromJson(const JsonReader& json);

    bool operator==(const WeekEntry&) const = default;
};
