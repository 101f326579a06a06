#include "services/openai/ChatMessage.h"

#include "core/JsonReader.h"

ChatMessage ChatMessage::fromJson(const JsonReader& json) {
    ChatMessage message;
    message.role = json[QLatin1String("role")].string();
    message.refusal = json[QLatin1String("refusal")].optionalString();
    if (message.refusal) {
        message.content = json[QLatin1String("content")].optionalString().value_or(QString());
    } else {
        message.content = json[QLatin1String("content")].string();
    }
    return message;
}

QJsonObject ChatMessage::toJson() const {
    return QJsonObject{{QStringLiteral("role"), role}, {QStringLiteral("content"), content}};
}
