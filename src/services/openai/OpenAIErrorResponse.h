#pragma once

#include <QString>

#include <optional>

class JsonReader;

// The body OpenAI sends with a failure status: {"error": {"message": "...", "type": "...", "code": "..."}}.
// "error" and its "message" are required; "type" and "code" are optional texts (a numeric code does
// not decode).
struct OpenAIErrorResponse {
    struct ErrorDetail {
        QString message;
        std::optional<QString> type;
        std::optional<QString> code;

        static ErrorDetail fromJson(const JsonReader& json);
    };

    ErrorDetail error;

    static OpenAIErrorResponse fromJson(const JsonReader& json);
};
