#include "services/tools/ToolsAuthService.h"
#include "core/Clock.h"
#include "core/HttpReply.h"
#include "core/JsonReader.h"
#include "core/Log.h"
#include "core/OversizedReplyError.h"
#include "core/TransportError.h"
#include "core/UserDefaultsService.h"
#include "platform/KeychainItem.h"
#include "platform/KeychainService.h"
#include "services/clickup/APIError.h"
#include "services/tools/AuthError.h"
#include "services/tools/RefreshRequest.h"
#include "services/tools/TokenRefreshFlight.h"
#include "services/tools/ToolsAddress.h"

#include <QCoroSignal>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
const QString loginPagePath = u"admin/tool/brisvane/view/auth_popup.php?client_name=Pendlow"_s;
const QString tokenApiPath = u"admin/tool/brisvane/auth_api.php?action="_s;
// Seconds before its expiry from which an access token counts as expired.
constexpr double expiryMargin = 60;

void debug(const QString& message) {
    Log::debug(message, Log::Category::api);
}

void info(const QString& message) {
    Log::info(message, Log::Category::api);
}

void error(const QString& message) {
    Log::error(message, Log::Category::api);
}

double nowSeconds() {
    return double(Clock::nowMSecs()) / 1000.0;
}

// The token API's reply, held to the limits. A request that got none fails as the web-service
// client's requests do, with APIError::networkError; one above the size limit with invalidResponse.
QCoro::Task<HttpReply> receive(QNetworkReply* reply, RequestLimits limits) {
    try {
        co_return co_await HttpReply::receive(limits.apply(reply));
    } catch (const TransportError& error) {
        throw APIError::networkError(error);
    } catch (const OversizedReplyError&) {
        throw AuthError::invalidResponse();
    }
}
} // namespace

