#pragma once

#include "core/Error.h"

#include <QString>

#include <optional>

// The failure of a ClickUp or Tools call. Each state keeps its last one and shows description().
// Texts that may come from a server (the message, the detail) are kept as serverText() makes them:
// secrets masked, at most a few hundred characters.
class APIError : public Error {
public:
    enum class Kind {
        networkError,  // underlying error's description
        httpError,     // status code, optional message
        decodingError, // underlying error's description
        requestFailed, // reason
        invalidToken,
        missingTeamId,
        missingWSToken,
        invalidResponse,
        invalidURL,
    };

    static APIError networkError(const QString& underlyingDescription);
    static APIError networkError(const std::exception& underlying);
    static APIError httpError(int statusCode, std::optional<QString> message);
    static APIError decodingError(const QString& underlyingDescription);
    static APIError decodingError(const std::exception& underlying);
    static APIError requestFailed(const QString& reason);
    static APIError invalidToken();
    static APIError missingTeamId();
    static APIError missingWSToken();
    static APIError invalidResponse();
    static APIError invalidURL();

    Kind kind() const { return m_kind; }
    int statusCode() const { return m_statusCode; }
    const std::optional<QString>& message() const { return m_message; }
    // The underlying error's description (network and decoding errors) or the reason (requestFailed).
    const QString& detail() const { return m_detail; }

    QString description() const override;

    bool operator==(const APIError& other) const;

private:
    explicit APIError(Kind kind);

    Kind m_kind;
    int m_statusCode = 0;
    std::optional<QString> m_message;
    QString m_detail;
};
