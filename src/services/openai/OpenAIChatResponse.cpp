#include "services/openai/OpenAIChatResponse.h"

#include "core/JsonReader.h"

OpenAIChatResponse::Choice OpenAIChatResponse::Choice::fromJson(const JsonReader& json) {
    Choice choice;
    choice.message = json[QLatin1String("message")].decode<ChatMessage>();
    choice.finishReason = json[QLatin1String("finish_reason")].optionalString();
    return choice;
}

OpenAIChatResponse::Usage OpenAIChatResponse::Usage::fromJson(const JsonReader& json) {
    Usage usage;
    usage.promptTokens = json[QLatin1String("prompt_tokens")].integer();
    usage.completionTokens = json[QLatin1String("completion_tokens")].integer();
    usage.totalTokens = json[QLatin1String("total_tokens")].integer();
    return usage;
}

OpenAIChatResponse OpenAIChatResponse::fromJson(const JsonReader& json) {
    OpenAIChatResponse response;
    response.choices = json[QLatin1String("choices")].list<Choice>();
    response.usage = json[QLatin1String("usage")].optional<Usage>();
    return response;
}
