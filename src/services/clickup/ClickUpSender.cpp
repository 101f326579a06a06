#include "services/clickup/ClickUpSender.h"

#include "core/Log.h"
#include "core/OversizedReplyError.h"
#include "core/ServerText.h"
#include "core/TransportError.h"
#include "platform/KeychainItem.h"
#include "platform/SecretStore.h"
#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpErrorResponse.h"

#include <QCoroNetworkReply>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
constexpr auto apiLog = Log::Category::api;

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

// A token goes into a header line as it is, so one holding a line break could add headers of its own.
bool isSendableToken(const QString& token) {
    return !token.isEmpty() && std::none_of(token.cbegin(), token.cend(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7f;
    });
}
} // namespace

ClickUpSender::ClickUpSender(SecretStore& keychain, QUrl baseUrl, QObject* parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_baseUrl(std::move(baseUrl))
    , m_network(new QNetworkAccessManager(this)) {}

ClickUpSender::~ClickUpSender() {
    abortPending();
}

void ClickUpSender::abortPending() {
    // Requests still under way end now, as failures, so that the calls awaiting them finish instead
    // of waiting for good on replies that go with the client.
    const QList<QNetworkReply*> pending = m_network->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : pending) {
        reply->abort();
    }
}

// --- addresses and token

ClickUpSender::Path ClickUpSender::teamPath(const QString& teamId, const QStringList& below,
                                            QUrlQuery query) {
    return Path{QStringList{u"team"_s, teamId} + below, std::move(query)};
}

std::optional<QUrl> ClickUpSender::urlFor(const Path& path) const {
    const QString scheme = m_baseUrl.scheme();
    if (!m_baseUrl.isValid() || m_baseUrl.host().isEmpty() || (scheme != u"https"_s && scheme != u"http"_s)) {
        return std::nullopt;
    }
    QString encodedPath = m_baseUrl.path(QUrl::FullyEncoded);
    while (encodedPath.endsWith(u'/')) {
        encodedPath.chop(1);
    }
    for (const QString& segment : path.segments) {
        // A dot segment would address another resource once the path is normalised.
        if (segment == u"."_s || segment == u".."_s) {
            return std::nullopt;
        }
        encodedPath += u'/' + QString::fromLatin1(QUrl::toPercentEncoding(segment));
    }
    QUrl url = m_baseUrl;
    url.setPath(encodedPath, QUrl::StrictMode);
    if (path.query.isEmpty()) {
        url.setQuery(QString());
    } else {
        url.setQuery(path.query);
    }
    url.setFragment(QString());
    if (!url.isValid()) {
        return std::nullopt;
    }
    return url;
}

QUrl ClickUpSender::requireUrl(const Path& path) const {
    if (auto url = urlFor(path)) {
        return *url;
    }
    throw APIError::invalidURL();
}

QCoro::Task<std::optional<QString>> ClickUpSender::readToken() {
    const QPointer<ClickUpSender> self(this);
    std::optional<QString> token = co_await m_keychain.getValue(KeychainItem::clickUpAPIToken);
    if (!self) {
        // The client went away while the secret store answered: every caller reads the token first,
        // so none of them goes on into a client that is gone.
        throw TransportError(QNetworkReply::OperationCanceledError, u"The ClickUp client was closed"_s);
    }
    if (!token || token->isEmpty()) {
        co_return std::nullopt;
    }
    if (!isSendableToken(*token)) {
        Log::warning(u"The stored ClickUp token holds a line break or another control character; "
                     u"it is not sent"_s,
                     apiLog);
        co_return std::nullopt;
    }
    co_return token;
}

QCoro::Task<QString> ClickUpSender::requireToken() {
    std::optional<QString> token = co_await readToken();
    if (!token) {
        throw APIError::invalidToken();
    }
    co_return *token;
}

// --- sending

QNetworkReply* ClickUpSender::send(HTTPMethod method, const QUrl& url, const QString& token, bool acceptJson,
                                   const std::optional<QJsonObject>& body) {
    QNetworkRequest request(url);
    // Never follow a redirect to another origin: the token would go along.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setRawHeader("Authorization", token.toUtf8());
    if (acceptJson) {
        request.setRawHeader("Accept", "application/json");
    }
    QByteArray data;
    if (body) {
        request.setRawHeader("Content-Type", "application/json");
        data = QJsonDocument(*body).toJson(QJsonDocument::Compact);
    }
    QByteArray verb;
    switch (method) {
    case HTTPMethod::get:
        verb = "GET";
        break;
    case HTTPMethod::post:
        verb = "POST";
        break;
    case HTTPMethod::put:
        verb = "PUT";
        break;
    case HTTPMethod::del:
        verb = "DELETE";
        break;
    }
    return m_limits.apply(m_network->sendCustomRequest(request, verb, data));
}

QCoro::Task<HttpReply> ClickUpSender::exchange(HTTPMethod method, QUrl url, QString token, bool acceptJson,
                                               std::optional<QJsonObject> body) {
    try {
        co_return co_await HttpReply::receive(send(method, url, token, acceptJson, body));
    } catch (const OversizedReplyError&) {
        throw APIError::invalidResponse();
    }
}

QCoro::Task<QByteArray> ClickUpSender::requestBody(Path path, HTTPMethod method,
                                                   std::optional<QJsonObject> body) {
    const QString token = co_await requireToken();
    const QUrl url = requireUrl(path);
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(send(method, url, token, true, body));
    co_await reply.get();
    co_return genericBody(*reply);
}

QByteArray ClickUpSender::genericBody(QNetworkReply& reply) {
    HttpReply raw;
    try {
        raw = HttpReply::read(reply);
    } catch (const OversizedReplyError&) {
        throw APIError::invalidResponse();
    } catch (const std::exception& error) {
        throw APIError::networkError(error);
    }
    if (!raw.status) {
        throw APIError::invalidResponse();
    }
    if (!raw.isSuccess()) {
        throw APIError::httpError(*raw.status, ClickUpErrorResponse::messageOf(raw.body));
    }
    return raw.body;
}

void ClickUpSender::failDecoding(const QByteArray& body, const DecodingError& error) {
    Log::error(u"Failed to decode response. Raw JSON: "_s + serverText(body).value_or(u"nil"_s), apiLog);
    Log::error(u"Decoding error details: "_s + error.description(), apiLog);
    throw APIError::decodingError(error);
}
