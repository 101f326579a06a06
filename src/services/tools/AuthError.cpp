#include "services/tools/AuthError.h"

AuthError::AuthError(Kind kind, QString reason)
    : m_kind(kind)
    , m_reason(std::move(reason)) {}

AuthError AuthError::authenticationFailed(const QString& reason) {
    return AuthError(Kind::authenticationFailed, reason);
}

AuthError AuthError::invalidURL() {
    return AuthError(Kind::invalidURL);
}

AuthError AuthError::invalidResponse() {
    return AuthError(Kind::invalidResponse);
}

AuthError AuthError::noRefreshToken() {
    return AuthError(Kind::noRefreshToken);
}

AuthError AuthError::noAccessToken() {
    return AuthError(Kind::noAccessToken);
}

AuthError AuthError::refreshFailed() {
    return AuthError(Kind::refreshFailed);
}

AuthError AuthError::authenticationCancelled() {
    return AuthError(Kind::authenticationCancelled);
}

QString AuthError::description() const {
    switch (m_kind) {
    case Kind::authenticationFailed:
        return QStringLiteral("Authentication failed: ") + m_reason;
    case Kind::invalidURL:
        return QStringLiteral("Invalid authentication URL");
    case Kind::invalidResponse:
        return QStringLiteral("Invalid response from server");
    case Kind::noRefreshToken:
        return QStringLiteral("No refresh token available. Please log in again.");
    case Kind::noAccessToken:
        return QStringLiteral("No access token available. Please log in.");
    case Kind::refreshFailed:
        return QStringLiteral("Failed to refresh authentication. Please log in again.");
    case Kind::authenticationCancelled:
        return QStringLiteral("Authentication was cancelled");
    }
    return {};
}

bool AuthError::operator==(const AuthError& other) const {
    return m_kind == other.m_kind && m_reason == other.m_reason;
}
