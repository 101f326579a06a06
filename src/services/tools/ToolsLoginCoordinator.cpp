#include "services/tools/ToolsLoginCoordinator.h"

#include "core/Error.h"
#include "core/Log.h"
#include "platform/WebAuthenticationError.h"
#include "platform/WebAuthenticationSession.h"
#include "services/clickup/ClickUpConversions.h"
#include "services/tools/AuthError.h"
#include "services/tools/ToolsAuthService.h"

#include <QByteArrayList>
#include <QPointer>
#include <QRandomGenerator>

using namespace Qt::StringLiterals;

namespace {
constexpr auto category = Log::Category::api;
const QString stateAlphabet = u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"_s;

// One query item: its name and, when it has "=", its value (both percent-decoded; "+" stays "+").
struct QueryItem {
    QString name;
    std::optional<QString> value;
};

QList<QueryItem> queryItems(const QUrl& url) {
    QList<QueryItem> items;
    const QByteArray query = url.query(QUrl::FullyEncoded).toLatin1();
    if (query.isEmpty()) {
        return items;
    }
    for (const QByteArray& part : query.split('&')) {
        const qsizetype equals = part.indexOf('=');
        QueryItem item;
        item.name = QUrl::fromPercentEncoding(equals < 0 ? part : part.left(equals));
        if (equals >= 0) {
            item.value = QUrl::fromPercentEncoding(part.mid(equals + 1));
        }
        items.append(item);
    }
    return items;
}

// The first item of that name: none when there is none; an item without a value gives an empty
// optional inside.
std::optional<std::optional<QString>> firstItem(const QList<QueryItem>& items, const QString& name) {
    for (const QueryItem& item : items) {
        if (item.name == name) {
            return item.value;
        }
    }
    return std::nullopt;
}

std::optional<QString> firstValue(const QList<QueryItem>& items, const QString& name) {
    return firstItem(items, name).value_or(std::nullopt);
}

// Whether the sign-in window ended with a WebAuthenticationError of that kind.
bool isWindowEnding(std::exception_ptr error, WebAuthenticationError::Kind kind) {
    try {
        std::rethrow_exception(error);
    } catch (const WebAuthenticationError& e) {
        return e.kind() == kind;
    } catch (...) {
        return false;
    }
}
} // namespace

ToolsLoginCoordinator::ToolsLoginCoordinator(ToolsSignIn& auth, QObject* parent)
    : QObject(parent)
    , m_auth(auth) {}

ToolsLoginCoordinator::~ToolsLoginCoordinator() = default;

QString ToolsLoginCoordinator::generateState() {
    QString state;
    state.reserve(stateLength);
    for (int i = 0; i < stateLength; ++i) {
        state.append(stateAlphabet.at(QRandomGenerator::system()->bounded(int(stateAlphabet.size()))));
    }
    return state;
}

void ToolsLoginCoordinator::report(std::exception_ptr failure) {
    if (m_completionHandler) {
        m_completionHandler(failure);
    }
}

void ToolsLoginCoordinator::finish() {
    m_completionHandler = nullptr;
    m_authSession.reset();
}

QCoro::Task<> ToolsLoginCoordinator::login(CompletionHandler completion) {
    const QString state = generateState();
    const std::optional<QUrl> loginUrl = m_auth.authorizationURL(state);
    if (!loginUrl) {
        Log::error(u"No usable Tools login address"_s, category);
        if (completion) {
            completion(std::make_exception_ptr(AuthError::invalidURL()));
        }
        co_return;
    }

    // A previous session is released: its window closes and its outcome is dropped below.
    m_authSession = m_sessionFactory ? m_sessionFactory() : std::make_unique<WebAuthenticationSession>();
    WebAuthenticationSession* session = m_authSession.get();
    const quint64 generation = ++m_generation;
    m_sentState = state;

    const QPointer<ToolsLoginCoordinator> self(this);
    std::optional<QUrl> callback;
    std::exception_ptr error;
    try {
        callback = co_await session->authenticate(*loginUrl, callbackScheme);
    } catch (...) {
        error = std::current_exception();
    }
    if (!self || generation != m_generation) {
        co_return;
    }
    if (error && isWindowEnding(error, WebAuthenticationError::Kind::startFailed)) {
        // The session stays stored and the handler set, as after any failed start.
        Log::error(u"Failed to start authentication session: "_s + Error::describe(error), category);
        m_sentState.clear();
        if (completion) {
            completion(std::make_exception_ptr(
                AuthError::authenticationFailed(u"Failed to start authentication session"_s)));
        }
        co_return;
    }
    co_await handleCallback(callback, error);
}

