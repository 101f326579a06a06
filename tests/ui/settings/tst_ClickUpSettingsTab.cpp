// The ClickUp page against a loopback ClickUp and the session's real secret store: what it shows
// from an empty and a filled store, the Save sequence (token trimmed, an empty token field keeping
// the stored token, the team id as typed, the reload and the refresh that reach ClickUp with the new
// token, "Saved" for two seconds, no second save while one runs), and a failing secret write, which
// is shown and stops the save.
#include "support/FakeClickUpServer.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/FakeToolsAPI.h"
#include "support/InMemoryKeychain.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "platform/KeychainItem.h"
#include "platform/KeychainService.h"
#include "services/AppState.h"
#include "services/clickup/ClickUpAPIService.h"
#include "ui/settings/ClickUpSettingsTab.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

namespace {
QString storeName() {
    return QStringLiteral("com.brisvane.Pendlow.settings-test-%1").arg(QCoreApplication::applicationPid());
}

// The page over a root state whose ClickUp client talks to the loopback server.
struct Rig {
    explicit Rig(SecretStore& secrets)
        : keychain(secrets)
        , clickUp(secrets, server.apiUrl())
        , state(clickUp, tools, secrets, settings, notifications, toasts, panels)
        , tab(secrets, settings,
              ClickUpSettingsTab::Actions{.configuredTeamId = [this] { return state.configuration().teamId; },
                                          .reloadConfiguration = [this] { return state.loadConfiguration(); },
                                          .refresh = [this] { return state.refresh(); }}) {}

    QLineEdit* field(const char* name) const { return tab.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QPushButton* saveButton() const { return tab.findChild<QPushButton*>(QStringLiteral("saveButton")); }
    SavedConfirmation* saved() const { return tab.findChild<SavedConfirmation*>(); }
    SettingsResultLabel* result() const { return tab.findChild<SettingsResultLabel*>(); }

    // Loads the stored values into the fields and waits for the load to end.
    void load() {
        QSignalSpy finished(&tab, &ClickUpSettingsTab::loadFinished);
        tab.load();
        if (finished.isEmpty()) {
            QVERIFY(finished.wait(10000));
        }
    }
    // Presses Save and waits for the save to end.
    void save() {
        QSignalSpy finished(&tab, &ClickUpSettingsTab::saveFinished);
        saveButton()->click();
        // A save that awaits nothing slow ends within the click.
        if (finished.isEmpty()) {
            QVERIFY(finished.wait(10000));
        }
    }
    std::optional<QString> secret(const QString& item) {
        const TaskOutcome<std::optional<QString>> read = awaitTask(keychain.getValue(item));
        return read.value ? *read.value : std::nullopt;
    }
    QList<FakeHttpServer::Request> currentTimerRequests() {
        QList<FakeHttpServer::Request> found;
        for (const FakeHttpServer::Request& request : server.http().requests()) {
            if (request.method == "GET" && request.path.endsWith(QStringLiteral("/time_entries/current"))) {
                found.append(request);
            }
        }
        return found;
    }

    SecretStore& keychain;
    TestSettings settings;
    FakeClickUpServer server;
    ClickUpAPIService clickUp;
    FakeToolsAPI tools;
    FakeNotificationService notifications;
    FakeToastAlertService toasts;
    FakeFloatingAlertService panels;
    AppState state;
    ClickUpSettingsTab tab;
};
} // namespace

class ClickUpSettingsTabTest : public QObject {
    Q_OBJECT

    std::unique_ptr<KeychainService> m_keychain;

    void removeToken() {
        QVERIFY(!awaitTask(m_keychain->deleteValue(KeychainItem::clickUpAPIToken)).failed());
    }

private Q_SLOTS:
    void init() {
        m_keychain = std::make_unique<KeychainService>(storeName());
        removeToken();
    }

    void cleanup() {
        removeToken();
        m_keychain.reset();
    }

    void showsEmptyFieldsFromAnEmptyStoreAndStoredValuesOverEdits() {
        Rig rig(*m_keychain);
        QCOMPARE(rig.tab.label(), QStringLiteral("ClickUp"));
        rig.load();
        QCOMPARE(rig.field("apiTokenField")->text(), QString());
        QCOMPARE(rig.field("apiTokenField")->echoMode(), QLineEdit::Password);
        QCOMPARE(rig.field("teamIdField")->text(), QString());

        QVERIFY(
            !awaitTask(m_keychain->setValue(onHeap(u"pk_stored"), KeychainItem::clickUpAPIToken)).failed());
        rig.settings.setTeamId(onHeap(u"4242"));
        QVERIFY(awaitTask(rig.state.loadConfiguration()).finished);
        rig.field("apiTokenField")->setText(QStringLiteral("typed, not saved"));
        rig.field("teamIdField")->setText(QStringLiteral("typed"));
        rig.load();
        QCOMPARE(rig.field("apiTokenField")->text(), QStringLiteral("pk_stored"));
        QCOMPARE(rig.field("teamIdField")->text(), QStringLiteral("4242"));
    }

