#pragma once

#include "services/openai/ChatMessage.h"

#include <QList>
#include <QString>

#include <optional>

class JsonReader;

// The reply of a chat-completions request. "choices" is required; "usage" may be absent or null,
// and when present carries all three counts.
struct OpenAIChatResponse {
    struct Choice {
        ChatMessage message;
        std::optional<QString> finishReason; // "finish_reason"

        static Choice fromJson(const JsonReader& json);
    };

    struct Usage {
        qint64 promptTokens = 0;     // "prompt_tokens"
        qint64 completionTokens = 0; // "completion_tokens"
        qint64 totalTokens = 0;      // "total_tokens"

        static Usage fromJson(const JsonReader& json);
    };

    QList<Choice> choices;
    std::optional<Usage> usage;

    static OpenAIChatResponse fromJson(const JsonReader& json);
};
