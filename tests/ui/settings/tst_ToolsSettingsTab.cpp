// The Timesheet page against a loopback Tools server (web service and sign-in API) and the
// session's real secret store: what it shows from an empty store, Test with what the fields hold
// (success and each kind of failure), the Save sequence, a failing secret write, the session texts,
// the sign-in check, a sign-in through the coordinator (success, cancelled, failed) and the sign-out.
#include "support/FakeClickUpAPI.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeHttpServer.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/InMemoryKeychain.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "platform/KeychainItem.h"
#include "platform/KeychainService.h"
#include "platform/WebAuthenticationError.h"
#include "platform/WebAuthenticationSession.h"
#include "services/AppState.h"
#include "services/clickup/APIError.h"
#include "services/tools/ToolsAPIService.h"
#include "services/tools/ToolsAuthService.h"
#include "services/tools/ToolsLoginCoordinator.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SettingsResultLabel.h"
#include "ui/settings/ToolsSettingsTab.h"

#include <QCoreApplication>
#include <QCoroTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimeZone>
#include <QUrlQuery>

#include <chrono>
#include <memory>

namespace {
const QString servicePath = QStringLiteral("/tools/webservice/rest/server.php");
const QString authPath = QStringLiteral("/tools/admin/tool/brisvane/auth_api.php");

QString storeName() {
    return QStringLiteral("com.brisvane.Pendlow.tools-settings-test-%1")
        .arg(QCoreApplication::applicationPid());
}

// A planning reply of `count` tasks in the web service's format.
QByteArray planningReply(int count) {
    QJsonArray tasks;
    for (int i = 0; i < count; ++i) {
        tasks.append(QJsonObject{{"name", QStringLiteral("Client - Task %1").arg(i)},
                                 {"clickuptaskid", QStringLiteral("86t%1").arg(i)},
                                 {"status", "in progress"}});
    }
    return QJsonDocument(QJsonObject{{"data", QString::fromUtf8(QJsonDocument(tasks).toJson())},
                                     {"xbarversion", "2.4.1"}})
        .toJson();
}

QByteArray userInfo(const QString& userKey) {
    QJsonObject user{{"sub", 42},           {"username", "jdoe"}, {"email", "jane@example.com"},
                     {"firstname", "Jane"}, {"lastname", "Doe"},  {"fullname", "Jane Doe"}};
    if (!userKey.isEmpty()) {
        user.insert("userkey", userKey);
    }
    return QJsonDocument(user).toJson();
}

// A sign-in window that answers at once with the callback its answer gives for the state sent, or
// throws.
class StandInSession : public WebAuthenticationSession {
public:
    using Answer = std::function<QUrl(const QString& sentState)>;

    explicit StandInSession(Answer answer)
        : m_answer(std::move(answer)) {}

    QCoro::Task<QUrl> authenticate(QUrl loginUrl, QString) override {
        const Answer answer = m_answer;
        const QString state = QUrlQuery(loginUrl).queryItemValue(QStringLiteral("state"));
        co_await QCoro::sleepFor(std::chrono::milliseconds(5));
        co_return answer(state);
    }

private:
    Answer m_answer;
};

struct Rig {
    explicit Rig(SecretStore& secrets)
        : keychain(secrets)
        , auth(secrets, settings)
        , tools(secrets, settings, auth)
        , state(clickUp, tools, secrets, settings, notifications, toasts, panels)
        , tab(secrets, settings, auth,
              ToolsSettingsTab::Actions{.reloadConfiguration = [this] { return state.loadConfiguration(); },
                                        .fetchPlanning = [this] { return state.fetchPlanning(); }}) {
        server.route("POST", servicePath, FakeHttpServer::Response::json(planningReply(3)));
        server.route("GET", authPath, FakeHttpServer::Response::json(userInfo(QString())));
        server.route("POST", authPath, FakeHttpServer::Response::json("{}"));
    }

