#include "services/openai/OpenAIError.h"

OpenAIError::OpenAIError(Kind kind, int statusCode, QString message)
    : m_kind(kind)
    , m_statusCode(statusCode)
    , m_message(std::move(message)) {}

OpenAIError OpenAIError::httpError(int statusCode) {
    return OpenAIError(Kind::httpError, statusCode);
}

OpenAIError OpenAIError::apiError(QString message) {
    return OpenAIError(Kind::apiError, 0, std::move(message));
}

OpenAIError OpenAIError::missingToken() {
    return OpenAIError(Kind::missingToken);
}

OpenAIError OpenAIError::invalidToken() {
    return OpenAIError(Kind::invalidToken);
}

OpenAIError OpenAIError::invalidURL() {
    return OpenAIError(Kind::invalidURL);
}

OpenAIError OpenAIError::invalidResponse() {
    return OpenAIError(Kind::invalidResponse);
}

OpenAIError OpenAIError::emptyResponse() {
    return OpenAIError(Kind::emptyResponse);
}

OpenAIError OpenAIError::rateLimited() {
    return OpenAIError(Kind::rateLimited);
}

OpenAIError OpenAIError::quotaExceeded(QString message) {
    return OpenAIError(Kind::quotaExceeded, 429, std::move(message));
}

OpenAIError OpenAIError::refused(QString refusal) {
    return OpenAIError(Kind::refused, 0, std::move(refusal));
}

QString OpenAIError::description() const {
    switch (m_kind) {
    case Kind::httpError:
        return QStringLiteral("OpenAI API error (HTTP %1)").arg(m_statusCode);
    case Kind::apiError:
        return QStringLiteral("OpenAI API error: ") + m_message;
    case Kind::missingToken:
        return QStringLiteral("OpenAI API token is not configured. Add it in Settings.");
    case Kind::invalidToken:
        return QStringLiteral("OpenAI API token is invalid. Check your token in Settings.");
    case Kind::invalidURL:
        return QStringLiteral("Invalid OpenAI API URL configuration.");
    case Kind::invalidResponse:
        return QStringLiteral("Invalid response from OpenAI API.");
    case Kind::emptyResponse:
        return QStringLiteral("OpenAI returned an empty response.");
    case Kind::rateLimited:
        return QStringLiteral("Rate limited. Please try again later.");
    case Kind::quotaExceeded:
        return m_message.isEmpty()
                   ? QStringLiteral(
                         "The OpenAI account has no credit left. Check your plan and billing details.")
                   : QStringLiteral("The OpenAI account has no credit left: ") + m_message;
    case Kind::refused:
        return m_message.isEmpty() ? QStringLiteral("OpenAI declined to write the summary.")
                                   : QStringLiteral("OpenAI declined to write the summary: ") + m_message;
    }
    return QString();
}
