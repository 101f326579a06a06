// The planning call to the Tools web service: both ways of authenticating, the form, and every failure.
#include "support/FakeClock.h"
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/Log.h"
#include "platform/KeychainItem.h"
#include "services/clickup/APIError.h"
#include "services/tools/AuthError.h"
#include "services/tools/ToolsAPIService.h"
#include "services/tools/ToolsAuthService.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

Q_DECLARE_METATYPE(APIError::Kind)

namespace {
const QDateTime pinnedNow(QDate(2026, 3, 2), QTime(12, 0));
const QString servicePath = QStringLiteral("/tools/webservice/rest/server.php");
const QString tokenRoute = QStringLiteral("/tools/admin/tool/brisvane/auth_api.php?action=token");

QByteArray planningReply() {
    return QJsonDocument(QJsonObject{{"data", QString::fromUtf8(fixture("planning_tasks.json"))},
                                     {"xbarversion", "2.4.1"}})
        .toJson();
}

// A form body read the way a web server reads it: "+" is a blank, "%XX" a byte.
QMultiMap<QString, QString> serverReadForm(const QByteArray& body) {
    QMultiMap<QString, QString> fields;
    for (const QByteArray& pair : body.split('&')) {
        const qsizetype equals = pair.indexOf('=');
        auto decode = [](QByteArray text) {
            return QString::fromUtf8(QByteArray::fromPercentEncoding(text.replace('+', ' ')));
        };
        fields.insert(decode(pair.left(equals)), equals < 0 ? QString() : decode(pair.mid(equals + 1)));
    }
    return fields;
}

double nowSeconds() {
    return double(pinnedNow.toMSecsSinceEpoch()) / 1000.0;
}
} // namespace

class ToolsAPIServiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<InMemoryKeychain> m_keychain;
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<ToolsAuthService> m_auth;
    std::unique_ptr<ToolsAPIService> m_api;
    std::unique_ptr<FakeClock> m_clock;

    void signIn(const QString& access, double expiresIn) {
        m_keychain->putItem(KeychainItem::toolsAccessToken, access);
        m_keychain->putItem(KeychainItem::toolsRefreshToken, "refresh-1");
        m_settings->setToolsTokenExpiry(nowSeconds() + expiresIn);
    }

    QList<FakeHttpServer::Request> planningRequests() const {
        return m_server->requests("POST", servicePath);
    }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<FakeHttpServer>();
        m_keychain = std::make_unique<InMemoryKeychain>();
        m_settings = std::make_unique<TestSettings>();
        m_settings->setToolsUrl(m_server->baseUrl().toString() + QStringLiteral("/tools/"));
        m_settings->setUserKey("user-1");
        m_auth = std::make_unique<ToolsAuthService>(*m_keychain, *m_settings);
        m_api = std::make_unique<ToolsAPIService>(*m_keychain, *m_settings, *m_auth);
        m_api->setRequestTimeout(3000);
        m_clock = std::make_unique<FakeClock>(pinnedNow);
        m_server->route("POST", servicePath, FakeHttpServer::Response::json(planningReply()));
        m_server->route("POST", tokenRoute, FakeHttpServer::Response::json(fixture("token_reply.json")));
    }

    void cleanup() {
        m_api.reset();
        m_auth.reset();
        m_clock.reset();
    }

    void authenticates_data() {
        QTest::addColumn<bool>("sharedToken");
        QTest::addColumn<std::optional<double>>("signedInExpiresIn");
        QTest::addColumn<QByteArray>("authorization");
        QTest::addColumn<int>("refreshes");

        QTest::newRow("shared token") << true << std::optional<double>() << QByteArray() << 0;
        QTest::newRow("personal sign-in")
            << false << std::optional<double>(3600) << QByteArray("Bearer access-1") << 0;
        QTest::newRow("personal sign-in wins over the shared token")
            << true << std::optional<double>(3600) << QByteArray("Bearer access-1") << 0;
        QTest::newRow("personal token refreshed first")
            << false << std::optional<double>(10) << QByteArray("Bearer access-2&x=y+z") << 1;
    }

    void authenticates() {
        QFETCH(bool, sharedToken);
        QFETCH(std::optional<double>, signedInExpiresIn);
        QFETCH(QByteArray, authorization);
        QFETCH(int, refreshes);
        if (sharedToken) {
            m_keychain->putItem(KeychainItem::toolsWSToken, "ws-1");
        }
        if (signedInExpiresIn) {
            signIn("access-1", *signedInExpiresIn);
        }

        const auto outcome = awaitTask(m_api->getPersonalPlanning());
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(outcome.value->tasks.size(), 5);
        QCOMPARE(outcome.value->tasks.at(0).name, QStringLiteral("Acme - Website - Fix login"));
        QCOMPARE(outcome.value->serverVersion, QStringLiteral("2.4.1"));

        QCOMPARE(m_server->requests("POST", "/tools/admin/tool/brisvane/auth_api.php").size(), refreshes);
        const auto requests = planningRequests();
        QCOMPARE(requests.size(), 1);
        const FakeHttpServer::Request& request = requests[0];
        QCOMPARE(request.header("content-type"), QByteArray("application/x-www-form-urlencoded"));
        QCOMPARE(request.header("authorization"), authorization);
        QMultiMap<QString, QString> expected{{"wsfunction", "tool_brisvane_get_planning_personal"},
                                             {"moodlewsrestformat", "json"},
                                             {"userkey", "user-1"}};
        if (authorization.isEmpty()) {
            expected.insert("wstoken", "ws-1");
        }
        QCOMPARE(serverReadForm(request.body), expected);
    }

    // Tokens and keys holding form syntax reach the server unchanged.
    void encodesFormValues_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("ampersand and equals") << "a&wsfunction=evil";
        QTest::newRow("plus") << "a+b";
        QTest::newRow("percent") << "100%25";
        QTest::newRow("blank and non-ASCII") << QString::fromUtf8("J\xC3\xBCrgen Key");
        QTest::newRow("all of them") << "k=1&t+2%3 x";
    }

    void encodesFormValues() {
        QFETCH(QString, value);
        m_keychain->putItem(KeychainItem::toolsWSToken, value);
        m_settings->setUserKey(value);

        QVERIFY(!awaitTask(m_api->getPersonalPlanning()).failed());
        const QByteArray body = planningRequests().value(0).body;
        const QMultiMap<QString, QString> fields = serverReadForm(body);
        QCOMPARE(fields.values("userkey"), QStringList{value});
        QCOMPARE(fields.values("wstoken"), QStringList{value});
        QCOMPARE(fields.values("wsfunction"), QStringList{"tool_brisvane_get_planning_personal"});
        QCOMPARE(fields.size(), 4);
    }

    void joinsAddressAsWritten() {
        m_keychain->putItem(KeychainItem::toolsWSToken, "ws-1");
        m_settings->setToolsUrl(m_server->baseUrl().toString() + QStringLiteral("/tools"));
        m_server->route("POST", "/toolswebservice/rest/server.php", FakeHttpServer::Response::json("{}"));
        QVERIFY(!awaitTask(m_api->getPersonalPlanning()).failed());
        QCOMPARE(m_server->requests().value(0).path, QStringLiteral("/toolswebservice/rest/server.php"));
    }

    void failsBeforeSending_data() {
        QTest::addColumn<std::optional<QString>>("sharedToken");
        QTest::addColumn<QString>("toolsUrl");
        QTest::addColumn<APIError::Kind>("kind");

        const QString server = QStringLiteral("server");
        QTest::newRow("no shared token")
            << std::optional<QString>() << server << APIError::Kind::missingWSToken;
        QTest::newRow("empty shared token")
            << std::optional<QString>("") << server << APIError::Kind::missingWSToken;
        QTest::newRow("no address") << std::optional<QString>("ws-1") << "" << APIError::Kind::invalidURL;
        QTest::newRow("address without scheme")
            << std::optional<QString>("ws-1") << "tools.example.com/" << APIError::Kind::invalidURL;
        QTest::newRow("not a web address")
            << std::optional<QString>("ws-1") << "ftp://127.0.0.1/" << APIError::Kind::invalidURL;
    }

    void failsBeforeSending() {
        QFETCH(std::optional<QString>, sharedToken);
        QFETCH(QString, toolsUrl);
        QFETCH(APIError::Kind, kind);
        if (sharedToken) {
            m_keychain->putItem(KeychainItem::toolsWSToken, *sharedToken);
        }
        if (toolsUrl != QLatin1String("server")) {
            m_settings->setToolsUrl(toolsUrl);
        }
        const auto outcome = awaitTask(m_api->getPersonalPlanning());
        QVERIFY(outcome.errorAs<APIError>());
        QCOMPARE(outcome.errorAs<APIError>()->kind(), kind);
        QCOMPARE(m_server->requestCount(), 0);
    }

    // A personal token that cannot be refreshed ends the call with the sign-in's own error.
    void signInFailurePassesUnwrapped_data() {
        QTest::addColumn<int>("refreshStatus");
        QTest::addColumn<bool>("signedInAfter");
        QTest::newRow("refresh refused") << 500 << true;
        QTest::newRow("refresh unauthorised signs out") << 401 << false;
    }

    void signInFailurePassesUnwrapped() {
        QFETCH(int, refreshStatus);
        QFETCH(bool, signedInAfter);
        m_server->route("POST", tokenRoute, FakeHttpServer::Response::json("{}", refreshStatus));
        m_keychain->putItem(KeychainItem::toolsWSToken, "ws-1");
        signIn("access-1", 0);

        const auto outcome = awaitTask(m_api->getPersonalPlanning());
        QCOMPARE(outcome.errorAs<AuthError>(), AuthError::refreshFailed());
        QVERIFY(planningRequests().isEmpty());

        // After a sign-out the next call falls back to the shared token.
        QCOMPARE(*awaitTask(m_auth->isAuthenticated()).value, signedInAfter);
        if (!signedInAfter) {
            QVERIFY(!awaitTask(m_api->getPersonalPlanning()).failed());
            QCOMPARE(serverReadForm(planningRequests().value(0).body).value("wstoken"),
                     QStringLiteral("ws-1"));
        }
    }

    void reportsReplyFailures_data() {
        QTest::addColumn<FakeHttpServer::Response>("response");
        QTest::addColumn<APIError>("error");

        FakeHttpServer::Response dropped;
        dropped.drop = true;
        FakeHttpServer::Response hanging;
        hanging.hang = true;
        QTest::newRow("service unavailable")
            << FakeHttpServer::Response::text("down", 503) << APIError::httpError(503, std::nullopt);
        QTest::newRow("unauthorised")
            << FakeHttpServer::Response::json("{}", 401) << APIError::httpError(401, std::nullopt);
        QTest::newRow("web-service error sent with 200")
            << FakeHttpServer::Response::json(fixture("moodle_error.json"))
            << APIError::requestFailed("Invalid token - token not found");
        QTest::newRow("web-service error without message")
            << FakeHttpServer::Response::json(R"({"exception":"x","errorcode":"nopermission"})")
            << APIError::requestFailed("nopermission");
        QTest::newRow("not JSON") << FakeHttpServer::Response::text("<html>") << APIError::decodingError("");
        QTest::newRow("data of the wrong type")
            << FakeHttpServer::Response::json(R"({"data":[]})") << APIError::decodingError("");
        QTest::newRow("connection dropped") << dropped << APIError::networkError("Connection closed");
        QTest::newRow("no answer") << hanging << APIError::networkError("The request timed out.");
    }

    void reportsReplyFailures() {
        QFETCH(FakeHttpServer::Response, response);
        QFETCH(APIError, error);
        m_server->route("POST", servicePath, response);
        m_keychain->putItem(KeychainItem::toolsWSToken, "ws-1");
        m_api->setRequestTimeout(300);

        const auto outcome = awaitTask(m_api->getPersonalPlanning());
        const std::optional<APIError> thrown = outcome.errorAs<APIError>();
        QVERIFY2(thrown, qPrintable(outcome.errorDescription()));
        QCOMPARE(thrown->kind(), error.kind());
        if (error.kind() == APIError::Kind::decodingError) {
            QVERIFY(!thrown->detail().isEmpty());
        } else {
            QCOMPARE(*thrown, error);
        }
    }

    void emptyPlanningIsNoError_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<std::optional<QString>>("version");
        QTest::newRow("data absent") << QByteArray(R"({"xbarversion":"2.4.1"})")
                                     << std::optional<QString>("2.4.1");
        QTest::newRow("data not a task list") << QByteArray(R"({"data":"{}"})") << std::optional<QString>();
    }

    void emptyPlanningIsNoError() {
        QFETCH(QByteArray, body);
        QFETCH(std::optional<QString>, version);
        m_server->route("POST", servicePath, FakeHttpServer::Response::json(body));
        m_keychain->putItem(KeychainItem::toolsWSToken, "ws-1");
        const auto outcome = awaitTask(m_api->getPersonalPlanning());
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(*outcome.value, (PersonalPlanning{{}, version}));
    }

    void secretsStayOutOfTheLog() {
        LogCapture log(LogCapture::Verbosity::debug);
        m_settings->setUserKey("user-key-secret");
        m_keychain->putItem(KeychainItem::toolsWSToken, "ws-token-secret");
        QVERIFY(!awaitTask(m_api->getPersonalPlanning()).failed());
        signIn("access-token-secret", 3600);
        QVERIFY(!awaitTask(m_api->getPersonalPlanning()).failed());

        const QStringList lines = log.lines();
        QVERIFY(lines.size() >= 4);
        for (const QString& line : std::as_const(lines)) {
            for (const char* secret : {"user-key-secret", "ws-token-secret", "access-token-secret"}) {
                QVERIFY2(!line.contains(QLatin1String(secret)), qPrintable(line));
            }
        }
    }
};

PENDLOW_TEST_MAIN(ToolsAPIServiceTest)
#include "tst_ToolsAPIService.moc"
