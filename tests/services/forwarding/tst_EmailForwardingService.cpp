// The n8n forwarding client against loopback servers: the ping and the POST it sends, the shared key,
// every reply and its outcome, the bounds, the certificate checks and what stays out of the log.
#include "support/FakeClock.h"
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/TransportError.h"
#include "platform/KeychainItem.h"
#include "services/forwarding/EmailForwardingError.h"
#include "services/forwarding/EmailForwardingService.h"
#include "services/forwarding/EmailSource.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSslCertificate>
#include <QSslKey>
#include <QTcpServer>
#include <QTimeZone>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {
const QString hookPath = QStringLiteral("/webhook/7f3c-mail");

// Subject and link as the capture gives them; none for "not found".
class FakeCapture : public EmailSource {
public:
    std::optional<QString> subject = QString::fromUtf8(QByteArray("Quarterly budget ") + "review");
    std::optional<QString> link = QString::fromUtf8(QByteArray("https://mail.example.com/m/") + "a1b2");
    int calls = 0;

    std::optional<QString> getEmailSubject() override {
        ++calls;
        return subject;
    }
    std::optional<QString> getEmailLink() override {
        ++calls;
        return link;
    }
};

quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// One client with its stores, pointed at a server.
struct Rig {
    TestSettings settings;
    InMemoryKeychain keychain;
    FakeCapture capture;
    EmailForwardingService service{keychain, settings, capture};

    explicit Rig(const QUrl& base) {
        QUrl endpoint = base;
        endpoint.setPath(hookPath);
        settings.setN8nEndpoint(endpoint.toString());
    }

    TaskOutcome<std::optional<QString>> forward() { return awaitTask(service.forwardCurrentEmail()); }
};

QByteArray bigBody(qsizetype size) {
    return "{\"success\":true,\"message\":\"" + QByteArray(size, 'x') + "\"}";
}
} // namespace

class EmailForwardingServiceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sendsOnePostWithNineMembers();
    void sharedKeyHeader_data();
    void sharedKeyHeader();
    void replies_data();
    void replies();
    void postBoundedAndOversizedReplies_data();
    void postBoundedAndOversizedReplies();
    void failuresBeforeAnythingIsSent_data();
    void failuresBeforeAnythingIsSent();
    void unreachableServerIsNamed();
    void secondForwardWhileOneRunsIsRefused();
    void payloadAndRepliesStayOutOfTheDefaultLog();
    void certificates_data();
    void certificates();
};

void EmailForwardingServiceTest::sendsOnePostWithNineMembers() {
    FakeClock clock(QDateTime(QDate(2025, 3, 4), QTime(10, 5, 0, 789), QTimeZone(3600)));
    FakeHttpServer server;
    // As n8n answers a method its webhook was not made for.
    server.route("HEAD", hookPath,
                 FakeHttpServer::Response::json(j("{'code':404,'message':'This webhook is not registered for "
                                                  "HEAD requests. Did you mean to make a POST request?'}"),
                                                404));
    server.route(
        "POST", hookPath,
        FakeHttpServer::Response::json(j("{'success':true,'taskUrl':'https://app.clickup.com/t/86abc'}")));
    Rig rig(server.baseUrl());
    // Pasted with a blank and a line break after it.
    rig.settings.setN8nEndpoint(rig.settings.n8nEndpoint() + QStringLiteral(" \n"));
    QVERIFY(rig.service.isConfigured());
    rig.settings.setUserKey(QStringLiteral("uk-42"));
    LogCapture log(LogCapture::Verbosity::debug);
    rig.settings.setTeamId(QString()); // stored empty: sent empty

    const auto outcome = rig.forward();
    QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
    QCOMPARE(outcome.value->value_or(QString()), QStringLiteral("https://app.clickup.com/t/86abc"));

    // One POST, no ping: n8n would log every HEAD as an unknown webhook.
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].method, QByteArray("POST"));
    QCOMPARE(requests[0].target, hookPath);
    QCOMPARE(requests[0].header("content-type"), QByteArray("application/json"));
    QVERIFY(!requests[0].headers.contains("x-webhook-key"));
    QVERIFY(log.lines(Log::Level::error).isEmpty());
    // Even the debug log names the server only: the webhook's path is its secret.
    QVERIFY(!log.lines().join(u'\n').contains(hookPath));
    QVERIFY(log.contains(QStringLiteral("Server: ") + server.baseUrl().toString()));

    const QJsonObject body = QJsonDocument::fromJson(requests[0].body).object();
    const QJsonObject expected{
        {QStringLiteral("timestamp"), QStringLiteral("2025-03-04T09:05:00Z")},
        {QStringLiteral("subject"), QStringLiteral("Quarterly budget review")},
        {QStringLiteral("link"), QStringLiteral("https://mail.example.com/m/a1b2")},
        {QStringLiteral("body"), QStringLiteral("Email content available via shareable link")},
        {QStringLiteral("from"), QStringLiteral("Spark Desktop")},
        {QStringLiteral("to"), QStringLiteral("n8n Webhook")},
        {QStringLiteral("userKey"), QStringLiteral("uk-42")},
        // Never stored: the built-in default, as the Timesheet tab shows it.
        {QStringLiteral("toolsUrl"), SettingsStore::defaultToolsUrl},
        {QStringLiteral("clickUpTeamId"), QString()}};
    QCOMPARE(body, expected);
    QCOMPARE(body.size(), 9);
    QVERIFY(!rig.service.isForwarding());
}

