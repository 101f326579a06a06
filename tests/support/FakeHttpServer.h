#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTcpServer>
#include <QUrl>
#include <QUrlQuery>

#include <functional>
#include <memory>

class QSslCertificate;
class QSslKey;

// A real HTTP/1.1 server on 127.0.0.1 (random port) for testing network clients.
// Routes answer with a status, body, headers and an optional delay; every request is recorded.
// Unmatched requests get 404 with a JSON body. Made with a certificate and key it speaks HTTPS.
class FakeHttpServer : public QObject {
    Q_OBJECT

public:
    struct Request {
        QByteArray method;
        QString target; // path with query, as sent
        QString path;   // decoded path without query
        QUrlQuery query;
        QHash<QByteArray, QByteArray> headers; // names in lower case
        QByteArray body;

        QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }
        // The body decoded as a JSON object (empty when it is not one).
        QVariantMap jsonBody() const;
        // The body decoded as an application/x-www-form-urlencoded form.
        QUrlQuery formBody() const;
    };

    struct Response {
        int status = 200;
        QByteArray body;
        QList<QPair<QByteArray, QByteArray>> headers;
        int delayMs = 0;   // wait before answering
        bool hang = false; // never answer (for time-outs)
        bool drop = false; // close the connection without an answer
        // Sends the status line and headers at once, then the body one byte every dripMs (a server
        // that never goes quiet long enough for an inactivity time-out).
        int dripMs = 0;
        // Sends the body in chunks (Transfer-Encoding: chunked), without announcing its length.
        bool chunked = false;
        // Sends the body gzip-compressed (Content-Encoding: gzip).
        bool gzip = false;

        static Response json(const QByteArray& body, int status = 200);
        static Response text(const QByteArray& body, int status = 200);
        static Response empty(int status = 204);
        // The body gzip-compressed, as a server sends it with Content-Encoding: gzip.
        static QByteArray gzipped(const QByteArray& body);
    };

    using Handler = std::function<Response(const Request&)>;

    explicit FakeHttpServer(QObject* parent = nullptr);
    // An HTTPS server presenting the certificate.
    FakeHttpServer(const QSslCertificate& certificate, const QSslKey& key, QObject* parent = nullptr);
    ~FakeHttpServer() override;

    // http://127.0.0.1:<port> (https for a TLS server)
    QUrl baseUrl() const;
    quint16 port() const;

    // A route matches the method and the path; a route path holding "?" matches the whole target.
    // The route registered last wins, so a test may override an earlier one.
    void route(const QByteArray& method, const QString& path, const Response& response);
    void route(const QByteArray& method, const QString& path, Handler handler);
    // Answers every request that no route matches.
    void setFallback(Handler handler);
    void clearRoutes();

    QList<Request> requests() const { return m_requests; }
    // The requests whose method and path (without query) match.
    QList<Request> requests(const QByteArray& method, const QString& path) const;
    int requestCount() const { return m_requests.size(); }
    void clearRequests() { m_requests.clear(); }
    // Waits (running the event loop) until at least count requests arrived; false on time-out.
    bool waitForRequests(int count, int timeoutMs = 5000);

Q_SIGNALS:
    void requestReceived(const FakeHttpServer::Request& request);

private:
    struct Route {
        QByteArray method;
        QString path;
        Handler handler;
    };

    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    Response answer(const Request& request) const;
    void respond(QTcpSocket* socket, const Response& response);
    void drip(QTcpSocket* socket, QByteArray rest, int intervalMs);

    void listen();

    std::unique_ptr<QTcpServer> m_server;
    bool m_tls = false;
    QList<Route> m_routes;
    Handler m_fallback;
    QList<Request> m_requests;
    QHash<QTcpSocket*, QByteArray> m_buffers;
};
