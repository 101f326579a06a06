#pragma once

#include "core/DecodingError.h"
#include "core/HttpReply.h"
#include "core/JsonReader.h"
#include "core/RequestLimits.h"

#include <QByteArray>
#include <QCoroTask>
#include <QJsonObject>
#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <optional>

class SecretStore;
class QNetworkAccessManager;
class QNetworkReply;

// The sending part of the ClickUp client: addresses below the base address, the personal API token
// read from the secret store anew for every request, and the requests and their replies.
//
// Every request sends the token as the "Authorization" header; a missing, empty or unsendable token
// fails with APIError::invalidToken before anything is sent. Ids go into the address percent-encoded,
// each as one path segment; an address that is not absolute http or https fails with invalidURL.
// Redirects to another origin are not followed. Nothing is retried. Destroying the sender ends the
// requests still under way, as failures.
class ClickUpSender : public QObject {
    Q_OBJECT

public:
    enum class HTTPMethod { get, post, put, del };

    // A path below the base address: its segments unencoded, and the query.
    struct Path {
        QStringList segments;
        QUrlQuery query;
    };

    ClickUpSender(SecretStore& keychain, QUrl baseUrl, QObject* parent = nullptr);
    ~ClickUpSender() override;

    const QUrl& baseUrl() const { return m_baseUrl; }
    // Applied to requests sent from now on.
    const RequestLimits& limits() const { return m_limits; }
    void setLimits(const RequestLimits& limits) { m_limits = limits; }

    // Ends every request still under way, as a failure.
    void abortPending();

    // "team/<teamId>/<below...>".
    static Path teamPath(const QString& teamId, const QStringList& below, QUrlQuery query = {});
    std::optional<QUrl> urlFor(const Path& path) const;
    // urlFor, or invalidURL.
    QUrl requireUrl(const Path& path) const;
    // The stored token when it can be sent; otherwise none.
    QCoro::Task<std::optional<QString>> readToken();
    // readToken, or invalidToken.
    QCoro::Task<QString> requireToken();

    QNetworkReply* send(HTTPMethod method, const QUrl& url, const QString& token, bool acceptJson,
                        const std::optional<QJsonObject>& body);
    // Sends and awaits the reply; a transport failure throws TransportError, a body above the limit
    // invalidResponse.
    QCoro::Task<HttpReply> exchange(HTTPMethod method, QUrl url, QString token, bool acceptJson,
                                    std::optional<QJsonObject> body);

    // The generic request: token, address, send, then genericBody and decodeGeneric; every failure is
    // an APIError.
    template <class T>
    QCoro::Task<T> request(Path path, HTTPMethod method, std::optional<QJsonObject> body = std::nullopt) {
        const QByteArray bytes = co_await requestBody(std::move(path), method, std::move(body));
        co_return decodeGeneric<T>(bytes);
    }
    // The body of a finished reply of the generic request (the task pages too): a transport failure is
    // networkError, a reply that is not HTTP invalidResponse, a status outside 2xx httpError with the
    // message of ClickUp's error body.
    static QByteArray genericBody(QNetworkReply& reply);
    // The reply decoded; an unreadable body is logged and fails with decodingError.
    template <class T>
    static T decodeGeneric(const QByteArray& body) {
        try {
            return decodeJson<T>(body);
        } catch (const DecodingError& error) {
            failDecoding(body, error);
        }
    }

private:
    // The generic request up to genericBody.
    QCoro::Task<QByteArray> requestBody(Path path, HTTPMethod method, std::optional<QJsonObject> body);
    [[noreturn]] static void failDecoding(const QByteArray& body, const DecodingError& error);

    SecretStore& m_keychain;
    const QUrl m_baseUrl;
    QNetworkAccessManager* m_network;
    RequestLimits m_limits;
};
