#pragma once

#include "core/Error.h"

#include <QString>

// A failure of the Tools sign-in or of the token handling.
class AuthError : public Error {
public:
    enum class Kind {
        authenticationFailed, // reason
        invalidURL,
        invalidResponse,
        noRefreshToken,
        noAccessToken,
        refreshFailed,
        authenticationCancelled,
    };

    static AuthError authenticationFailed(const QString& reason);
    static AuthError invalidURL();
    static AuthError invalidResponse();
    static AuthError noRefreshToken();
    static AuthError noAccessToken();
    static AuthError refreshFailed();
    static AuthError authenticationCancelled();

    Kind kind() const { return m_kind; }
    // The reason of authenticationFailed; empty for the other cases.
    const QString& reason() const { return m_reason; }

    // "Authentication failed: <reason>", "Invalid authentication URL", "Invalid response from server",
    // "No refresh token available. Please log in again.", "No access token available. Please log in.",
    // "Failed to refresh authentication. Please log in again.", "Authentication was cancelled".
    QString description() const override;

    bool operator==(const AuthError& other) const;

private:
    explicit AuthError(Kind kind, QString reason = {});

    Kind m_kind;
    QString m_reason;
};
