#include "services/clickup/APIError.h"

#include "core/ServerText.h"

APIError::APIError(Kind kind)
    : m_kind(kind) {}

APIError APIError::networkError(const QString& underlyingDescription) {
    APIError error(Kind::networkError);
    error.m_detail = serverText(underlyingDescription);
    return error;
}

APIError APIError::networkError(const std::exception& underlying) {
    return networkError(Error::describe(underlying));
}

APIError APIError::httpError(int statusCode, std::optional<QString> message) {
    APIError error(Kind::httpError);
    error.m_statusCode = statusCode;
    if (message) {
        error.m_message = serverText(*message);
    }
    return error;
}

APIError APIError::decodingError(const QString& underlyingDescription) {
    APIError error(Kind::decodingError);
    error.m_detail = serverText(underlyingDescription);
    return error;
}

APIError APIError::decodingError(const std::exception& underlying) {
    return decodingError(Error::describe(underlying));
}

APIError APIError::requestFailed(const QString& reason) {
    APIError error(Kind::requestFailed);
    error.m_detail = serverText(reason);
    return error;
}

APIError APIError::invalidToken() {
    return APIError(Kind::invalidToken);
}

APIError APIError::missingTeamId() {
    return APIError(Kind::missingTeamId);
}

APIError APIError::missingWSToken() {
    return APIError(Kind::missingWSToken);
}

APIError APIError::invalidResponse() {
    return APIError(Kind::invalidResponse);
}

APIError APIError::invalidURL() {
    return APIError(Kind::invalidURL);
}

QString APIError::description() const {
    switch (m_kind) {
    case Kind::networkError:
        return QStringLiteral("Network error: ") + m_detail;
    case Kind::httpError:
        if (m_message) {
            return QStringLiteral("Server error (%1): %2").arg(m_statusCode).arg(*m_message);
        }
        return QStringLiteral("Server error: %1").arg(m_statusCode);
    case Kind::decodingError:
        return QStringLiteral("Failed to parse response: ") + m_detail;
    case Kind::requestFailed:
        return QStringLiteral("Request failed: ") + m_detail;
    case Kind::invalidToken:
        return QStringLiteral("Please add API Token first in Settings.");
    case Kind::missingTeamId:
        return QStringLiteral("Team ID is not set.");
    case Kind::missingWSToken:
        return QStringLiteral("Web service token is not set.");
    case Kind::invalidResponse:
        return QStringLiteral("Invalid response from server.");
    case Kind::invalidURL:
        return QStringLiteral("Invalid URL configuration.");
    }
    return {};
}

bool APIError::operator==(const APIError& other) const {
    return m_kind == other.m_kind && m_statusCode == other.m_statusCode && m_message == other.m_message &&
           m_detail == other.m_detail;
}