QCoro::Task<> ToolsLoginCoordinator::handleCallback(std::optional<QUrl> url, std::exception_ptr error) {
    // A state serves one callback.
    const QString sentState = std::exchange(m_sentState, QString());

    if (error) {
        if (isWindowEnding(error, WebAuthenticationError::Kind::cancelled)) {
            Log::info(u"Sign-in cancelled"_s, category);
            report(std::make_exception_ptr(AuthError::authenticationCancelled()));
        } else {
            Log::error(u"Sign-in failed: "_s + Error::describe(error), category);
            report(error);
        }
        finish();
        co_return;
    }
    if (!url || !url->isValid()) {
        Log::error(u"Sign-in ended without a usable callback"_s, category);
        report(std::make_exception_ptr(AuthError::invalidResponse()));
        finish();
        co_return;
    }

    const QList<QueryItem> items = queryItems(*url);
    const std::optional<QString> accessToken = firstValue(items, u"access_token"_s);
    const std::optional<QString> refreshToken = firstValue(items, u"refresh_token"_s);
    for (const std::optional<QString>& token : {accessToken, refreshToken}) {
        if (token) {
            Log::registerSecret(*token);
        }
    }

    const std::optional<QString> returnedState = firstValue(items, u"state"_s);
    if (sentState.isEmpty() || returnedState != sentState) {
        Log::error(u"Sign-in callback rejected: its state does not match the sign-in's"_s, category);
        report(std::make_exception_ptr(AuthError::authenticationFailed(
            u"The sign-in answer does not belong to this sign-in (state mismatch)"_s)));
        finish();
        co_return;
    }

    if (accessToken && refreshToken) {
        const std::optional<QString> expiresText = firstValue(items, u"expires_in"_s);
        const qint64 expiresIn =
            parseMilliseconds(expiresText.value_or(QString())).value_or(defaultExpiresIn);
        m_authSession.reset();

        const QPointer<ToolsLoginCoordinator> self(this);
        std::exception_ptr storeFailure;
        try {
            co_await m_auth.storeTokens(*accessToken, *refreshToken, expiresIn);
        } catch (...) {
            storeFailure = std::current_exception();
        }
        if (!self) {
            co_return;
        }
        if (storeFailure) {
            Log::error(u"Failed to store tokens: "_s + Error::describe(storeFailure), category);
            report(storeFailure);
            m_completionHandler = nullptr;
            co_return;
        }
        try {
            co_await m_auth.fetchUserInfo();
        } catch (...) {
            // The sign-in stands without the user's details.
        }
        if (!self) {
            co_return;
        }
        Log::info(u"Authentication successful"_s, category);
        report(nullptr);
        m_completionHandler = nullptr;
        co_return;
    }

    const std::optional<std::optional<QString>> errorItem = firstItem(items, u"error"_s);
    if (errorItem && *errorItem) {
        const QString message = firstValue(items, u"error_description"_s).value_or(**errorItem);
        Log::error(u"Sign-in refused by the Tools server"_s, category);
        report(std::make_exception_ptr(AuthError::authenticationFailed(message)));
    } else {
        Log::error(u"Sign-in callback without tokens"_s, category);
        report(std::make_exception_ptr(AuthError::authenticationFailed(u"Missing tokens in callback"_s)));
    }
    finish();
}
