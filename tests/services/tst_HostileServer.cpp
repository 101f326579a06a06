// The ClickUp and Tools clients against a loopback server that misbehaves on purpose: replies that
// drip forever, bodies too large (announced, chunked or gzip-compressed), huge error pages, and
// secrets echoed back. Every client is held to the same request limits.
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/Log.h"
#include "core/RequestLimits.h"
#include "core/ServerText.h"
#include "core/TransportError.h"
#include "platform/KeychainItem.h"
#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpAPIService.h"
#include "services/tools/ToolsAPIService.h"
#include "services/tools/ToolsAddress.h"
#include "services/tools/ToolsAuthService.h"

#include <memory>

using namespace std::chrono_literals;

namespace {
const QString team = QStringLiteral("9001");
const QString servicePath = QStringLiteral("/tools/webservice/rest/server.php");

// Built at run time, so that a double release of a value crossing a co_await shows.

// Limits short enough for a test: a drip of one byte every 100 ms never trips the inactivity
// time-out, only the deadline.
RequestLimits testLimits() {
    RequestLimits limits;
    limits.inactivity = 800ms;
    limits.deadline = 1500ms;
    limits.maxBodyBytes = 64 * 1024;
    return limits;
}

// One client call of each kind the application makes, all against the same server.
class Clients {
public:
    explicit Clients(FakeHttpServer& server, const RequestLimits& limits = testLimits())
        : m_clickUp(m_keychain, apiBase(server)) {
        m_keychain.putItem(KeychainItem::clickUpAPIToken, clickUpToken);
        m_keychain.putItem(KeychainItem::toolsWSToken, wsToken);
        // As the real secret store does with every value it reads.
        Log::registerSecret(clickUpToken);
        Log::registerSecret(wsToken);
        m_settings.setToolsUrl(server.baseUrl().toString() + QStringLiteral("/tools/"));
        m_settings.setUserKey(userKey);
        m_auth = std::make_unique<ToolsAuthService>(m_keychain, m_settings);
        m_tools = std::make_unique<ToolsAPIService>(m_keychain, m_settings, *m_auth);
        m_clickUp.setRequestLimits(limits);
        m_tools->setRequestLimits(limits);
    }

    static QUrl apiBase(const FakeHttpServer& server) {
        QUrl url = server.baseUrl();
        url.setPath(QStringLiteral("/api/v2"));
        return url;
    }

    // "current" (the timer: transport failures pass on unwrapped), "entries" (the generic request),
    // "start" (its error carries the body), "planning" (the Tools web service).
    QCoro::Task<> call(QString operation) {
        if (operation == QLatin1String("current")) {
            co_await m_clickUp.getCurrentTimer(onHeap("9001"));
        } else if (operation == QLatin1String("entries")) {
            co_await m_clickUp.getTimeEntries(onHeap("9001"), QDateTime::fromMSecsSinceEpoch(0));
        } else if (operation == QLatin1String("start")) {
            co_await m_clickUp.startTimer(onHeap("9001"), onHeap("86c0abc"));
        } else {
            co_await m_tools->getPersonalPlanning();
        }
    }

    const QString clickUpToken = onHeap("pk_4711_Q8ZJ3KX0WB2M9TLR5D7C");
    const QString wsToken = onHeap("ws-7f3e9a1c5b2d4e6f");
    const QString userKey = onHeap("uk-5a9c2e7b1d3f");

private:
    InMemoryKeychain m_keychain;
    TestSettings m_settings;
    ClickUpAPIService m_clickUp;
    std::unique_ptr<ToolsAuthService> m_auth;
    std::unique_ptr<ToolsAPIService> m_tools;
};

// Every request of the test answers with the response.
void answerAll(FakeHttpServer& server, const FakeHttpServer::Response& response) {
    server.setFallback([response](const FakeHttpServer::Request&) { return response; });
}

QString failureText(const TaskOutcome<void>& outcome) {
    if (const auto error = outcome.errorAs<APIError>()) {
        return error->description();
    }
    return outcome.errorDescription();
}
} // namespace

