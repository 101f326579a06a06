#pragma once

#include "core/RequestLimits.h"
#include "core/SettingsStore.h"
#include "platform/SecretStore.h"
#include "services/tools/TokenResponse.h"
#include "services/tools/ToolsSignIn.h"

#include <QNetworkAccessManager>
#include <QObject>

#include <memory>

class TokenRefreshFlight;

// The personal sign-in to the Tools server and its tokens. The access and refresh tokens live in the
// keychain ("tools-access-token", "tools-refresh-token"), the access token's expiry in the
// "toolsTokenExpiry" setting (seconds since 1970). It talks JSON to the token API
// "<toolsUrl>admin/tool/brisvane/auth_api.php?action=token|userinfo|revoke".
//
// Refreshes are single-flight: callers that need a refresh while one is under way wait for that one
// and share its outcome, so one refresh token is never spent twice.
//
// The stored set (both tokens and the expiry) changes as a whole. Storing writes the expiry 0 (which
// means "refresh before use") first, then the refresh token, then the access token, and the new
// expiry last:
// - if the refresh token cannot be written, the old tokens and the old expiry stay as they were;
// - if the access token cannot be written, the new refresh token stays and the expiry stays 0, so the
//   old access token is never handed out again and the next use refreshes with the new refresh token;
//   when no access token was stored before, the new refresh token is removed again (signed out).
// So the expiry never vouches for an access token that did not come with it, and the newest refresh
// token the server issued is kept whenever it could be written.
//
// A refresh whose sign-in was cleared or replaced while it waited for the server stores nothing.
// Tokens, refresh replies and the user key never reach the log.
class ToolsAuthService : public QObject, public ToolsSignIn {
    Q_OBJECT

public:
    static inline const QString callbackScheme = QStringLiteral("pendlow");

    ToolsAuthService(SecretStore& keychain, SettingsStore& settings, QObject* parent = nullptr);
    ~ToolsAuthService() override;

    // "<toolsUrl>admin/tool/brisvane/view/auth_popup.php?client_name=Pendlow&redirect_uri=
    // pendlow://auth/callback", then "&state=<state>" when a state is given (percent-encoded).
    std::optional<QUrl> authorizationURL(std::optional<QString> state) const override;
    // "<toolsUrl>admin/tool/brisvane/auth_api.php?action=<action>"; none when the address is unusable.
    std::optional<QUrl> apiURL(const QString& action) const;

    QCoro::Task<bool> isAuthenticated() override;
    // noAccessToken without a sign-in; refreshes first when isTokenExpired().
    QCoro::Task<QString> getValidAccessToken() override;
    // Exchanges the refresh token for new tokens and stores them. Throws noRefreshToken, invalidURL,
    // invalidResponse, refreshFailed (any status outside 200-299; a 401 also clears the sign-in),
    // APIError::networkError, DecodingError (nothing stored) or KeychainError.
    QCoro::Task<TokenResponse> refreshTokens();
    // Stores a token reply, and its user's non-empty key as the "userKey" setting.
    QCoro::Task<> storeTokens(TokenResponse response);
    QCoro::Task<> storeTokens(QString accessToken, QString refreshToken, qint64 expiresIn) override;
    // Deletes the access token, then the refresh token (a failed delete throws KeychainError and
    // stops there), then sets the expiry to 0.
    QCoro::Task<> clearTokens();
    // Throws the errors of getValidAccessToken(), invalidURL, invalidResponse (a status outside
    // 200-299), APIError::networkError (no answer) or DecodingError.
    QCoro::Task<UserInfoResponse> fetchUserInfo() override;
    QCoro::Task<> logout() override;

    // True when the stored expiry is 0 or less, or lies less than 60 s after Clock::now(): 60 s ahead
    // counts as expired, 61 s not.
    bool isTokenExpired() const;

    // Each request fails as timed out after this long, or earlier when no data moves for
    // RequestLimits::defaultInactivity (60 s unless a test shortens it).
    void setRequestTimeout(int milliseconds);
    void setRequestLimits(const RequestLimits& limits) { m_limits = limits; }

private:
    QCoro::Task<> performRefresh(std::shared_ptr<TokenRefreshFlight> flight);
    QCoro::Task<TokenResponse> exchangeRefreshToken();
    QCoro::Task<> writeTokenSet(QString accessToken, QString refreshToken, qint64 expiresIn);
    QNetworkRequest jsonRequest(const QUrl& url) const;

    SecretStore& m_keychain;
    SettingsStore& m_settings;
    QNetworkAccessManager m_network;
    RequestLimits m_limits;
    // The refresh under way, shared by every caller that needs one meanwhile.
    std::shared_ptr<TokenRefreshFlight> m_refreshFlight;
    // Counts sign-outs and new sign-ins, so a refresh can tell that its sign-in is gone.
    quint64 m_signInGeneration = 0;
};