void EmailForwardingServiceTest::sharedKeyHeader_data() {
    QTest::addColumn<std::optional<QString>>("stored");
    QTest::addColumn<QByteArray>("header"); // empty: no header

    QTest::newRow("none stored") << std::optional<QString>() << QByteArray();
    QTest::newRow("empty") << std::optional<QString>(QString()) << QByteArray();
    QTest::newRow("blanks") << std::optional<QString>(QStringLiteral("  \n")) << QByteArray();
    QTest::newRow("plain") << std::optional<QString>(QStringLiteral("s3cr3t-key"))
                           << QByteArray("s3cr3t-key");
    QTest::newRow("pasted with a line break")
        << std::optional<QString>(QStringLiteral(" s3cr3t-key\r\n")) << QByteArray("s3cr3t-key");
}

void EmailForwardingServiceTest::sharedKeyHeader() {
    QFETCH(std::optional<QString>, stored);
    QFETCH(QByteArray, header);
    FakeHttpServer server;
    server.route("HEAD", hookPath, FakeHttpServer::Response::empty(200));
    server.route("POST", hookPath, FakeHttpServer::Response::json(j("{'success':true}")));
    Rig rig(server.baseUrl());
    if (stored) {
        rig.keychain.putItem(KeychainItem::n8nSharedKey, *stored);
    }

    const auto outcome = rig.forward();
    QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
    const auto requests = server.requests();
    QCOMPARE(requests.size(), 1);
    for (const auto& request : requests) {
        QCOMPARE(request.headers.contains("x-webhook-key"), !header.isEmpty());
        QCOMPARE(request.header("x-webhook-key"), header);
    }
}

