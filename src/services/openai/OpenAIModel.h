#pragma once

#include <QList>
#include <QString>

#include <optional>

// The chat models the AI settings tab offers, in its order. The raw value is what the setting
// "openAIModel" stores and what a request sends as its model.
enum class OpenAIModel { gpt4o, gpt4oMini, gpt4turbo, gpt35turbo };

namespace OpenAIModels {
QList<OpenAIModel> all();
QString rawValue(OpenAIModel model);
QString displayName(OpenAIModel model);
QString description(OpenAIModel model);
std::optional<OpenAIModel> fromRawValue(const QString& rawValue);
} // namespace OpenAIModels
