#pragma once

#include "services/tools/UserInfoResponse.h"

#include <QCoroTask>
#include <QString>
#include <QUrl>

#include <optional>

// The Tools sign-in as the web-service client, the login coordinator and the settings window hold
// it, so their tests can substitute it. See ToolsAuthService for the behaviour.
class ToolsSignIn {
public:
    virtual ~ToolsSignIn() = default;

    // The login page, carrying the callback address and, when given, the state; none when the Tools
    // address is unusable.
    virtual std::optional<QUrl> authorizationURL(std::optional<QString> state) const = 0;
    // True when both personal tokens are stored (whatever their content).
    virtual QCoro::Task<bool> isAuthenticated() = 0;
    // An access token that is not about to expire, refreshed first when needed. Throws AuthError, or
    // the refresh's transport, decoding or keychain error.
    virtual QCoro::Task<QString> getValidAccessToken() = 0;
    // Stores the tokens of a login callback; expiresIn in seconds from now. Throws KeychainError.
    virtual QCoro::Task<> storeTokens(QString accessToken, QString refreshToken, qint64 expiresIn) = 0;
    // The signed-in user; stores a non-empty user key it carries as the "userKey" setting.
    virtual QCoro::Task<UserInfoResponse> fetchUserInfo() = 0;
    // Revokes the access token on the server (outcome ignored) and removes the stored sign-in.
    // Throws only KeychainError.
    virtual QCoro::Task<> logout() = 0;
};