void EmailForwardingServiceTest::replies_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QList<QPair<QByteArray, QByteArray>>>("headers");
    QTest::addColumn<QString>("taskUrl"); // empty: none
    QTest::addColumn<QString>("error");   // empty: success

    using Headers = QList<QPair<QByteArray, QByteArray>>;
    QTest::newRow("task created")
        << 200 << j("{'success':true,'taskId':'86a','taskUrl':'https://app.clickup.com/t/86a'}") << Headers()
        << "https://app.clickup.com/t/86a"
        << "";
    QTest::newRow("success without task")
        << 200 << j("{'success':true,'message':'queued'}") << Headers() << ""
        << "";
    QTest::newRow("taskUrl without success")
        << 200 << j("{'taskUrl':'https://app.clickup.com/t/1'}") << Headers() << ""
        << "";
    QTest::newRow("raw task") << 201
                              << j("{'id':'86b','name':'Budget','url':'https://app.clickup.com/t/86b'}")
                              << Headers() << "https://app.clickup.com/t/86b"
                              << "";
    QTest::newRow("raw task with taskUrl, no success")
        << 200 << j("{'id':'86c','name':'B','url':'https://app.clickup.com/t/86c','taskUrl':'x'}")
        << Headers() << "https://app.clickup.com/t/86c"
        << "";
    QTest::newRow("empty body") << 200 << QByteArray() << Headers() << ""
                                << "";
    QTest::newRow("html") << 200 << QByteArray("<html><body>Workflow started</body></html>") << Headers()
                          << ""
                          << "";
    QTest::newRow("garbage") << 200 << QByteArray("\x01\xff{{not json") << Headers() << ""
                             << "";
    QTest::newRow("success false with message and task")
        << 200 << j("{'success':false,'message':'List not found','taskUrl':'https://app.clickup.com/t/9'}")
        << Headers() << ""
        << "n8n could not process the email: List not found";
    QTest::newRow("success false bare") << 200 << j("{'success':false}") << Headers() << ""
                                        << "n8n could not process the email.";
    QTest::newRow("n8n's default reply") << 200 << j("{'message':'Workflow was started'}") << Headers() << ""
                                         << "";
    QTest::newRow("500 with body") << 500 << j("{'message':'Workflow could not be started!'}") << Headers()
                                   << ""
                                   << "n8n webhook error (HTTP 500): Workflow could not be started!";
    QTest::newRow("403 header auth") << 403 << j("{'code':403,'message':'Authorization data is wrong!'}")
                                     << Headers() << ""
                                     << "n8n webhook error (HTTP 403): Authorization data is wrong!";
    QTest::newRow("404 unknown webhook")
        << 404
        << j("{'code':404,'message':'The requested webhook \\\"POST 7f3c-mail\\\" is not registered.',"
             "'hint':'Click the Execute workflow button on the canvas, then try again.'}")
        << Headers() << ""
        << "n8n webhook error (HTTP 404): The requested webhook \"POST 7f3c-mail\" is not registered.";
    QTest::newRow("404 without JSON") << 404 << QByteArray("not registered") << Headers() << ""
                                      << "n8n webhook error (HTTP 404)";
    QTest::newRow("redirect to another host")
        << 302 << QByteArray() << Headers{{"Location", "https://collector.invalid/steal"}} << ""
        << "n8n webhook error (HTTP 302)";
}

void EmailForwardingServiceTest::replies() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    using Headers = QList<QPair<QByteArray, QByteArray>>;
    QFETCH(Headers, headers);
    QFETCH(QString, taskUrl);
    QFETCH(QString, error);
    FakeHttpServer server;
    FakeHttpServer::Response response = FakeHttpServer::Response::text(body, status);
    response.headers += headers;
    server.route("POST", hookPath, response);
    Rig rig(server.baseUrl());
    LogCapture log;

    const auto outcome = rig.forward();
    if (error.isEmpty()) {
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(outcome.value->value_or(QString()), taskUrl);
        // A delivered e-mail is no error, whatever the flow answered.
        QVERIFY2(log.lines(Log::Level::error).isEmpty(), qPrintable(log.lines().join(u'\n')));
    } else {
        QVERIFY(outcome.errorAs<EmailForwardingError>());
        QCOMPARE(outcome.errorDescription(), error);
    }
    QCOMPARE(server.requests("POST", hookPath).size(), 1);
}

void EmailForwardingServiceTest::postBoundedAndOversizedReplies_data() {
    QTest::addColumn<bool>("hang");
    QTest::addColumn<qsizetype>("bodySize");
    QTest::addColumn<QString>("error");

    QTest::newRow("no answer") << true << qsizetype(0)
                               << "Request timed out. n8n may be slow or unreachable.";
    QTest::newRow("10 MB body") << false << qsizetype(10 * 1024 * 1024)
                                << "Invalid response from n8n webhook.";
}

void EmailForwardingServiceTest::postBoundedAndOversizedReplies() {
    QFETCH(bool, hang);
    QFETCH(qsizetype, bodySize);
    QFETCH(QString, error);
    FakeHttpServer server;
    server.route("HEAD", hookPath, FakeHttpServer::Response::empty(200));
    FakeHttpServer::Response response = FakeHttpServer::Response::json(bigBody(bodySize));
    response.hang = hang;
    server.route("POST", hookPath, response);
    Rig rig(server.baseUrl());
    rig.service.setPostTimeout(400ms);
    if (!hang) {
        rig.service.setPostTimeout(20s);
    }

    const auto outcome = rig.forward();
    QCOMPARE(outcome.errorDescription(), error);
    QVERIFY(!rig.service.isForwarding());
}

