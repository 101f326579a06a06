#include "services/openai/OpenAIModel.h"

namespace OpenAIModels {
QList<OpenAIModel> all() {
    return {OpenAIModel::gpt4o, OpenAIModel::gpt4oMini, OpenAIModel::gpt4turbo, OpenAIModel::gpt35turbo};
}

QString rawValue(OpenAIModel model) {
    switch (model) {
    case OpenAIModel::gpt4o:
        return QStringLiteral("gpt-4o");
    case OpenAIModel::gpt4oMini:
        return QStringLiteral("gpt-4o-mini");
    case OpenAIModel::gpt4turbo:
        return QStringLiteral("gpt-4-turbo");
    case OpenAIModel::gpt35turbo:
        return QStringLiteral("gpt-3.5-turbo");
    }
    return QString();
}

QString displayName(OpenAIModel model) {
    switch (model) {
    case OpenAIModel::gpt4o:
        return QStringLiteral("GPT-4o");
    case OpenAIModel::gpt4oMini:
        return QStringLiteral("GPT-4o mini");
    case OpenAIModel::gpt4turbo:
        return QStringLiteral("GPT-4 Turbo");
    case OpenAIModel::gpt35turbo:
        return QStringLiteral("GPT-3.5 Turbo");
    }
    return QString();
}

QString description(OpenAIModel model) {
    switch (model) {
    case OpenAIModel::gpt4o:
        return QStringLiteral("Most capable, best quality");
    case OpenAIModel::gpt4oMini:
        return QStringLiteral("Fast and cost-effective");
    case OpenAIModel::gpt4turbo:
        return QStringLiteral("Balance of speed and quality");
    case OpenAIModel::gpt35turbo:
        return QStringLiteral("Fastest, most affordable");
    }
    return QString();
}

std::optional<OpenAIModel> fromRawValue(const QString& value) {
    for (OpenAIModel model : all()) {
        if (rawValue(model) == value) {
            return model;
        }
    }
    return std::nullopt;
}
} // namespace OpenAIModels
