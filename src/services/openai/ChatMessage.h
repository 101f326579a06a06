#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

class JsonReader;

// One message of a chat-completions exchange: {"role": "user", "content": "..."}.
struct ChatMessage {
    QString role;
    QString content;
    // The model's reason for declining, sent in place of the content ("content" is then null);
    // only read, never sent.
    std::optional<QString> refusal;

    // "role" is required; "content" is required but may be null when a "refusal" text is present.
    static ChatMessage fromJson(const JsonReader& json);
    QJsonObject toJson() const;

    bool operator==(const ChatMessage&) const = default;
};
