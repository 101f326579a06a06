#pragma once

#include "services/openai/ChatMessage.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The body of a chat-completions request: model, messages, temperature and max_tokens, nothing else.
struct OpenAIChatRequest {
    QString model;
    QList<ChatMessage> messages;
    double temperature = 0;
    int maxTokens = 0;

    QJsonObject toJson() const;
    QByteArray encode() const;
};
