#pragma once

#include <QString>

#include <optional>

class JsonReader;

// The task of the running timer: "id" and "name" are both required.
struct ClickUpTaskRef {
    QString id;
    QString name;
    std::optional<QString> url;

    static ClickUpTaskRef fromJson(const JsonReader& json);

    bool operator==(const ClickUpTaskRef&) const = default;
};