    QString toolsUrl() const { return server.baseUrl().toString() + QStringLiteral("/tools/"); }
    QLineEdit* field(const char* name) const { return tab.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QPushButton* button(const char* name) const {
        return tab.findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QLabel* label(const char* name) const { return tab.findChild<QLabel*>(QString::fromLatin1(name)); }
    QWidget* row(const char* name) const { return tab.findChild<QWidget*>(QString::fromLatin1(name)); }
    SettingsResultLabel* result() const { return tab.findChild<SettingsResultLabel*>(); }
    SavedConfirmation* saved() const { return tab.findChild<SavedConfirmation*>(); }

    // Loads the stored values and the sign-in into the page and waits for the load to end.
    void load() {
        QSignalSpy finished(&tab, &ToolsSettingsTab::loadFinished);
        tab.load();
        if (finished.isEmpty()) {
            QVERIFY(finished.wait(10000));
        }
    }
    // Checks the sign-in again and waits for the check to end.
    void checkLoginStatus() {
        QSignalSpy checked(&tab, &ToolsSettingsTab::loginStatusChecked);
        tab.checkLoginStatus();
        if (checked.isEmpty()) {
            QVERIFY(checked.wait(10000));
        }
    }
    void fill(const QString& url, const QString& token, const QString& userKey) {
        field("toolsUrlField")->setText(url);
        field("wsTokenField")->setText(token);
        field("userKeyField")->setText(userKey);
    }
    void press(const char* name, void (ToolsSettingsTab::*finished)()) {
        QSignalSpy spy(&tab, finished);
        button(name)->click();
        // A failure found before any request ends within the click.
        if (spy.isEmpty()) {
            QVERIFY(spy.wait(10000));
        }
    }
    std::optional<QString> secret(const QString& item) {
        const TaskOutcome<std::optional<QString>> read = awaitTask(keychain.getValue(item));
        return read.value ? *read.value : std::nullopt;
    }
    void signInWithStoredTokens(double expiresInSeconds) {
        QVERIFY(!awaitTask(keychain.setValue(onHeap(u"access-1"), KeychainItem::toolsAccessToken)).failed());
        QVERIFY(
            !awaitTask(keychain.setValue(onHeap(u"refresh-1"), KeychainItem::toolsRefreshToken)).failed());
        settings.setToolsUrl(toolsUrl());
        settings.setToolsTokenExpiry(double(QDateTime::currentMSecsSinceEpoch()) / 1000.0 + expiresInSeconds);
    }
    // The row is shown within the page (the page itself is not on screen).
    static bool shown(const QWidget* widget) { return !widget->isHidden(); }

    SecretStore& keychain;
    FakeHttpServer server;
    TestSettings settings;
    ToolsAuthService auth;
    ToolsAPIService tools;
    FakeClickUpAPI clickUp;
    FakeNotificationService notifications;
    FakeToastAlertService toasts;
    FakeFloatingAlertService panels;
    AppState state;
    ToolsSettingsTab tab;
};
} // namespace

class ToolsSettingsTabTest : public QObject {
    Q_OBJECT

    std::unique_ptr<KeychainService> m_keychain;

    void clearStore() {
        for (const QString& item :
             {KeychainItem::toolsWSToken, KeychainItem::toolsAccessToken, KeychainItem::toolsRefreshToken}) {
            QVERIFY(!awaitTask(m_keychain->deleteValue(item)).failed());
        }
    }

private Q_SLOTS:
    void init() {
        m_keychain = std::make_unique<KeychainService>(storeName());
        clearStore();
    }

    void cleanup() {
        clearStore();
        m_keychain.reset();
    }

    void emptyStoreShowsTheDefaultsAndNoSignIn() {
        Rig rig(*m_keychain);
        QCOMPARE(rig.tab.label(), QStringLiteral("Timesheet"));
        rig.load();
        QCOMPARE(rig.field("toolsUrlField")->text(), ToolsSettingsTab::defaultToolsUrl);
        QCOMPARE(rig.field("userKeyField")->text(), ToolsSettingsTab::defaultUserKey);
        QCOMPARE(rig.field("wsTokenField")->text(), QString());
        QCOMPARE(rig.field("wsTokenField")->echoMode(), QLineEdit::Password);
        QVERIFY(!rig.button("testButton")->isEnabled());
        rig.field("wsTokenField")->setText(QStringLiteral("ws"));
        QVERIFY(!rig.button("testButton")->isEnabled()); // no user key yet
        rig.field("userKeyField")->setText(QStringLiteral("key"));
        QVERIFY(rig.button("testButton")->isEnabled());
        QVERIFY(rig.shown(rig.row("loggedOutRow")));
        QVERIFY(!rig.shown(rig.row("loggedInRow")));
        QVERIFY(rig.button("loginButton")->isEnabled());
        rig.field("toolsUrlField")->clear();
        QVERIFY(!rig.button("loginButton")->isEnabled());
        QVERIFY(rig.server.requests().isEmpty());
    }

