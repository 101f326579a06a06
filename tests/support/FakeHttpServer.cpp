#include "FakeHttpServer.h"

#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <zlib.h>

QVariantMap FakeHttpServer::Request::jsonBody() const {
    return QJsonDocument::fromJson(body).object().toVariantMap();
}

QUrlQuery FakeHttpServer::Request::formBody() const {
    return QUrlQuery(QString::fromUtf8(body));
}

FakeHttpServer::Response FakeHttpServer::Response::json(const QByteArray& body, int status) {
    Response response;
    response.status = status;
    response.body = body;
    response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/json")));
    return response;
}

FakeHttpServer::Response FakeHttpServer::Response::text(const QByteArray& body, int status) {
    Response response;
    response.status = status;
    response.body = body;
    response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/plain; charset=utf-8")));
    return response;
}

FakeHttpServer::Response FakeHttpServer::Response::empty(int status) {
    Response response;
    response.status = status;
    return response;
}

QByteArray FakeHttpServer::Response::gzipped(const QByteArray& body) {
    z_stream stream{};
    // 15 window bits plus 16: a gzip header and trailer around the deflate stream.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        qFatal("FakeHttpServer: deflateInit2 failed");
    }
    QByteArray out(qsizetype(deflateBound(&stream, uLong(body.size()))), Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.constData()));
    stream.avail_in = uInt(body.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    if (deflate(&stream, Z_FINISH) != Z_STREAM_END) {
        qFatal("FakeHttpServer: deflate failed");
    }
    out.resize(qsizetype(stream.total_out));
    deflateEnd(&stream);
    return out;
}

FakeHttpServer::FakeHttpServer(QObject* parent)
    : QObject(parent)
    , m_server(std::make_unique<QTcpServer>()) {
    connect(m_server.get(), &QTcpServer::newConnection, this, &FakeHttpServer::onNewConnection);
    listen();
}

FakeHttpServer::FakeHttpServer(const QSslCertificate& certificate, const QSslKey& key, QObject* parent)
    : QObject(parent)
    , m_tls(true) {
    auto server = std::make_unique<QSslServer>();
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(certificate);
    configuration.setPrivateKey(key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    server->setSslConfiguration(configuration);
    // A TLS connection is handed over once its handshake is done.
    connect(server.get(), &QTcpServer::pendingConnectionAvailable, this, &FakeHttpServer::onNewConnection);
    m_server = std::move(server);
    listen();
}

void FakeHttpServer::listen() {
    if (!m_server->listen(QHostAddress::LocalHost, 0)) {
        qFatal("FakeHttpServer: cannot listen on 127.0.0.1: %s", qPrintable(m_server->errorString()));
    }
}

FakeHttpServer::~FakeHttpServer() {
    m_server->close();
}

QUrl FakeHttpServer::baseUrl() const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2")
                    .arg(m_tls ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(m_server->serverPort()));
}

quint16 FakeHttpServer::port() const {
    return m_server->serverPort();
}

void FakeHttpServer::route(const QByteArray& method, const QString& path, const Response& response) {
    route(method, path, [response](const Request&) { return response; });
}

void FakeHttpServer::route(const QByteArray& method, const QString& path, Handler handler) {
    m_routes.prepend(Route{method.toUpper(), path, std::move(handler)});
}

void FakeHttpServer::setFallback(Handler handler) {
    m_fallback = std::move(handler);
}

void FakeHttpServer::clearRoutes() {
    m_routes.clear();
    m_fallback = nullptr;
}

QList<FakeHttpServer::Request> FakeHttpServer::requests(const QByteArray& method, const QString& path) const {
    QList<Request> matching;
    for (const Request& request : m_requests) {
        if (request.method == method.toUpper() && request.path == path) {
            matching.append(request);
        }
    }
    return matching;
}

bool FakeHttpServer::waitForRequests(int count, int timeoutMs) {
    return QTest::qWaitFor([&] { return m_requests.size() >= count; }, timeoutMs);
}