    void saveStoresTheTrimmedTokenAndTheTeamIdThenRefreshes() {
        Rig rig(*m_keychain);
        rig.load();
        rig.field("apiTokenField")->setText(QStringLiteral("  pk_new_token\n"));
        rig.field("teamIdField")->setText(QStringLiteral("777"));

        QSignalSpy finished(&rig.tab, &ClickUpSettingsTab::saveFinished);
        rig.saveButton()->click();
        // A second press while the save runs starts nothing.
        QVERIFY(rig.tab.isSaving());
        QVERIFY(!rig.saveButton()->isEnabled());
        rig.saveButton()->click();
        QVERIFY(finished.wait(10000));
        QTest::qWait(100);
        QCOMPARE(finished.count(), 1);

        QCOMPARE(rig.secret(KeychainItem::clickUpAPIToken),
                 std::optional<QString>(QStringLiteral("pk_new_token")));
        QCOMPARE(rig.settings.teamId(), QStringLiteral("777"));
        QCOMPARE(rig.state.configuration().teamId, QStringLiteral("777"));
        // The refresh reached ClickUp with the new token in the new team, once.
        const QList<FakeHttpServer::Request> current = rig.currentTimerRequests();
        QCOMPARE(current.size(), 1);
        QCOMPARE(current.constFirst().path, QStringLiteral("/api/v2/team/777/time_entries/current"));
        QCOMPARE(current.constFirst().header("Authorization"), QByteArray("pk_new_token"));

        QVERIFY(rig.saved()->isVisible() || !rig.saved()->isHidden());
        QVERIFY(rig.saveButton()->isEnabled());
        QVERIFY(rig.result()->message().isEmpty());
        QTRY_VERIFY_WITH_TIMEOUT(rig.saved()->isHidden(), SavedConfirmation::durationMs + 1000);
    }

    void emptyFieldsKeepTheStoredTokenAndStoreAnEmptyTeamId() {
        QVERIFY(!awaitTask(m_keychain->setValue(onHeap(u"pk_kept"), KeychainItem::clickUpAPIToken)).failed());
        Rig rig(*m_keychain);
        rig.settings.setTeamId(onHeap(u"9001"));
        QVERIFY(awaitTask(rig.state.loadConfiguration()).finished);
        rig.load();
        rig.field("apiTokenField")->clear();
        rig.field("teamIdField")->clear();
        rig.save();
        QCOMPARE(rig.secret(KeychainItem::clickUpAPIToken),
                 std::optional<QString>(QStringLiteral("pk_kept")));
        QVERIFY(rig.settings.contains(QStringLiteral("teamId")));
        QCOMPARE(rig.settings.teamId(), QString());
        QVERIFY(!rig.saved()->isHidden());
        // Without a team id ClickUp counts as not configured: nothing was asked.
        QVERIFY(rig.currentTimerRequests().isEmpty());
    }

    // A token the store refuses is shown in the result line; nothing else is written, no "Saved",
    // and Save works again.
    void failingSecretWriteIsShownAndStopsTheSave_data() {
        QTest::addColumn<bool>("realStore");
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("shown");
        QTest::newRow("session store refuses a NUL")
            << true << QStringLiteral("pk_a\u0000b")
            << QStringLiteral("Failed to encode value for Keychain storage");
        QTest::newRow("store write fails")
            << false << QStringLiteral("pk_new") << QStringLiteral("Failed to save to Keychain: 4");
    }

    void failingSecretWriteIsShownAndStopsTheSave() {
        QFETCH(bool, realStore);
        QFETCH(QString, token);
        QFETCH(QString, shown);
        InMemoryKeychain memory;
        memory.putItem(KeychainItem::clickUpAPIToken, QStringLiteral("pk_old"));
        if (realStore) {
            QVERIFY(
                !awaitTask(m_keychain->setValue(onHeap(u"pk_old"), KeychainItem::clickUpAPIToken)).failed());
        }
        memory.failNextSet(4);
        Rig rig(realStore ? static_cast<SecretStore&>(*m_keychain) : memory);
        rig.settings.setTeamId(onHeap(u"9001"));
        QVERIFY(awaitTask(rig.state.loadConfiguration()).finished);
        rig.load();
        rig.field("apiTokenField")->setText(token);
        rig.field("teamIdField")->setText(QStringLiteral("12345"));
        rig.save();

        QCOMPARE(rig.result()->message(), shown);
        QVERIFY(!rig.result()->isSuccess());
        QVERIFY(rig.saved()->isHidden());
        QVERIFY(rig.saveButton()->isEnabled());
        QCOMPARE(rig.settings.teamId(), QStringLiteral("9001"));
        QCOMPARE(rig.state.configuration().teamId, QStringLiteral("9001"));
        QVERIFY(rig.server.http().requests().isEmpty());
        QCOMPARE(rig.secret(KeychainItem::clickUpAPIToken), std::optional<QString>(QStringLiteral("pk_old")));

        // The next save that succeeds clears the line.
        rig.field("apiTokenField")->setText(QStringLiteral("pk_good"));
        rig.save();
        QVERIFY(rig.result()->message().isEmpty());
        QCOMPARE(rig.settings.teamId(), QStringLiteral("12345"));
    }
};

PENDLOW_TEST_MAIN(ClickUpSettingsTabTest)
#include "tst_ClickUpSettingsTab.moc"
