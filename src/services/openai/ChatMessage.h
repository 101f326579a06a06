#pragma once

#include "core/JsonReader.h"

#include <QJsonObject>
#include <QString>

// One message of a chat-completions exchange: {"role": "user", "content": "..."}.
struct ChatMessage {
    QString role;
    QString content;

    // Both members are required.
    static ChatMessage fromJson(const JsonReader& json);
    QJsonObject toJson() const;

    bool operator==(const ChatMessage&) const = default;
};