void EmailForwardingServiceTest::failuresBeforeAnythingIsSent_data() {
    QTest::addColumn<QString>("endpoint"); // "<server>" for the loopback server
    QTest::addColumn<bool>("subject");
    QTest::addColumn<bool>("link");
    QTest::addColumn<QString>("error");
    QTest::addColumn<int>("captureCalls");

    QTest::newRow("no endpoint") << "" << true << true
                                 << "n8n endpoint not configured. Please configure in Settings." << 0;
    QTest::newRow("no e-mail window")
        << "<server>" << false << true
        << "No email window found. Open an email in your mail client and try again." << 1;
    QTest::newRow("no link")
        << "<server>" << true << false
        << "Could not get shareable link. Copy the email's link (http or https) and try again." << 2;
    QTest::newRow("not an address") << "n8n webhook" << true << true << "Invalid n8n endpoint URL." << 2;
    QTest::newRow("not http") << "ftp://127.0.0.1/hook" << true << true << "Invalid n8n endpoint URL." << 2;
}

void EmailForwardingServiceTest::failuresBeforeAnythingIsSent() {
    QFETCH(QString, endpoint);
    QFETCH(bool, subject);
    QFETCH(bool, link);
    QFETCH(QString, error);
    QFETCH(int, captureCalls);
    FakeHttpServer server;
    Rig rig(server.baseUrl());
    if (endpoint != QStringLiteral("<server>")) {
        rig.settings.setN8nEndpoint(endpoint);
    }
    if (!subject) {
        rig.capture.subject.reset();
    }
    if (!link) {
        rig.capture.link.reset();
    }

    QCOMPARE(rig.service.isConfigured(), !endpoint.isEmpty());
    const auto outcome = rig.forward();
    QVERIFY(outcome.errorAs<EmailForwardingError>());
    QCOMPARE(outcome.errorDescription(), error);
    QCOMPARE(rig.capture.calls, captureCalls);
    QCOMPARE(server.requestCount(), 0);
}

void EmailForwardingServiceTest::unreachableServerIsNamed() {
    const quint16 port = closedPort();
    Rig rig(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)));
    rig.keychain.putItem(KeychainItem::n8nSharedKey, QStringLiteral("key\nX-Injected: 1"));
    const auto invalidKey = rig.forward();
    QCOMPARE(invalidKey.errorAs<EmailForwardingError>()->kind(),
             EmailForwardingError::Kind::invalidSharedKey);

    // A stopped n8n: the message names n8n and the server, not the webhook's path.
    rig.keychain.removeItem(KeychainItem::n8nSharedKey);
    const auto refused = rig.forward();
    const auto error = refused.errorAs<EmailForwardingError>();
    QVERIFY2(error, qPrintable(refused.errorDescription()));
    QCOMPARE(error->kind(), EmailForwardingError::Kind::unreachable);
    QCOMPARE(error->description(),
             QStringLiteral("Could not reach n8n at http://127.0.0.1:%1: Connection refused").arg(port));
    QVERIFY(!rig.service.isForwarding());
}

void EmailForwardingServiceTest::secondForwardWhileOneRunsIsRefused() {
    FakeHttpServer server;
    server.route("HEAD", hookPath, FakeHttpServer::Response::empty(200));
    FakeHttpServer::Response slow = FakeHttpServer::Response::json(j("{'success':true}"));
    slow.delayMs = 300;
    server.route("POST", hookPath, slow);
    Rig rig(server.baseUrl());

    auto first = std::make_shared<TaskOutcome<std::optional<QString>>>();
    QCoro::connect(rig.service.forwardCurrentEmail(), this, [first](const std::optional<QString>& value) {
        first->value = value;
        first->finished = true;
    });
    QVERIFY(rig.service.isForwarding());
    const auto second = rig.forward();
    QCOMPARE(second.errorAs<EmailForwardingError>()->kind(), EmailForwardingError::Kind::alreadyForwarding);
    QTRY_VERIFY(first->finished);
    QCOMPARE(server.requests("POST", hookPath).size(), 1);

    const auto third = rig.forward();
    QVERIFY2(!third.failed(), qPrintable(third.errorDescription()));
}