class TestHostileServer : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void operations_data() {
        QTest::addColumn<QString>("operation");
        QTest::newRow("ClickUp timer") << QStringLiteral("current");
        QTest::newRow("ClickUp entries") << QStringLiteral("entries");
        QTest::newRow("Tools planning") << QStringLiteral("planning");
    }

    // A reply that keeps dripping is cut off at the request's deadline and fails as timed out.
    void drippingReplyFailsAtTheDeadline_data() { operations_data(); }
    void drippingReplyFailsAtTheDeadline() {
        QFETCH(QString, operation);
        FakeHttpServer server;
        FakeHttpServer::Response drip = FakeHttpServer::Response::json(QByteArray(200, ' ') + "{}");
        drip.dripMs = 100; // 20 s in all
        answerAll(server, drip);
        Clients clients(server);

        QElapsedTimer elapsed;
        elapsed.start();
        const auto outcome = awaitTask(clients.call(operation), 10000);
        QVERIFY(outcome.finished);
        QVERIFY(outcome.failed());
        // Only the deadline can have ended it: the data never stopped for the inactivity period.
        QVERIFY2(elapsed.elapsed() >= 1400, qPrintable(QString::number(elapsed.elapsed())));
        if (operation == QLatin1String("current")) {
            const auto error = outcome.errorAs<TransportError>();
            QVERIFY2(error, qPrintable(outcome.errorDescription()));
            QVERIFY(error->isTimeout());
            QCOMPARE(error->description(), QStringLiteral("The request timed out."));
        } else {
            QCOMPARE(failureText(outcome), QStringLiteral("Network error: The request timed out."));
        }
    }

    // A body above the limit is refused as an invalid reply, however it comes: announced by its
    // length, streamed in chunks without one, or small on the wire and huge once decompressed.
    void oversizedRepliesAreRefused_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("form");
        for (const char* operation : {"current", "entries", "planning"}) {
            for (const char* form : {"announced", "chunked", "gzip bomb"}) {
                QTest::addRow("%s, %s", operation, form)
                    << QString::fromLatin1(operation) << QString::fromLatin1(form);
            }
        }
    }
    void oversizedRepliesAreRefused() {
        QFETCH(QString, operation);
        QFETCH(QString, form);
        FakeHttpServer server;
        // Valid JSON all through, so that nothing but its size can fail it.
        QByteArray body = "{\"data\":null,\"pad\":\"" + QByteArray(4 * 1024 * 1024, 'a') + "\"}";
        if (form != QLatin1String("gzip bomb")) {
            body.truncate(200 * 1024);
            body += "\"}";
        }
        FakeHttpServer::Response response = FakeHttpServer::Response::json(body);
        response.chunked = form == QLatin1String("chunked");
        response.gzip = form == QLatin1String("gzip bomb");
        answerAll(server, response);
        Clients clients(server);

        const auto outcome = awaitTask(clients.call(operation));
        QVERIFY(outcome.finished);
        const auto error = outcome.errorAs<APIError>();
        QVERIFY2(error, qPrintable(outcome.errorDescription()));
        QCOMPARE(error->kind(), APIError::Kind::invalidResponse);
    }

    // The same replies below the limit are read as usual: the limit refuses size, nothing else.
    void repliesBelowTheLimitAreRead() {
        FakeHttpServer server;
        FakeHttpServer::Response response =
            FakeHttpServer::Response::json("{\"data\":null,\"pad\":\"" + QByteArray(32 * 1024, 'a') + "\"}");
        response.chunked = true;
        response.gzip = true;
        answerAll(server, response);
        Clients clients(server);
        const auto outcome = awaitTask(clients.call(QStringLiteral("current")));
        QVERIFY2(outcome.finished && !outcome.failed(), qPrintable(outcome.errorDescription()));
    }

    // A huge error page becomes a short error text, cut at a character boundary and marked; the log
    // carries no more of it either.
    void errorTextsAreCut_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QByteArray>("unit");
        QTest::newRow("entries, HTML") << QStringLiteral("entries") << QByteArray("<p>Bad gateway</p>");
        QTest::newRow("start, HTML") << QStringLiteral("start") << QByteArray("<p>Bad gateway</p>");
        // Four bytes and two UTF-16 units each: a cut in the middle would leave half a character.
        QTest::newRow("entries, emoji") << QStringLiteral("entries") << QByteArray("\xF0\x9F\x98\x80");
        QTest::newRow("start, emoji") << QStringLiteral("start") << QByteArray("x\xF0\x9F\x98\x80");
    }
    void errorTextsAreCut() {
        QFETCH(QString, operation);
        QFETCH(QByteArray, unit);
        FakeHttpServer server;
        const QByteArray page = unit.repeated(1024 * 1024 / unit.size());
        answerAll(server, FakeHttpServer::Response::text(page, 502));
        Clients clients(server, RequestLimits{});
        LogCapture log(LogCapture::Verbosity::debug);

        const auto outcome = awaitTask(clients.call(operation));
        const auto error = outcome.errorAs<APIError>();
        QVERIFY2(error, qPrintable(outcome.errorDescription()));
        QCOMPARE(error->kind(), APIError::Kind::httpError);
        QCOMPARE(error->statusCode(), 502);
        const QString message = error->message().value_or(QString());
        QVERIFY(message.endsWith(serverTextCutMark));
        const QString kept = message.chopped(serverTextCutMark.size());
        QVERIFY2(kept.size() <= serverTextLimit && kept.size() >= serverTextLimit - 1,
                 qPrintable(QString::number(kept.size())));
        QVERIFY(QString::fromUtf8(page).startsWith(kept)); // whole characters only
        QVERIFY(kept.isValidUtf16());
        for (const QString& line : log.lines()) {
            QVERIFY2(line.size() < 2 * serverTextLimit, qPrintable(line.left(120)));
        }
    }

    // A reply that is no JSON at all is logged by its start only.
    void undecodableReplyIsLoggedByItsStart() {
        FakeHttpServer server;
        answerAll(server,
                  FakeHttpServer::Response::text("<html>" + QByteArray(1024 * 1024, 'x') + "</html>"));
        Clients clients(server, RequestLimits{});
        LogCapture log(LogCapture::Verbosity::debug);
        for (const char* operation : {"entries", "planning"}) {
            const auto outcome = awaitTask(clients.call(QString::fromLatin1(operation)));
            const auto error = outcome.errorAs<APIError>();
            QVERIFY2(error, qPrintable(outcome.errorDescription()));
            QCOMPARE(error->kind(), APIError::Kind::decodingError);
        }
        QVERIFY(!log.lines().isEmpty());
        for (const QString& line : log.lines()) {
            QVERIFY2(line.size() < 2 * serverTextLimit, qPrintable(line.left(120)));
        }
    }

    // A server that echoes a secret back in its error text gets it masked, on screen as in the log.
    void echoedSecretsAreMasked_data() {
        QTest::addColumn<QString>("operation");
        QTest::newRow("ClickUp error body") << QStringLiteral("entries");
        QTest::newRow("ClickUp start error") << QStringLiteral("start");
        QTest::newRow("Tools web-service error") << QStringLiteral("planning");
    }
    void echoedSecretsAreMasked() {
        QFETCH(QString, operation);
        FakeHttpServer server;
        Clients clients(server, RequestLimits{});
        // The user key is a setting, not a stored secret: the Tools client keeps it out of sight too.
        const QStringList secrets = operation == QLatin1String("planning")
                                        ? QStringList{clients.wsToken, clients.userKey}
                                        : QStringList{clients.clickUpToken};
        const QByteArray echo = secrets.join(u' ').toUtf8();
        if (operation == QLatin1String("planning")) {
            answerAll(server,
                      FakeHttpServer::Response::json(
                          R"({"exception":"moodle_exception","errorcode":"invalidkey","message":"No user )" +
                          echo + R"("})"));
        } else {
            answerAll(server,
                      FakeHttpServer::Response::json(R"({"err":"Token )" + echo + R"( refused"})", 401));
        }
        LogCapture log(LogCapture::Verbosity::debug);

        const auto outcome = awaitTask(clients.call(operation));
        const auto error = outcome.errorAs<APIError>();
        QVERIFY2(error, qPrintable(outcome.errorDescription()));
        const QString shown = error->description();
        QVERIFY2(shown.contains(QStringLiteral("<redacted>")), qPrintable(shown));
        const QString logged = log.lines().join(u'\n');
        for (const QString& secret : secrets) {
            QVERIFY2(!shown.contains(secret.left(8)), qPrintable(shown));
            QVERIFY2(!logged.contains(secret.left(8)), qPrintable(logged));
        }
    }

    // Tools tokens never travel in clear: plain http only for this computer.
    void toolsAddressNeedsHttps_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("usable");
        QTest::addColumn<bool>("insecure");
        QTest::newRow("https") << "https://tools.example.com/" << true << false;
        QTest::newRow("http, remote host") << "http://tools.example.com/" << false << true;
        QTest::newRow("http, remote address") << "http://192.168.1.20/" << false << true;
        QTest::newRow("http, 127.0.0.1") << "http://127.0.0.1:8080/" << true << false;
        QTest::newRow("http, 127.0.0.2") << "http://127.0.0.2/" << true << false;
        QTest::newRow("http, localhost") << "http://localhost/" << true << false;
        QTest::newRow("http, ::1") << "http://[::1]:8080/" << true << false;
        QTest::newRow("http, localhost lookalike") << "http://localhost.example.com/" << false << true;
        QTest::newRow("ftp") << "ftp://tools.example.com/" << false << false;
    }
    void toolsAddressNeedsHttps() {
        QFETCH(QString, address);
        QFETCH(bool, usable);
        QFETCH(bool, insecure);
        QCOMPARE(toolsAddress(address, QStringLiteral("webservice/rest/server.php")).has_value(), usable);
        QCOMPARE(isInsecureToolsAddress(address), insecure);
    }

    void plainHttpToolsAddressSendsNothing() {
        FakeHttpServer server;
        InMemoryKeychain keychain;
        keychain.putItem(KeychainItem::toolsWSToken, onHeap("ws-7f3e9a1c5b2d4e6f"));
        TestSettings settings;
        // The loopback server under a name that is no loopback address: refused before sending.
        settings.setToolsUrl(QStringLiteral("http://pendlow-test.invalid:%1/tools/").arg(server.port()));
        settings.setUserKey(onHeap("uk-1"));
        ToolsAuthService auth(keychain, settings);
        ToolsAPIService tools(keychain, settings, auth);

        const auto outcome = awaitTask(tools.getPersonalPlanning());
        const auto error = outcome.errorAs<APIError>();
        QVERIFY2(error, qPrintable(outcome.errorDescription()));
        QCOMPARE(error->kind(), APIError::Kind::requestFailed);
        QCOMPARE(error->detail(), ::toolsAddressNeedsHttps);
        QCOMPARE(server.requestCount(), 0);
    }
};

PENDLOW_TEST_MAIN(TestHostileServer)
#include "tst_HostileServer.moc"
