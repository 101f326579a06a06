// The personal Tools sign-in: login address, token expiry, single-flight refresh, keeping the stored
// set coherent, user details and sign-out, against a loopback token API.
#include "support/FakeClock.h"
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/DecodingError.h"
#include "core/Log.h"
#include "platform/KeychainError.h"
#include "platform/KeychainItem.h"
#include "services/clickup/APIError.h"
#include "services/tools/AuthError.h"
#include "services/tools/ToolsAuthService.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

Q_DECLARE_METATYPE(AuthError::Kind)

namespace {
const QDateTime pinnedNow(QDate(2026, 3, 2), QTime(12, 0));
const QString apiPath = QStringLiteral("/tools/admin/tool/brisvane/auth_api.php");

QString route(const char* action) {
    return apiPath + QStringLiteral("?action=") + QLatin1String(action);
}

double nowSeconds() {
    return double(pinnedNow.toMSecsSinceEpoch()) / 1000.0;
}

// A token reply with the given tokens.
QByteArray tokenReply(const QString& access, const QString& refresh, qint64 expiresIn = 3600) {
    return QJsonDocument(QJsonObject{{"access_token", access},
                                     {"refresh_token", refresh},
                                     {"token_type", "Bearer"},
                                     {"expires_in", expiresIn},
                                     {"refresh_expires_in", 86400},
                                     {"scope", "planning"}})
        .toJson();
}

// An in-memory keychain that refuses to write one item.
class RefusingKeychain : public InMemoryKeychain {
public:
    QString refusedKey;

    QCoro::Task<> setValue(QString value, QString key) override {
        if (key == refusedKey) {
            throw KeychainError::saveFailed(7);
        }
        co_await InMemoryKeychain::setValue(value, key);
    }
};

// Three token requests started together; each result is the token or the error's description.
QCoro::Task<QStringList> threeCallers(ToolsAuthService& auth) {
    auto describe = [](QCoro::Task<QString> task) -> QCoro::Task<QString> {
        try {
            co_return co_await std::move(task);
        } catch (const std::exception& error) {
            co_return Error::describe(error);
        }
    };
    // Tasks start at once, so all three ask before any refresh is answered.
    auto first = describe(auth.getValidAccessToken());
    auto second = describe(auth.getValidAccessToken());
    auto third = describe(auth.getValidAccessToken());
    QStringList results;
    results << co_await std::move(first) << co_await std::move(second) << co_await std::move(third);
    co_return results;
}
} // namespace

class ToolsAuthServiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<RefusingKeychain> m_keychain;
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<ToolsAuthService> m_auth;
    std::unique_ptr<FakeClock> m_clock;

    QString toolsUrl() const { return m_server->baseUrl().toString() + QStringLiteral("/tools/"); }

    QList<FakeHttpServer::Request> actionRequests(const QString& action) const {
        QList<FakeHttpServer::Request> matching;
        for (const auto& request : m_server->requests()) {
            if (request.path == apiPath && request.query.queryItemValue("action") == action) {
                matching.append(request);
            }
        }
        return matching;
    }

    // Signed in with the given tokens, the access token expiring `expiresIn` seconds from now.
    void signIn(const QString& access, const QString& refresh, double expiresIn = 3600) {
        m_keychain->putItem(KeychainItem::toolsAccessToken, access);
        m_keychain->putItem(KeychainItem::toolsRefreshToken, refresh);
        m_settings->setToolsTokenExpiry(nowSeconds() + expiresIn);
    }

    bool isSignedIn() { return *awaitTask(m_auth->isAuthenticated()).value; }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<FakeHttpServer>();
        m_keychain = std::make_unique<RefusingKeychain>();
        m_settings = std::make_unique<TestSettings>();
        m_settings->setToolsUrl(toolsUrl());
        m_auth = std::make_unique<ToolsAuthService>(*m_keychain, *m_settings);
        m_auth->setRequestTimeout(3000);
        m_clock = std::make_unique<FakeClock>(pinnedNow);
        m_server->route("POST", route("token"), FakeHttpServer::Response::json(fixture("token_reply.json")));
    }

    void cleanup() {
        m_auth.reset();
        m_clock.reset();
    }

    void buildsLoginAddress_data() {
        QTest::addColumn<QString>("base");
        QTest::addColumn<std::optional<QString>>("state");
        QTest::addColumn<QString>("expected");

        const QString page =
            QStringLiteral("https://tools.example.com/admin/tool/brisvane/view/auth_popup.php"
                           "?client_name=Pendlow&redirect_uri=pendlow://auth/callback");
        QTest::newRow("with state") << "https://tools.example.com/" << std::optional<QString>("Ab12")
                                    << page + QStringLiteral("&state=Ab12");
        QTest::newRow("without state") << "https://tools.example.com/" << std::optional<QString>() << page;
        QTest::newRow("state is encoded") << "https://tools.example.com/" << std::optional<QString>("a&b=c+d")
                                          << page + QStringLiteral("&state=a%26b%3Dc%2Bd");
        QTest::newRow("no address") << "" << std::optional<QString>("x") << QString();
        QTest::newRow("not a web address") << "file:///tmp/" << std::optional<QString>("x") << QString();
    }

    void buildsLoginAddress() {
        QFETCH(QString, base);
        QFETCH(std::optional<QString>, state);
        QFETCH(QString, expected);
        m_settings->setToolsUrl(base);
        const std::optional<QUrl> url = m_auth->authorizationURL(state);
        QCOMPARE(url.has_value(), !expected.isEmpty());
        if (url) {
            QCOMPARE(url->toString(QUrl::FullyEncoded), expected);
        }
    }

    // Whether a token request refreshes first, by the expiry's distance from now.
    void refreshesNearExpiry_data() {
        QTest::addColumn<std::optional<double>>("expiresIn");
        QTest::addColumn<bool>("refreshes");

        QTest::newRow("no expiry stored") << std::optional<double>() << true;
        QTest::newRow("in the past") << std::optional<double>(-5) << true;
        QTest::newRow("30 s ahead") << std::optional<double>(30) << true;
        QTest::newRow("exactly 60 s ahead") << std::optional<double>(60) << true;
        QTest::newRow("61 s ahead") << std::optional<double>(61) << false;
        QTest::newRow("an hour ahead") << std::optional<double>(3600) << false;
    }

    void refreshesNearExpiry() {
        QFETCH(std::optional<double>, expiresIn);
        QFETCH(bool, refreshes);
        signIn("access-1", "refresh-1", expiresIn.value_or(0));
        if (!expiresIn) {
            m_settings->setToolsTokenExpiry(0);
        }

        const auto outcome = awaitTask(m_auth->getValidAccessToken());
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(*outcome.value, refreshes ? QStringLiteral("access-2&x=y+z") : QStringLiteral("access-1"));
        QCOMPARE(actionRequests("token").size(), refreshes ? 1 : 0);
    }

    void refreshStoresTheNewSet() {
        signIn("access-1", "refresh-1", 10);
        m_settings->setUserKey("old-key");

        const auto outcome = awaitTask(m_auth->getValidAccessToken());
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));

        const auto requests = actionRequests("token");
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].header("content-type"), QByteArray("application/json"));
        QCOMPARE(requests[0].jsonBody(),
                 (QVariantMap{{"grant_type", "refresh_token"}, {"refresh_token", "refresh-1"}}));
        QCOMPARE(m_keychain->item(KeychainItem::toolsAccessToken), QStringLiteral("access-2&x=y+z"));
        QCOMPARE(m_keychain->item(KeychainItem::toolsRefreshToken), QStringLiteral("refresh-2"));
        QCOMPARE(m_settings->toolsTokenExpiry(), nowSeconds() + 3600);
        QCOMPARE(m_settings->userKey(), QStringLiteral("key-from-token"));
    }

    void emptyUserKeyInReplyLeavesSetting() {
        QJsonObject reply = QJsonDocument::fromJson(fixture("token_reply.json")).object();
        QJsonObject user = reply.value("user").toObject();
        user.insert("userkey", "");
        reply.insert("user", user);
        m_server->route("POST", route("token"),
                        FakeHttpServer::Response::json(QJsonDocument(reply).toJson()));
        signIn("access-1", "refresh-1", 0);
        m_settings->setUserKey("old-key");

        QVERIFY(!awaitTask(m_auth->refreshTokens()).failed());
        QCOMPARE(m_settings->userKey(), QStringLiteral("old-key"));
    }

    void emptyTokensStillCountAsSignIn() {
        signIn("", "", 3600);
        QVERIFY(isSignedIn());
        QCOMPARE(*awaitTask(m_auth->getValidAccessToken()).value, QString());
    }

    void withoutSignInThereIsNoToken_data() {
        QTest::addColumn<bool>("hasAccessToken");
        QTest::addColumn<bool>("hasRefreshToken");
        QTest::newRow("neither") << false << false;
        QTest::newRow("access token only") << true << false;
        QTest::newRow("refresh token only") << false << true;
    }

    void withoutSignInThereIsNoToken() {
        QFETCH(bool, hasAccessToken);
        QFETCH(bool, hasRefreshToken);
        if (hasAccessToken) {
            m_keychain->putItem(KeychainItem::toolsAccessToken, "access-1");
        }
        if (hasRefreshToken) {
            m_keychain->putItem(KeychainItem::toolsRefreshToken, "refresh-1");
        }
        QVERIFY(!isSignedIn());
        const auto outcome = awaitTask(m_auth->getValidAccessToken());
        QCOMPARE(outcome.errorAs<AuthError>(), AuthError::noAccessToken());
        QCOMPARE(m_server->requestCount(), 0);
    }

    // Callers that find the token expired together share one refresh, and its outcome.
    void concurrentCallersShareOneRefresh_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("result");
        QTest::newRow("refreshed") << 200 << "access-2";
        QTest::newRow("refused") << 500 << AuthError::refreshFailed().description();
    }

    void concurrentCallersShareOneRefresh() {
        QFETCH(int, status);
        QFETCH(QString, result);
        // The server rotates refresh tokens: a spent one is answered 401, which signs the user out.
        QString current = "refresh-1";
        int generation = 1;
        m_server->route("POST", route("token"), [&](const FakeHttpServer::Request& request) {
            FakeHttpServer::Response response;
            if (request.jsonBody().value("refresh_token").toString() != current) {
                response = FakeHttpServer::Response::json("{}", 401);
            } else if (status != 200) {
                response = FakeHttpServer::Response::json("{}", status);
            } else {
                ++generation;
                current = QStringLiteral("refresh-%1").arg(generation);
                response = FakeHttpServer::Response::json(
                    tokenReply(QStringLiteral("access-%1").arg(generation), current));
            }
            response.delayMs = 100;
            return response;
        });
        signIn("access-1", "refresh-1", 0);

        const auto outcome = awaitTask(threeCallers(*m_auth));
        QVERIFY(outcome.finished);
        QCOMPARE(*outcome.value, (QStringList{result, result, result}));
        QCOMPARE(actionRequests("token").size(), 1);
        QVERIFY(isSignedIn());

        if (status == 200) {
            // The next expiry refreshes again, with the rotated token.
            m_clock->advance(3600);
            QCOMPARE(*awaitTask(m_auth->getValidAccessToken()).value, QStringLiteral("access-3"));
            QCOMPARE(actionRequests("token").size(), 2);
        }
    }

    void failedRefresh_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<bool>("drop");
        QTest::addColumn<QString>("error");
        QTest::addColumn<bool>("signsOut");

        QTest::newRow("401 signs out")
            << 401 << QByteArray("{}") << false << AuthError::refreshFailed().description() << true;
        QTest::newRow("500 keeps the sign-in")
            << 500 << QByteArray("{}") << false << AuthError::refreshFailed().description() << false;
        QTest::newRow("reply without scope") << 200 << QByteArray(tokenReply("a", "r")).replace("scope", "x")
                                             << false << QString("DecodingError") << false;
        QTest::newRow("connection dropped") << 200 << QByteArray() << true << QString("APIError") << false;
    }

    void failedRefresh() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, drop);
        QFETCH(QString, error);
        QFETCH(bool, signsOut);
        FakeHttpServer::Response response = FakeHttpServer::Response::json(body, status);
        response.drop = drop;
        m_server->route("POST", route("token"), response);
        signIn("access-1", "refresh-1", 0);
        m_settings->setToolsTokenExpiry(nowSeconds() - 10);

        const auto outcome = awaitTask(m_auth->getValidAccessToken());
        QVERIFY(outcome.failed());
        if (error == QLatin1String("DecodingError")) {
            QVERIFY(outcome.errorAs<DecodingError>());
        } else if (error == QLatin1String("APIError")) {
            QCOMPARE(outcome.errorAs<APIError>()->kind(), APIError::Kind::networkError);
        } else {
            QCOMPARE(outcome.errorDescription(), error);
        }

        QCOMPARE(isSignedIn(), !signsOut);
        if (signsOut) {
            QVERIFY(m_keychain->items().isEmpty());
            QCOMPARE(m_settings->toolsTokenExpiry(), 0.0);
        } else {
            QCOMPARE(m_keychain->item(KeychainItem::toolsAccessToken), QStringLiteral("access-1"));
            QCOMPARE(m_keychain->item(KeychainItem::toolsRefreshToken), QStringLiteral("refresh-1"));
            QCOMPARE(m_settings->toolsTokenExpiry(), nowSeconds() - 10);
        }
    }

    void refreshWithoutRefreshToken() {
        m_keychain->putItem(KeychainItem::toolsAccessToken, "access-1");
        QCOMPARE(awaitTask(m_auth->refreshTokens()).errorAs<AuthError>(), AuthError::noRefreshToken());
        QCOMPARE(m_server->requestCount(), 0);
    }

    // A keychain that refuses one write never leaves a set whose expiry vouches for the wrong token.
    void refusedWriteKeepsACoherentSet_data() {
        QTest::addColumn<QString>("refusedKey");
        QTest::addColumn<QString>("accessAfter");
        QTest::addColumn<QString>("refreshAfter");
        QTest::addColumn<double>("expiryAfter");

        QTest::newRow("refresh token refused: old set stays") << KeychainItem::toolsRefreshToken << "access-1"
                                                              << "refresh-1" << nowSeconds() + 30;
        QTest::newRow("access token refused: new refresh token, refresh before use")
            << KeychainItem::toolsAccessToken << "access-1"
            << "refresh-2" << 0.0;
    }

    void refusedWriteKeepsACoherentSet() {
        QFETCH(QString, refusedKey);
        QFETCH(QString, accessAfter);
        QFETCH(QString, refreshAfter);
        QFETCH(double, expiryAfter);
        signIn("access-1", "refresh-1", 30);
        m_keychain->refusedKey = refusedKey;

        QVERIFY(awaitTask(m_auth->getValidAccessToken()).errorAs<KeychainError>());
        QCOMPARE(m_keychain->item(KeychainItem::toolsAccessToken), accessAfter);
        QCOMPARE(m_keychain->item(KeychainItem::toolsRefreshToken), refreshAfter);
        QCOMPARE(m_settings->toolsTokenExpiry(), expiryAfter);

        // Once the keychain works again, the next request refreshes with the stored refresh token.
        m_keychain->refusedKey.clear();
        m_server->route("POST", route("token"),
                        FakeHttpServer::Response::json(tokenReply("access-3", "refresh-3")));
        QCOMPARE(*awaitTask(m_auth->getValidAccessToken()).value, QStringLiteral("access-3"));
        QCOMPARE(actionRequests("token").last().jsonBody().value("refresh_token").toString(), refreshAfter);
    }

    void refusedCallbackStoreLeavesNoHalfSignIn() {
        m_keychain->refusedKey = KeychainItem::toolsAccessToken;
        QVERIFY(awaitTask(m_auth->storeTokens("access-1", "refresh-1", 3600)).errorAs<KeychainError>());
        QVERIFY(m_keychain->items().isEmpty());
        QVERIFY(!isSignedIn());
    }

    void callbackStoreSetsExpiry_data() {
        QTest::addColumn<qint64>("expiresIn");
        QTest::addColumn<bool>("refreshesFirst");
        QTest::newRow("an hour") << qint64(3600) << false;
        QTest::newRow("already expired") << qint64(-5) << true;
    }

    void callbackStoreSetsExpiry() {
        QFETCH(qint64, expiresIn);
        QFETCH(bool, refreshesFirst);
        m_settings->setUserKey("kept");
        QVERIFY(!awaitTask(m_auth->storeTokens("access-1", "refresh-1", expiresIn)).failed());
        QVERIFY(isSignedIn());
        QCOMPARE(m_settings->toolsTokenExpiry(), nowSeconds() + double(expiresIn));
        QCOMPARE(m_settings->userKey(), QStringLiteral("kept"));
        QCOMPARE(*awaitTask(m_auth->getValidAccessToken()).value,
                 refreshesFirst ? QStringLiteral("access-2&x=y+z") : QStringLiteral("access-1"));
    }

    void fetchesUserInfo() {
        m_server->route("GET", route("userinfo"), FakeHttpServer::Response::json(fixture("userinfo.json")));
        signIn("access-1", "refresh-1");

        const auto outcome = awaitTask(m_auth->fetchUserInfo());
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(outcome.value->fullname, QStringLiteral("Jane Doe"));
        QCOMPARE(outcome.value->sub, 42);
        QCOMPARE(m_settings->userKey(), QStringLiteral("key-from-userinfo"));
        const auto requests = actionRequests("userinfo");
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].header("authorization"), QByteArray("Bearer access-1"));
    }

    void userInfoFailures_data() {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error");
        QTest::newRow("server error")
            << 500 << QByteArray("{}") << AuthError::invalidResponse().description();
        QTest::newRow("unauthorised")
            << 401 << QByteArray("{}") << AuthError::invalidResponse().description();
        QTest::newRow("no full name") << 200
                                      << QByteArray(R"({"sub":1,"username":"u","email":"e",)"
                                                    R"("firstname":"f","lastname":"l"})")
                                      << QString();
    }

    void userInfoFailures() {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        m_server->route("GET", route("userinfo"), FakeHttpServer::Response::json(body, status));
        signIn("access-1", "refresh-1");
        m_settings->setUserKey("kept");

        const auto outcome = awaitTask(m_auth->fetchUserInfo());
        if (error.isEmpty()) {
            QVERIFY(outcome.errorAs<DecodingError>());
        } else {
            QCOMPARE(outcome.errorDescription(), error);
        }
        QCOMPARE(m_settings->userKey(), QStringLiteral("kept"));
        QVERIFY(isSignedIn());
    }

    void logoutRevokesAndClears_data() {
        QTest::addColumn<bool>("signedIn");
        QTest::addColumn<bool>("serverAnswers");
        QTest::newRow("revoked") << true << true;
        QTest::newRow("server unreachable") << true << false;
        QTest::newRow("nothing to revoke") << false << true;
    }

    void logoutRevokesAndClears() {
        QFETCH(bool, signedIn);
        QFETCH(bool, serverAnswers);
        FakeHttpServer::Response revoke = FakeHttpServer::Response::json("{}");
        revoke.drop = !serverAnswers;
        m_server->route("POST", route("revoke"), revoke);
        if (signedIn) {
            signIn("access-1", "refresh-1");
        }

        const auto outcome = awaitTask(m_auth->logout());
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QVERIFY(m_keychain->items().isEmpty());
        QCOMPARE(m_settings->toolsTokenExpiry(), 0.0);
        // Qt sends a request once more when the connection drops before any answer.
        const auto requests = actionRequests("revoke");
        QCOMPARE(requests.isEmpty(), !signedIn);
        if (signedIn) {
            QCOMPARE(requests[0].jsonBody(), (QVariantMap{{"token", "access-1"}}));
        }
    }

    void logoutReportsKeychainFailure() {
        m_server->route("POST", route("revoke"), FakeHttpServer::Response::json("{}"));
        signIn("access-1", "refresh-1");
        m_keychain->failNextDelete();
        QVERIFY(awaitTask(m_auth->logout()).errorAs<KeychainError>());
    }

    // A sign-out while a refresh waits for the server is not undone by the refresh's reply.
    void logoutDuringRefreshStaysSignedOut() {
        FakeHttpServer::Response slow = FakeHttpServer::Response::json(tokenReply("access-2", "refresh-2"));
        slow.delayMs = 300;
        m_server->route("POST", route("token"), slow);
        m_server->route("POST", route("revoke"), FakeHttpServer::Response::json("{}"));
        signIn("access-1", "refresh-1", 0);

        auto pending = m_auth->getValidAccessToken();
        QVERIFY(!awaitTask(m_auth->logout()).failed());
        QCOMPARE(awaitTask(std::move(pending)).errorAs<AuthError>(), AuthError::refreshFailed());
        QVERIFY(m_keychain->items().isEmpty());
        QVERIFY(!isSignedIn());
    }

    void secretsStayOutOfTheLog() {
        LogCapture log(LogCapture::Verbosity::debug);
        m_server->route("GET", route("userinfo"), FakeHttpServer::Response::json(fixture("userinfo.json")));
        m_server->route("POST", route("revoke"), FakeHttpServer::Response::json("{}"));
        signIn("access-1-secret", "refresh-1-secret", 0);

        QVERIFY(!awaitTask(m_auth->fetchUserInfo()).failed()); // refreshes first
        QVERIFY(!awaitTask(m_auth->storeTokens("access-3-secret", "refresh-3-secret", 3600)).failed());
        QVERIFY(!awaitTask(m_auth->logout()).failed());

        const QStringList lines = log.lines();
        QVERIFY(lines.size() >= 5);
        for (const QString& line : std::as_const(lines)) {
            for (const char* secret :
                 {"access-1-secret", "refresh-1-secret", "access-2", "refresh-2", "access-3-secret",
                  "refresh-3-secret", "key-from-token", "key-from-userinfo"}) {
                QVERIFY2(!line.contains(QLatin1String(secret)), qPrintable(line));
            }
        }
    }
};

PENDLOW_TEST_MAIN(ToolsAuthServiceTest)
#include "tst_ToolsAuthService.moc"
