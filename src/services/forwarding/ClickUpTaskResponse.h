#pragma once

#include <QString>

class JsonReader;

// A ClickUp task as an n8n flow may pass it through: "id", "name" and "url" are required texts.
struct ClickUpTaskResponse {
    QString id;
    QString name;
    QString url;

    static ClickUpTaskResponse fromJson(const JsonReader& json);
};