void EmailForwardingServiceTest::payloadAndRepliesStayOutOfTheDefaultLog() {
    FakeHttpServer server;
    server.route("POST", hookPath, FakeHttpServer::Response::text("reply-secret-7781", 500));
    Rig rig(server.baseUrl());
    rig.settings.setUserKey(QStringLiteral("userkey-5521"));
    rig.keychain.putItem(KeychainItem::n8nSharedKey, QStringLiteral("shared-9931"));
    rig.capture.subject = QStringLiteral("subject-3317");
    rig.capture.link = QStringLiteral("https://mail.example.com/link-6613");

    const QStringList secrets{QStringLiteral("reply-secret-7781"), QStringLiteral("userkey-5521"),
                              QStringLiteral("shared-9931"),       QStringLiteral("subject-3317"),
                              QStringLiteral("link-6613"),         hookPath};
    {
        LogCapture log(LogCapture::Verbosity::asSet);
        QCOMPARE(rig.forward().errorDescription(), QStringLiteral("n8n webhook error (HTTP 500)"));
        QVERIFY(log.contains(QStringLiteral("n8n webhook error: HTTP 500")));
        QVERIFY(!log.lines().join(u'\n').contains(server.baseUrl().path() + hookPath));
        for (const QString& secret : secrets) {
            QVERIFY2(!log.lines().join(u'\n').contains(secret), qPrintable(secret));
        }
    }
    // With debug logging on, the keys still stay out.
    LogCapture debugLog(LogCapture::Verbosity::debug);
    rig.forward();
    const QString all = debugLog.lines().join(u'\n');
    QVERIFY(all.contains(QStringLiteral("subject-3317")));
    QVERIFY(!all.contains(QStringLiteral("shared-9931")));
    QVERIFY(!all.contains(QStringLiteral("userkey-5521")));
    QVERIFY(!all.contains(QStringLiteral("link-6613")));
}

void EmailForwardingServiceTest::certificates_data() {
    QTest::addColumn<QString>("pin"); // "<presented>" for the server's own certificate
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("refusal"); // the start of the message when refused

    const QString firstSeen = QStringLiteral("The n8n server's certificate was not accepted: ");
    QTest::newRow("nothing pinned") << "" << false << firstSeen;
    QTest::newRow("this certificate pinned") << "<presented>" << true << "";
    QTest::newRow("pinned with colons, upper case") << "<presented:colons>" << true << "";
    QTest::newRow("another certificate pinned")
        << QString(64, u'a') << false << "The n8n server's certificate differs from the one trusted before: ";
}

void EmailForwardingServiceTest::certificates() {
    QFETCH(QString, pin);
    QFETCH(bool, accepted);
    QFETCH(QString, refusal);
    const QSslCertificate certificate(fixture(QStringLiteral("self-signed.pem")), QSsl::Pem);
    const QSslKey key(fixture(QStringLiteral("self-signed.key")), QSsl::Rsa, QSsl::Pem);
    QVERIFY(!certificate.isNull());
    QVERIFY(!key.isNull());
    const QByteArray sha256 = certificate.digest(QCryptographicHash::Sha256).toHex();
    FakeHttpServer server(certificate, key);
    server.route("HEAD", hookPath, FakeHttpServer::Response::empty(200));
    server.route(
        "POST", hookPath,
        FakeHttpServer::Response::json(j("{'success':true,'taskUrl':'https://app.clickup.com/t/tls'}")));
    Rig rig(server.baseUrl());
    if (pin == QStringLiteral("<presented>")) {
        rig.settings.setN8nPinnedCertificateSha256(QString::fromLatin1(sha256));
    } else if (pin == QStringLiteral("<presented:colons>")) {
        rig.settings.setN8nPinnedCertificateSha256(
            QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper()));
    } else {
        rig.settings.setN8nPinnedCertificateSha256(pin);
    }

    const auto outcome = rig.forward();
    if (accepted) {
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(outcome.value->value_or(QString()), QStringLiteral("https://app.clickup.com/t/tls"));
        QCOMPARE(server.requests("POST", hookPath).size(), 1);
    } else {
        const auto error = outcome.errorAs<EmailForwardingError>();
        QVERIFY2(error, qPrintable(outcome.errorDescription()));
        QVERIFY2(error->description().startsWith(refusal), qPrintable(error->description()));
        QVERIFY2(error->description().contains(QStringLiteral("self-signed")),
                 qPrintable(error->description()));
        QCOMPARE(error->certificateSha256(), QString::fromLatin1(sha256));
        QCOMPARE(server.requestCount(), 0);
    }
}

PENDLOW_TEST_MAIN(EmailForwardingServiceTest)
#include "tst_EmailForwardingService.moc"