void FakeHttpServer::onNewConnection() {
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        socket->setParent(this);
        m_buffers.insert(socket, {});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_buffers.remove(socket);
            socket->deleteLater();
        });
    }
}

void FakeHttpServer::onReadyRead(QTcpSocket* socket) {
    QByteArray& buffer = m_buffers[socket];
    buffer += socket->readAll();
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        return;
    }
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    Request request;
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0).toUpper();
    request.target = QString::fromUtf8(requestLine.value(1));
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) {
            request.headers.insert(line.left(colon).trimmed().toLower(), line.mid(colon + 1).trimmed());
        }
    }
    const qsizetype length = request.headers.value("content-length", "0").toLongLong();
    if (buffer.size() < headerEnd + 4 + length) {
        return; // wait for the rest of the body
    }
    request.body = buffer.mid(headerEnd + 4, length);
    buffer.clear();

    const QUrl url(QStringLiteral("http://127.0.0.1") + request.target);
    request.path = url.path(QUrl::FullyDecoded);
    request.query = QUrlQuery(url.query(QUrl::FullyEncoded));
    m_requests.append(request);
    Q_EMIT requestReceived(request);

    const Response response = answer(request);
    if (response.hang) {
        return;
    }
    if (response.delayMs > 0) {
        QPointer<QTcpSocket> guarded(socket);
        QTimer::singleShot(response.delayMs, this, [this, guarded, response] {
            if (guarded) {
                respond(guarded, response);
            }
        });
    } else {
        respond(socket, response);
    }
}

FakeHttpServer::Response FakeHttpServer::answer(const Request& request) const {
    for (const Route& route : m_routes) {
        if (route.method != request.method) {
            continue;
        }
        const bool matches =
            route.path.contains(QLatin1Char('?')) ? route.path == request.target : route.path == request.path;
        if (matches) {
            return route.handler(request);
        }
    }
    if (m_fallback) {
        return m_fallback(request);
    }
    return Response::json(R"({"err":"no route in the test server"})", 404);
}

void FakeHttpServer::respond(QTcpSocket* socket, const Response& response) {
    if (response.drop) {
        socket->abort();
        return;
    }
    QByteArray body = response.gzip ? Response::gzipped(response.body) : response.body;
    QByteArray reply = "HTTP/1.1 " + QByteArray::number(response.status) + " Test\r\n";
    for (const auto& [name, value] : response.headers) {
        reply += name + ": " + value + "\r\n";
    }
    if (response.gzip) {
        reply += "Content-Encoding: gzip\r\n";
    }
    if (response.chunked) {
        reply += "Transfer-Encoding: chunked\r\n";
        constexpr qsizetype chunkSize = 16 * 1024;
        QByteArray chunks;
        for (qsizetype at = 0; at < body.size(); at += chunkSize) {
            const QByteArray chunk = body.mid(at, chunkSize);
            chunks += QByteArray::number(chunk.size(), 16) + "\r\n" + chunk + "\r\n";
        }
        chunks += "0\r\n\r\n";
        body = chunks;
    } else {
        reply += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    }
    reply += "Connection: close\r\n\r\n";
    if (response.dripMs > 0) {
        socket->write(reply);
        drip(socket, body, response.dripMs);
        return;
    }
    reply += body;
    socket->write(reply);
    socket->disconnectFromHost();
}

void FakeHttpServer::drip(QTcpSocket* socket, QByteArray rest, int intervalMs) {
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(intervalMs, this, [this, guarded, rest, intervalMs] {
        if (!guarded || guarded->state() != QAbstractSocket::ConnectedState) {
            return;
        }
        if (rest.isEmpty()) {
            guarded->disconnectFromHost();
            return;
        }
        guarded->write(rest.left(1));
        drip(guarded, rest.mid(1), intervalMs);
    });
}
