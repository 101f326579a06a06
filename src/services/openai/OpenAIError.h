#pragma once

#include "core/Error.h"

#include <QString>

// A failure of the OpenAI client; description() is the text the export sheet and the AI settings
// tab show.
class OpenAIError : public Error {
public:
    enum class Kind {
        httpError,
        apiError,
        missingToken,
        invalidToken,
        invalidURL,
        invalidResponse,
        emptyResponse,
        rateLimited,
        // 429 with the code "insufficient_quota": the account has no credit left.
        quotaExceeded,
        // The model declined to answer; the message is its refusal.
        refused
    };

    static OpenAIError httpError(int statusCode);
    static OpenAIError apiError(QString message);
    static OpenAIError missingToken();
    static OpenAIError invalidToken();
    static OpenAIError invalidURL();
    static OpenAIError invalidResponse();
    static OpenAIError emptyResponse();
    static OpenAIError rateLimited();
    static OpenAIError quotaExceeded(QString message);
    static OpenAIError refused(QString refusal);

    Kind kind() const { return m_kind; }
    // The status of httpError, 0 otherwise.
    int statusCode() const { return m_statusCode; }
    // The server's message of apiError and quotaExceeded, the refusal of refused, empty otherwise.
    const QString& message() const { return m_message; }

    QString description() const override;

private:
    OpenAIError(Kind kind, int statusCode = 0, QString message = {});

    Kind m_kind;
    int m_statusCode;
    QString m_message;
};