ToolsAuthService::ToolsAuthService(SecretStore& keychain, SettingsStore& settings, QObject* parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_settings(settings) {}

ToolsAuthService::~ToolsAuthService() = default;

void ToolsAuthService::setRequestTimeout(int milliseconds) {
    m_limits.deadline = std::chrono::milliseconds(milliseconds);
    m_limits.inactivity = std::min(m_limits.inactivity, m_limits.deadline);
}

std::optional<QUrl> ToolsAuthService::authorizationURL(std::optional<QString> state) const {
    const QString redirect = QString::fromLatin1(
        QUrl::toPercentEncoding(callbackScheme + u"://auth/callback"_s, QByteArrayLiteral(":/")));
    QString text = loginPagePath + u"&redirect_uri="_s + redirect;
    if (state) {
        text += u"&state="_s + QString::fromLatin1(QUrl::toPercentEncoding(*state));
    }
    return toolsAddress(m_settings.toolsUrl(), text);
}

std::optional<QUrl> ToolsAuthService::apiURL(const QString& action) const {
    const QString toolsUrl = m_settings.toolsUrl();
    if (isInsecureToolsAddress(toolsUrl)) {
        error(toolsAddressNeedsHttps);
    }
    return toolsAddress(toolsUrl, tokenApiPath + action);
}

QCoro::Task<bool> ToolsAuthService::isAuthenticated() {
    const std::optional<QString> accessToken = co_await m_keychain.getValue(KeychainItem::toolsAccessToken);
    const std::optional<QString> refreshToken = co_await m_keychain.getValue(KeychainItem::toolsRefreshToken);
    co_return accessToken.has_value() && refreshToken.has_value();
}

bool ToolsAuthService::isTokenExpired() const {
    const double expiry = m_settings.toolsTokenExpiry();
    if (expiry <= 0) {
        return true;
    }
    return expiry - expiryMargin <= nowSeconds();
}

QCoro::Task<QString> ToolsAuthService::getValidAccessToken() {
    if (!co_await isAuthenticated()) {
        throw AuthError::noAccessToken();
    }
    if (isTokenExpired()) {
        debug(u"Access token expired, refreshing..."_s);
        co_await refreshTokens();
    }
    const std::optional<QString> token = co_await m_keychain.getValue(KeychainItem::toolsAccessToken);
    if (!token) {
        throw AuthError::noAccessToken();
    }
    co_return *token;
}

QCoro::Task<TokenResponse> ToolsAuthService::refreshTokens() {
    std::shared_ptr<TokenRefreshFlight> flight = m_refreshFlight;
    if (!flight) {
        flight = std::make_shared<TokenRefreshFlight>();
        m_refreshFlight = flight;
        // Runs until it first waits; it may even be over when it returns.
        performRefresh(flight);
    }
    if (!flight->isOver()) {
        co_await qCoro(flight.get(), &TokenRefreshFlight::over);
    }
    co_return flight->outcome();
}

QCoro::Task<> ToolsAuthService::performRefresh(std::shared_ptr<TokenRefreshFlight> flight) {
    QPointer<ToolsAuthService> self(this);
    std::optional<TokenResponse> response;
    std::exception_ptr failure;
    try {
        response = co_await exchangeRefreshToken();
    } catch (...) {
        failure = std::current_exception();
    }
    // Callers arriving from now on start a refresh of their own.
    if (self && m_refreshFlight == flight) {
        m_refreshFlight.reset();
    }
    if (failure) {
        flight->fail(failure);
    } else {
        flight->succeed(std::move(*response));
    }
}

QCoro::Task<TokenResponse> ToolsAuthService::exchangeRefreshToken() {
    const quint64 generation = m_signInGeneration;
    const std::optional<QString> refreshToken = co_await m_keychain.getValue(KeychainItem::toolsRefreshToken);
    if (!refreshToken) {
        error(u"No refresh token available"_s);
        throw AuthError::noRefreshToken();
    }
    const std::optional<QUrl> url = apiURL(u"token"_s);
    if (!url) {
        throw AuthError::invalidURL();
    }

    RefreshRequest body;
    body.refreshToken = *refreshToken;
    debug(u"Refreshing tokens..."_s);
    const QNetworkRequest request = jsonRequest(*url);
    const QByteArray json = body.toJson();
    const HttpReply reply = co_await receive(m_network.post(request, json), m_limits);
    const int status = reply.status.value_or(0);
    // The reply carries the new tokens: only its size is logged.
    debug(u"Refresh response: status %1, %2 bytes"_s.arg(status).arg(reply.body.size()));

    if (reply.isSuccess()) {
        TokenResponse response = decodeJson<TokenResponse>(reply.body);
        if (generation != m_signInGeneration) {
            error(u"Token refresh dropped: the sign-in changed while it ran"_s);
            throw AuthError::refreshFailed();
        }
        co_await storeTokens(response);
        info(u"Tokens refreshed successfully"_s);
        co_return response;
    }

    error(u"Token refresh failed with status: %1"_s.arg(status));
    if (status == 401 && generation == m_signInGeneration) {
        try {
            co_await clearTokens();
        } catch (...) {
            // The refresh has failed either way; the next call tries again.
        }
    }
    throw AuthError::refreshFailed();
}

QCoro::Task<> ToolsAuthService::storeTokens(TokenResponse response) {
    co_await writeTokenSet(response.accessToken, response.refreshToken, response.expiresIn);
    if (response.user && response.user->userkey && !response.user->userkey->isEmpty()) {
        m_settings.setUserKey(*response.user->userkey);
        debug(u"Stored userkey: "_s + Log::redacted(*response.user->userkey));
    }
}

QCoro::Task<> ToolsAuthService::storeTokens(QString accessToken, QString refreshToken, qint64 expiresIn) {
    // A new sign-in: a refresh of the previous one must not overwrite it.
    ++m_signInGeneration;
    co_await writeTokenSet(accessToken, refreshToken, expiresIn);
    info(u"Tokens stored from callback"_s);
}

QCoro::Task<> ToolsAuthService::writeTokenSet(QString accessToken, QString refreshToken, qint64 expiresIn) {
    const double previousExpiry = m_settings.toolsTokenExpiry();
    const std::optional<QString> previousAccessToken =
        co_await m_keychain.getValue(KeychainItem::toolsAccessToken);
    const bool hadAccessToken = previousAccessToken.has_value();

    // Until the set is complete nothing stored counts as fresh.
    m_settings.setToolsTokenExpiry(0);
    try {
        co_await m_keychain.setValue(refreshToken, KeychainItem::toolsRefreshToken);
    } catch (...) {
        // Nothing was replaced: the previous set stands as it was.
        m_settings.setToolsTokenExpiry(previousExpiry);
        throw;
    }
    std::exception_ptr accessTokenFailure;
    try {
        co_await m_keychain.setValue(accessToken, KeychainItem::toolsAccessToken);
    } catch (...) {
        accessTokenFailure = std::current_exception();
    }
    if (accessTokenFailure) {
        // The new refresh token stays (the old one may be spent) with the expiry 0, so the next use
        // refreshes; without an earlier sign-in there is nothing to refresh, so it goes again.
        if (!hadAccessToken) {
            try {
                co_await m_keychain.deleteValue(KeychainItem::toolsRefreshToken);
            } catch (...) {
                // Without an access token the leftover does not count as a sign-in.
            }
        }
        std::rethrow_exception(accessTokenFailure);
    }

    const double expiry = nowSeconds() + double(expiresIn);
    m_settings.setToolsTokenExpiry(expiry);
    const QDateTime expiresAt = QDateTime::fromMSecsSinceEpoch(qint64(expiry * 1000)).toUTC();
    debug(u"Tokens stored, expires at: "_s + expiresAt.toString(u"yyyy-MM-dd HH:mm:ss"_s) + u" +0000"_s);
}

QCoro::Task<> ToolsAuthService::clearTokens() {
    ++m_signInGeneration;
    co_await m_keychain.deleteValue(KeychainItem::toolsAccessToken);
    co_await m_keychain.deleteValue(KeychainItem::toolsRefreshToken);
    m_settings.setToolsTokenExpiry(0);
    debug(u"Tokens cleared"_s);
}

QCoro::Task<UserInfoResponse> ToolsAuthService::fetchUserInfo() {
    const QString token = co_await getValidAccessToken();
    const std::optional<QUrl> url = apiURL(u"userinfo"_s);
    if (!url) {
        throw AuthError::invalidURL();
    }
    QNetworkRequest request(*url);
    request.setRawHeader(QByteArrayLiteral("Authorization"), "Bearer " + token.toUtf8());
    const HttpReply reply = co_await receive(m_network.get(request), m_limits);
    if (!reply.isSuccess()) {
        throw AuthError::invalidResponse();
    }
    UserInfoResponse user = decodeJson<UserInfoResponse>(reply.body);
    if (user.userkey && !user.userkey->isEmpty()) {
        m_settings.setUserKey(*user.userkey);
    }
    co_return user;
}

QCoro::Task<> ToolsAuthService::logout() {
    const std::optional<QString> token = co_await m_keychain.getValue(KeychainItem::toolsAccessToken);
    const std::optional<QUrl> url = apiURL(u"revoke"_s);
    if (token && url) {
        const QByteArray body =
            QJsonDocument(QJsonObject{{u"token"_s, *token}}).toJson(QJsonDocument::Compact);
        const QNetworkRequest request = jsonRequest(*url);
        try {
            co_await HttpReply::receive(m_limits.apply(m_network.post(request, body)));
        } catch (...) {
            // Whatever the server says, the local sign-in goes.
        }
    }
    co_await clearTokens();
    info(u"Logged out successfully"_s);
}

QNetworkRequest ToolsAuthService::jsonRequest(const QUrl& url) const {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    return request;
}