    // Test asks the server the fields name, with the fields' token and key (trimmed), whatever is
    // stored, and stores nothing.
    void connectionTest_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("success");
        QTest::addColumn<QString>("shown");
        QTest::newRow("tasks") << planningReply(5) << 200 << true
                               << QStringLiteral("Connected! Found 5 planning tasks");
        QTest::newRow("no tasks") << planningReply(0) << 200 << true
                                  << QStringLiteral("Connected! Found 0 planning tasks");
        QTest::newRow("web-service error")
            << QByteArray(
                   R"({"exception":"moodle_exception","errorcode":"invalidtoken","message":"Invalid token"})")
            << 200 << false << APIError::requestFailed(QStringLiteral("Invalid token")).description();
        QTest::newRow("server error")
            << QByteArray("{}") << 500 << false << APIError::httpError(500, std::nullopt).description();
        QTest::newRow("not a planning reply") << QByteArray("<html>") << 200 << false << QString();
    }

    void connectionTest() {
        QFETCH(QByteArray, reply);
        QFETCH(int, status);
        QFETCH(bool, success);
        QFETCH(QString, shown);
        Rig rig(*m_keychain);
        rig.server.route("POST", servicePath, FakeHttpServer::Response::json(reply, status));
        rig.settings.setToolsUrl(QStringLiteral("https://stored.invalid/"));
        rig.settings.setUserKey(onHeap(u"stored-key"));
        rig.load();
        rig.fill(rig.toolsUrl(), QStringLiteral(" ws-typed "), QStringLiteral("key-typed\t"));
        rig.press("testButton", &ToolsSettingsTab::testFinished);

        QCOMPARE(rig.result()->isSuccess(), success);
        if (!shown.isEmpty()) {
            QCOMPARE(rig.result()->message(), shown);
        } else {
            QVERIFY(!rig.result()->message().isEmpty());
        }
        QVERIFY(rig.button("testButton")->isEnabled());
        const QList<FakeHttpServer::Request> asked = rig.server.requests("POST", servicePath);
        QCOMPARE(asked.size(), 1);
        const QUrlQuery form = asked.constFirst().formBody();
        QCOMPARE(form.queryItemValue(QStringLiteral("wstoken")), QStringLiteral("ws-typed"));
        QCOMPARE(form.queryItemValue(QStringLiteral("userkey")), QStringLiteral("key-typed"));
        QCOMPARE(rig.settings.toolsUrl(), QStringLiteral("https://stored.invalid/"));
        QCOMPARE(rig.settings.userKey(), QStringLiteral("stored-key"));
        QCOMPARE(rig.secret(KeychainItem::toolsWSToken), std::optional<QString>());
    }

    void testOfAnUnusableAddressFails() {
        Rig rig(*m_keychain);
        rig.load();
        rig.fill(QStringLiteral("http://tools.example.com/"), QStringLiteral("ws"), QStringLiteral("key"));
        rig.press("testButton", &ToolsSettingsTab::testFinished);
        QVERIFY(!rig.result()->isSuccess());
        QVERIFY(rig.result()->message().contains(QStringLiteral("https://")));
        QVERIFY(rig.server.requests().isEmpty());
    }

    void saveStoresTheFieldsAndFetchesThePlanning() {
        Rig rig(*m_keychain);
        rig.load();
        rig.fill(rig.toolsUrl(), QStringLiteral("\tws-new "), QStringLiteral(" key-new "));
        rig.press("saveButton", &ToolsSettingsTab::saveFinished);

        QCOMPARE(rig.secret(KeychainItem::toolsWSToken), std::optional<QString>(QStringLiteral("ws-new")));
        QCOMPARE(rig.settings.toolsUrl(), rig.toolsUrl());
        QCOMPARE(rig.settings.userKey(), QStringLiteral("key-new"));
        QVERIFY(rig.state.configuration().isToolsConfigured());
        QVERIFY(!rig.saved()->isHidden());
        QVERIFY(rig.button("saveButton")->isEnabled());
        // The planning was fetched with what was saved.
        QTRY_COMPARE(rig.server.requests("POST", servicePath).size(), 1);
        const QUrlQuery form = rig.server.requests("POST", servicePath).constFirst().formBody();
        QCOMPARE(form.queryItemValue(QStringLiteral("wstoken")), QStringLiteral("ws-new"));
        QCOMPARE(form.queryItemValue(QStringLiteral("userkey")), QStringLiteral("key-new"));
    }

