#include "services/openai/OpenAIChatRequest.h"

#include <QJsonArray>
#include <QJsonDocument>

QJsonObject OpenAIChatRequest::toJson() const {
    QJsonArray encodedMessages;
    for (const ChatMessage& message : messages) {
        encodedMessages.append(message.toJson());
    }
    return QJsonObject{{QStringLiteral("model"), model},
                       {QStringLiteral("messages"), encodedMessages},
                       {QStringLiteral("temperature"), temperature},
                       {QStringLiteral("max_tokens"), maxTokens}};
}

QByteArray OpenAIChatRequest::encode() const {
    return QJsonDocument(toJson()).toJson(QJsonDocument::Compact);
}
