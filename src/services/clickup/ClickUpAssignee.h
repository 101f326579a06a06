#pragma once

#include <QString>

#include <optional>

class JsonReader;

// A user assigned to a ClickUp task. JSON members "id" (a number), "username", "color" (a hex
// colour text) and "profilePicture" (an address).
struct ClickUpAssignee {
    qint64 id = 0;
    QString username;
    std::optional<QString> color;
    std::optional<QString> profilePicture;

    // Two letters for the circle shown when there is no picture: the first letters of the first two
    // words of the user name (split at spaces), or else its first two characters; upper-cased.
    // "jane doe smith" → "JD", "abc" → "AB", "x" → "X", "" → "".
    QString initials() const;

    static ClickUpAssignee fromJson(const JsonReader& json);

    bool operator==(const ClickUpAssignee&) const = default;
};