    void saveWithAnEmptyTokenKeepsTheStoredOne() {
        QVERIFY(!awaitTask(m_keychain->setValue(onHeap(u"ws-kept"), KeychainItem::toolsWSToken)).failed());
        Rig rig(*m_keychain);
        rig.load();
        QCOMPARE(rig.field("wsTokenField")->text(), QStringLiteral("ws-kept"));
        rig.fill(rig.toolsUrl(), QString(), QStringLiteral("key"));
        rig.press("saveButton", &ToolsSettingsTab::saveFinished);
        QCOMPARE(rig.secret(KeychainItem::toolsWSToken), std::optional<QString>(QStringLiteral("ws-kept")));
        QCOMPARE(rig.settings.toolsUrl(), rig.toolsUrl());
        QCOMPARE(rig.settings.userKey(), QStringLiteral("key"));
    }

    void failingSecretWriteIsShownAndStopsTheSave() {
        InMemoryKeychain memory;
        memory.failNextSet(3);
        Rig rig(memory);
        rig.load();
        rig.fill(rig.toolsUrl(), QStringLiteral("ws-new"), QStringLiteral("key-new"));
        rig.press("saveButton", &ToolsSettingsTab::saveFinished);
        QCOMPARE(rig.result()->message(), QStringLiteral("Failed to save to Keychain: 3"));
        QVERIFY(!rig.result()->isSuccess());
        QVERIFY(rig.saved()->isHidden());
        QVERIFY(rig.button("saveButton")->isEnabled());
        QVERIFY(!rig.settings.contains(QStringLiteral("toolsUrl")));
        QVERIFY(!rig.settings.contains(QStringLiteral("userKey")));
        QVERIFY(rig.server.requests().isEmpty());
    }

    void sessionExpiryText_data() {
        QTest::addColumn<double>("secondsAhead");
        QTest::addColumn<QString>("text"); // "-" for none
        QTest::newRow("30 s") << 30.0 << QStringLiteral("Session expires in 0 minutes");
        QTest::newRow("59 min 59 s") << 3599.0 << QStringLiteral("Session expires in 59 minutes");
        QTest::newRow("60 min 30 s") << 3630.0 << QStringLiteral("Session expires in 60 minutes");
        QTest::newRow("61 min 30 s") << 3690.0 << QStringLiteral("Session expires in 1h 1m");
        QTest::newRow("119 min 59 s") << 7199.0 << QStringLiteral("Session expires in 1h 59m");
        QTest::newRow("a day") << 86400.0 << QStringLiteral("Session expires in 24h 0m");
        QTest::newRow("now") << 0.0 << QStringLiteral("Session expired (will refresh automatically)");
        QTest::newRow("past") << -90.0 << QStringLiteral("Session expired (will refresh automatically)");
    }

    void sessionExpiryText() {
        QFETCH(double, secondsAhead);
        QFETCH(QString, text);
        const QDateTime now(QDate(2026, 3, 2), QTime(12, 0), QTimeZone::utc());
        const double expiry = double(now.toSecsSinceEpoch()) + secondsAhead;
        QCOMPARE(ToolsSettingsTab::sessionExpiryText(expiry, now), std::optional<QString>(text));
        // No stored expiry gives no text.
        QCOMPARE(ToolsSettingsTab::sessionExpiryText(0, now), std::nullopt);
        QCOMPARE(ToolsSettingsTab::sessionExpiryText(-5, now), std::nullopt);
    }

    // With a stored sign-in the page shows the user and the session, and fills an empty user key.
    void storedSignInShowsTheUserAndFillsAnEmptyUserKey() {
        Rig rig(*m_keychain);
        rig.server.route("GET", authPath,
                         FakeHttpServer::Response::json(userInfo(QStringLiteral("key-from-server"))));
        rig.signInWithStoredTokens(2 * 3600 + 10 * 60 + 30);
        rig.load();
        QVERIFY(rig.tab.isDashboardLoggedIn());
        QVERIFY(rig.shown(rig.row("loggedInRow")));
        QVERIFY(!rig.shown(rig.row("loggedOutRow")));
        QCOMPARE(rig.label("dashboardUserLabel")->text(), QStringLiteral("Logged in as Jane Doe"));
        QCOMPARE(rig.label("sessionExpiryLabel")->text(), QStringLiteral("Session expires in 2h 10m"));
        QCOMPARE(rig.field("userKeyField")->text(), QStringLiteral("key-from-server"));
        QCOMPARE(rig.settings.userKey(), QStringLiteral("key-from-server"));

        // A key in the field stays.
        rig.field("userKeyField")->setText(QStringLiteral("typed-key"));
        rig.checkLoginStatus();
        QCOMPARE(rig.field("userKeyField")->text(), QStringLiteral("typed-key"));
    }

