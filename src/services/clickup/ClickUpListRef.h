#pragma once

#include <QString>

class JsonReader;

// The ClickUp list a searched task belongs to.
struct ClickUpListRef {
    QString id;
    QString name;

    static ClickUpListRef fromJson(const JsonReader& json);

    bool operator==(const ClickUpListRef&) const = default;
};
