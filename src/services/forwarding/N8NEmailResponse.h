#pragma once

#include <QString>

#include <optional>

class JsonReader;

// The reply format of an n8n flow built for Pendlow: {"success": true, "taskId": "...", "taskUrl": "...",
// "message": "..."}; only "success" is required.
struct N8NEmailResponse {
    bool success = false;
    std::optional<QString> taskId;
    std::optional<QString> taskUrl;
    std::optional<QString> message;

    static N8NEmailResponse fromJson(const JsonReader& json);
};