    void signInWithoutExpiryOrUserInfoStillShowsLoggedIn() {
        Rig rig(*m_keychain);
        rig.server.route("GET", authPath, FakeHttpServer::Response::json("{}", 500));
        rig.signInWithStoredTokens(3600);
        rig.settings.setToolsTokenExpiry(0);
        // The expired token's refresh fails too: the user info cannot be read.
        rig.server.route("POST", authPath, FakeHttpServer::Response::json("{}", 500));
        rig.load();
        QVERIFY(rig.shown(rig.row("loggedInRow")));
        QCOMPARE(rig.label("dashboardUserLabel")->text(), QStringLiteral("Logged in"));
        QVERIFY(rig.label("sessionExpiryLabel")->isHidden());
    }

    void signInThroughTheCoordinator_data() {
        QTest::addColumn<QString>("outcome"); // "success", "cancelled", "failed"
        QTest::addColumn<QString>("errorLine");
        QTest::newRow("success") << "success" << QString();
        QTest::newRow("cancelled") << "cancelled" << QString();
        QTest::newRow("failed") << "failed" << QStringLiteral("Authentication failed: access_denied");
    }

    void signInThroughTheCoordinator() {
        QFETCH(QString, outcome);
        QFETCH(QString, errorLine);
        Rig rig(*m_keychain);
        rig.server.route("GET", authPath, FakeHttpServer::Response::json(userInfo(QString())));
        rig.tab.loginCoordinator().setSessionFactory(
            [outcome]() -> std::unique_ptr<WebAuthenticationSession> {
                return std::make_unique<StandInSession>([outcome](const QString& state) -> QUrl {
                    if (outcome == u"cancelled") {
                        throw WebAuthenticationError::cancelled();
                    }
                    const QString query =
                        outcome == u"success"
                            ? QStringLiteral("access_token=AT1&refresh_token=RT1&expires_in=3600")
                            : QStringLiteral("error=access_denied");
                    return QUrl(QStringLiteral("pendlow://auth/callback?") + query +
                                QStringLiteral("&state=") + state);
                });
            });
        rig.load();
        rig.field("toolsUrlField")->setText(rig.toolsUrl());
        QSignalSpy finished(&rig.tab, &ToolsSettingsTab::loginFinished);
        rig.button("loginButton")->click();
        QVERIFY(rig.tab.isLoggingIn());
        QVERIFY(!rig.button("loginButton")->isEnabled());
        QVERIFY(!rig.row("loginProgress")->isHidden());
        // The sign-in builds its address from the stored one.
        QCOMPARE(rig.settings.toolsUrl(), rig.toolsUrl());
        QVERIFY(finished.wait(10000));

        QVERIFY(!rig.tab.isLoggingIn());
        QVERIFY(rig.row("loginProgress")->isHidden());
        if (outcome == u"success") {
            QVERIFY(rig.shown(rig.row("loggedInRow")));
            QCOMPARE(rig.label("dashboardUserLabel")->text(), QStringLiteral("Logged in as Jane Doe"));
            QCOMPARE(rig.label("sessionExpiryLabel")->text(),
                     QStringLiteral("Session expires in 59 minutes"));
            return;
        }
        QVERIFY(rig.shown(rig.row("loggedOutRow")));
        QVERIFY(rig.button("loginButton")->isEnabled());
        QCOMPARE(rig.label("loginErrorLabel")->isHidden(), errorLine.isEmpty());
        if (!errorLine.isEmpty()) {
            QCOMPARE(rig.label("loginErrorLabel")->text(), errorLine);
        }
    }

    void logoutRevokesAndShowsNotLoggedIn() {
        Rig rig(*m_keychain);
        rig.signInWithStoredTokens(3600);
        rig.load();
        QVERIFY(rig.shown(rig.row("loggedInRow")));
        QSignalSpy checked(&rig.tab, &ToolsSettingsTab::loginStatusChecked);
        rig.button("logoutButton")->click();
        QVERIFY(checked.wait(10000));
        QVERIFY(!rig.tab.isDashboardLoggedIn());
        QVERIFY(rig.shown(rig.row("loggedOutRow")));
        QVERIFY(rig.label("sessionExpiryLabel")->text().isEmpty());
        QCOMPARE(rig.server.requests("POST", authPath).size(), 1);
        QCOMPARE(rig.secret(KeychainItem::toolsAccessToken), std::optional<QString>());
        QCOMPARE(rig.settings.toolsTokenExpiry(), 0.0);
    }
};

PENDLOW_TEST_MAIN(ToolsSettingsTabTest)
#include "tst_ToolsSettingsTab.moc"
