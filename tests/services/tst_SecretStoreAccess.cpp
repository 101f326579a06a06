// The secret store as the refresh uses it, over a scripted Secret Service: values held in memory
// instead of a round trip every refresh, whitespace trimmed from what is read, and a cancelled
// unlock prompt that is not shown again at every refresh but only once the user opens the popover,
// which says why nothing loads meanwhile.
#include "support/AppStateFixture.h"
#include "support/FakeSecretStore.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "platform/KeychainItem.h"
#include "services/AppConfiguration.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/TimerStatusView.h"

#include <QLabel>

#include <memory>

namespace {
const QDateTime kMondayMorning(QDate(2026, 3, 2), QTime(10, 0));

QString heapText(const char* text) {
    return QString::fromUtf8(QByteArray(text));
}
} // namespace

class SecretStoreAccessTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;

    std::unique_ptr<AppState> makeState(SecretStore& keychain) {
        return std::make_unique<AppState>(m_fixture->clickUp, m_fixture->tools, keychain, m_fixture->settings,
                                          m_fixture->notifications, m_fixture->toasts, m_fixture->panels);
    }

    static void refresh(AppState& state) { QVERIFY(awaitTask(state.refresh()).finished); }

    static QString idleTitle(const TimerStatusView& view) {
        const auto* title = view.findChild<QLabel*>(QStringLiteral("noTimerTitle"));
        return title ? title->text() : QString();
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<AppStateFixture>(kMondayMorning);
        m_fixture->settings.setTeamId(AppStateFixture::teamId);
    }

    void cleanup() { m_fixture.reset(); }

    void whitespaceAroundASecretIsTrimmed_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("read");
        QTest::newRow("trailing newline") << "pk_81234567_ABC\n"
                                          << "pk_81234567_ABC";
        QTest::newRow("CR LF") << "pk_81234567_ABC\r\n"
                               << "pk_81234567_ABC";
        QTest::newRow("blanks and tabs around") << " \tpk_81234567_ABC  "
                                                << "pk_81234567_ABC";
        QTest::newRow("inner blank kept") << "pk_8123 4567"
                                          << "pk_8123 4567";
        QTest::newRow("only whitespace") << " \n"
                                         << "";
    }

    void whitespaceAroundASecretIsTrimmed() {
        QFETCH(QString, stored);
        QFETCH(QString, read);
        FakeSecretStore store;
        store.values.insert(KeychainItem::clickUpAPIToken, stored);
        const auto configuration = awaitTask(AppConfiguration::load(store, m_fixture->settings));
        QCOMPARE(configuration.value->clickUpToken, std::optional<QString>(read));
        // A token pasted with a line break counts as set: the refresh goes ahead.
        QCOMPARE(configuration.value->isClickUpConfigured(), !read.isEmpty());
    }

    // A secret found is read from the store once, then from memory until this store writes; one
    // missing is looked up again at every refresh, so a token stored meanwhile by another program
    // (secret-tool, Seahorse, a restored keyring) is picked up.
    void secretsFoundAreHeldAndMissingOnesLookedUpAgain() {
        FakeSecretStore store;
        store.values.insert(KeychainItem::clickUpAPIToken, heapText("pk_81234567_HELD"));
        const std::unique_ptr<AppState> state = makeState(store);
        for (int i = 0; i < 3; ++i) {
            refresh(*state);
        }
        // The token once, the absent Tools token at each refresh.
        QCOMPARE(store.reads(), 1 + 3);
        QCOMPARE(state->configuration().clickUpToken, std::optional(QStringLiteral("pk_81234567_HELD")));

        // What the settings window or the sign-in writes through the store is read back at once.
        const QString newToken = heapText("pk_81234567_NEW");
        QVERIFY(!awaitTask(store.setValue(newToken, KeychainItem::clickUpAPIToken)).failed());
        refresh(*state);
        QCOMPARE(state->configuration().clickUpToken, std::optional(newToken));
        QVERIFY(!awaitTask(store.deleteValue(KeychainItem::clickUpAPIToken)).failed());
        store.values.remove(KeychainItem::clickUpAPIToken); // as the Secret Service has it now
        refresh(*state);
        QCOMPARE(state->configuration().clickUpToken, std::nullopt);

        // Stored behind the application's back: found at the next refresh.
        store.values.insert(KeychainItem::toolsWSToken, heapText("ws-stored-elsewhere"));
        store.values.insert(KeychainItem::clickUpAPIToken, heapText("pk_81234567_OUTSIDE"));
        refresh(*state);
        QCOMPARE(state->configuration().toolsWSToken, std::optional(QStringLiteral("ws-stored-elsewhere")));
        QCOMPARE(state->configuration().clickUpToken, std::optional(QStringLiteral("pk_81234567_OUTSIDE")));
    }

    void cancelledUnlockIsNotAskedAgainAtEveryRefresh_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("access");
        QTest::addColumn<QString>("title");
        QTest::newRow("unlock prompt cancelled") << int(FakeSecretStore::Outcome::cancelled)
                                                 << int(SecretStore::Access::locked) << "Keyring Locked";
        QTest::newRow("no Secret Service") << int(FakeSecretStore::Outcome::unavailable)
                                           << int(SecretStore::Access::unavailable) << "No Keyring";
    }

    void cancelledUnlockIsNotAskedAgainAtEveryRefresh() {
        QFETCH(int, answer);
        QFETCH(int, access);
        QFETCH(QString, title);
        FakeSecretStore store;
        store.answer = FakeSecretStore::Outcome(answer);
        store.values.insert(KeychainItem::clickUpAPIToken, heapText("pk_81234567_LOCKED"));
        const std::unique_ptr<AppState> state = makeState(store);
        TimerStatusView view(*state->timerState(), *state->worklogState());
        MenuBarView::bindTimerStatusView(view, *state);
        QCOMPARE(idleTitle(view), QStringLiteral("No Timer Running"));

        for (int i = 0; i < 5; ++i) {
            refresh(*state);
        }
        // One prompt, the first read; the other reads of that refresh and of the later ones are
        // answered without asking.
        QCOMPARE(store.reads(), 1);
        QCOMPARE(int(state->keychainAccess()), access);
        QCOMPARE(idleTitle(view), title);
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 0);

        // Opening the popover lets the store ask once more.
        state->setIsPopoverVisible(true);
        refresh(*state);
        refresh(*state);
        QCOMPARE(store.reads(), 2);

        // This time the user unlocks it: everything loads and the popover says so no more.
        store.answer = FakeSecretStore::Outcome::found;
        state->setIsPopoverVisible(false);
        state->setIsPopoverVisible(true);
        refresh(*state);
        QCOMPARE(store.reads(), 4); // the token and the absent Tools token
        QCOMPARE(state->keychainAccess(), SecretStore::Access::available);
        QCOMPARE(idleTitle(view), QStringLiteral("No Timer Running"));
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 1);
    }

    // Saving the settings writes through the store: that counts as the user's go-ahead too.
    void aWriteLiftsTheHold() {
        FakeSecretStore store;
        store.answer = FakeSecretStore::Outcome::cancelled;
        QCOMPARE(*awaitTask(store.getValue(KeychainItem::toolsWSToken)).value, std::nullopt);
        QCOMPARE(store.access(), SecretStore::Access::locked);
        QVERIFY(!awaitTask(store.setValue(heapText("ws-0123456789"), KeychainItem::toolsWSToken)).failed());
        QCOMPARE(store.access(), SecretStore::Access::available);
        QCOMPARE(*awaitTask(store.getValue(KeychainItem::toolsWSToken)).value,
                 std::optional(QStringLiteral("ws-0123456789")));
        QVERIFY(!awaitTask(store.deleteValue(KeychainItem::toolsWSToken)).failed());
    }
};

PENDLOW_TEST_MAIN(SecretStoreAccessTest)
#include "tst_SecretStoreAccess.moc"
