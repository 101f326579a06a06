// The secret store as the refresh reads it, against a real gnome-keyring and its real unlock prompt
// (gcr-prompter on the test display): a token stored by another program after a first miss is found
// at the next refresh; a locked keyring whose unlock prompt the user cancels is the locked state
// (the popover says so, later refreshes neither ask again nor log, opening the popover asks once
// more); an item that does not exist in a locked keyring is merely missing.
//
// What this machine's QtKeychain (over libsecret) answers, measured here: a read of an item in a
// locked collection shows the unlock prompt and waits for it; cancelled, the read fails with
// EntryNotFound ("Entry not found") and the item is still listed as locked by SearchItems. A read of
// an item that is not there fails with the same code at once, without a prompt, locked or not.
//
// Locking a keyring would disturb every other test of the session, so each case runs in a child
// process on a session bus and gnome-keyring of its own.
#include "support/AppStateFixture.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "platform/KeychainItem.h"
#include "platform/KeychainService.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/TimerStatusView.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace {
using StringMap = QMap<QString, QString>;

const char* const kChildEnv = "PENDLOW_TEST_OWN_KEYRING";
const QString kKeyringPassword = QStringLiteral("pendlow-test");
const QString kSecrets = QStringLiteral("org.freedesktop.secrets");
const QString kSecretsPath = QStringLiteral("/org/freedesktop/secrets");
const QDateTime kMondayMorning(QDate(2026, 3, 2), QTime(10, 0));

// The Secret Service's secret: (session, parameters, value, content type).
struct Secret {
    QDBusObjectPath session;
    QByteArray parameters;
    QByteArray value;
    QString contentType;
};

QDBusArgument& operator<<(QDBusArgument& argument, const Secret& secret) {
    argument.beginStructure();
    argument << secret.session << secret.parameters << secret.value << secret.contentType;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, Secret& secret) {
    argument.beginStructure();
    argument >> secret.session >> secret.parameters >> secret.value >> secret.contentType;
    argument.endStructure();
    return argument;
}
} // namespace

Q_DECLARE_METATYPE(Secret)

namespace {
QDBusInterface secretService() {
    return QDBusInterface(kSecrets, kSecretsPath, QStringLiteral("org.freedesktop.Secret.Service"),
                          QDBusConnection::sessionBus());
}

QDBusObjectPath defaultCollection() {
    const QDBusMessage reply = secretService().call(QStringLiteral("ReadAlias"), QStringLiteral("default"));
    return reply.arguments().isEmpty() ? QDBusObjectPath()
                                       : qdbus_cast<QDBusObjectPath>(reply.arguments().first());
}

// Stores an item over D-Bus as secret-tool or Seahorse would, with the attributes QtKeychain looks
// items up by.
bool storeFromOutside(const QString& service, const QString& key, const QString& value) {
    const QDBusMessage opened = secretService().call(QStringLiteral("OpenSession"), QStringLiteral("plain"),
                                                     QVariant::fromValue(QDBusVariant(QString())));
    if (opened.type() != QDBusMessage::ReplyMessage || opened.arguments().size() != 2) {
        return false;
    }
    const Secret secret{qdbus_cast<QDBusObjectPath>(opened.arguments().at(1)),
                        {},
                        value.toUtf8(),
                        QStringLiteral("text/plain")};
    const StringMap attributes{{QStringLiteral("user"), key},
                               {QStringLiteral("server"), service},
                               {QStringLiteral("type"), QStringLiteral("plaintext")}};
    const QVariantMap properties{
        {QStringLiteral("org.freedesktop.Secret.Item.Label"), QStringLiteral("Stored elsewhere")},
        {QStringLiteral("org.freedesktop.Secret.Item.Attributes"), QVariant::fromValue(attributes)}};
    QDBusInterface collection(kSecrets, defaultCollection().path(),
                              QStringLiteral("org.freedesktop.Secret.Collection"),
                              QDBusConnection::sessionBus());
    const QDBusMessage created =
        collection.call(QStringLiteral("CreateItem"), properties, QVariant::fromValue(secret), true);
    return created.type() == QDBusMessage::ReplyMessage;
}

bool lockDefaultCollection() {
    const QList<QDBusObjectPath> objects{defaultCollection()};
    const QDBusMessage reply = secretService().call(QStringLiteral("Lock"), QVariant::fromValue(objects));
    return reply.type() == QDBusMessage::ReplyMessage;
}

bool isDefaultCollectionLocked() {
    QDBusInterface properties(kSecrets, defaultCollection().path(),
                              QStringLiteral("org.freedesktop.DBus.Properties"),
                              QDBusConnection::sessionBus());
    const QDBusMessage reply = properties.call(
        QStringLiteral("Get"), QStringLiteral("org.freedesktop.Secret.Collection"), QStringLiteral("Locked"));
    return !reply.arguments().isEmpty() &&
           qdbus_cast<QDBusVariant>(reply.arguments().first()).variant().toBool();
}

// Answers the unlock prompt that gcr-prompter shows on the display, as the user would: Escape
// cancels it, the password and Return unlock. Started before the read that shows it.
class PromptAnswer {
public:
    enum class Answer { cancel, unlock };

    explicit PromptAnswer(Answer answer) {
        const QString keys =
            answer == Answer::cancel
                ? QStringLiteral("xdotool key Escape")
                : QStringLiteral("xdotool type '%1' && xdotool key Return").arg(kKeyringPassword);
        const QString script =
            QStringLiteral("for _ in $(seq 1 200); do "
                           "  w=$(xdotool search --onlyvisible --class gcr-prompter | head -n 1); "
                           "  [ -n \"$w\" ] && break; sleep 0.1; "
                           "done; "
                           "[ -n \"$w\" ] || exit 3; "
                           "sleep 0.5; xdotool windowfocus \"$w\" 2>/dev/null; %1")
                .arg(keys);
        m_process.setProcessChannelMode(QProcess::ForwardedChannels);
        m_process.start(QStringLiteral("sh"), {QStringLiteral("-c"), script});
    }

    ~PromptAnswer() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // Whether a prompt was there and got its answer.
    bool answered() {
        // It may have ended already, while the read waited.
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(30000)) {
            return false;
        }
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
};

// A session bus (with the usual on-demand services, so gcr-prompter is started for a prompt) and an
// unlocked gnome-keyring of their own, with a keyring folder and runtime folder of their own.
class OwnKeyringSession {
public:
    OwnKeyringSession() {
        if (!m_dir.isValid()) {
            return;
        }
        QDir(m_dir.path()).mkpath(QStringLiteral("data"));
        QDir(m_dir.path()).mkpath(QStringLiteral("runtime"));
        QFile::setPermissions(m_dir.filePath(QStringLiteral("runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--session"), QStringLiteral("--nofork"),
                                                    QStringLiteral("--print-address=1")});
        if (!m_bus.waitForStarted() || !m_bus.waitForReadyRead(10000)) {
            return;
        }
        const QString address = QString::fromUtf8(m_bus.readLine()).trimmed();
        m_environment = QProcessEnvironment::systemEnvironment();
        m_environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address);
        m_environment.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.filePath(QStringLiteral("data")));
        m_environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir.filePath(QStringLiteral("runtime")));
        m_keyring.setProcessEnvironment(m_environment);
        m_keyring.setProcessChannelMode(QProcess::MergedChannels);
        m_keyring.start(QStringLiteral("gnome-keyring-daemon"),
                        {QStringLiteral("--foreground"), QStringLiteral("--unlock"),
                         QStringLiteral("--components=secrets")});
        if (!m_keyring.waitForStarted()) {
            return;
        }
        m_keyring.write(kKeyringPassword.toUtf8());
        m_keyring.closeWriteChannel();
        QDBusConnection bus = QDBusConnection::connectToBus(address, QStringLiteral("own-keyring-probe"));
        for (int i = 0; i < 200 && !m_ready; ++i) {
            m_ready = bus.interface() && bus.interface()->isServiceRegistered(kSecrets);
            if (!m_ready) {
                QTest::qWait(50);
            }
        }
        QDBusConnection::disconnectFromBus(QStringLiteral("own-keyring-probe"));
    }

    ~OwnKeyringSession() {
        for (QProcess* process : {&m_keyring, &m_bus}) {
            if (process->state() != QProcess::NotRunning) {
                process->terminate();
                if (!process->waitForFinished(5000)) {
                    process->kill();
                    process->waitForFinished();
                }
            }
        }
    }

    bool isReady() const { return m_ready; }

    // Runs one test function of this program in a child process on this session; its output goes
    // to ours.
    bool runChild(const char* testFunction) {
        QProcess child;
        QProcessEnvironment environment = m_environment;
        environment.insert(QString::fromLatin1(kChildEnv), QStringLiteral("1"));
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(testFunction)});
        const bool finished = child.waitForFinished(120000);
        if (!finished) {
            child.kill();
            child.waitForFinished();
        }
        return finished && child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    }

private:
    QTemporaryDir m_dir;
    QProcess m_bus;
    QProcess m_keyring;
    QProcessEnvironment m_environment;
    bool m_ready = false;
};
} // namespace

class KeyringLockedTest : public QObject {
    Q_OBJECT

    const bool m_isChild = qEnvironmentVariableIsSet(kChildEnv);
    // A service name of this process's own keeps its items apart from the application's.
    const QString m_service =
        QStringLiteral("com.brisvane.Pendlow.test-%1").arg(QCoreApplication::applicationPid());
    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<KeychainService> m_keychain;

    std::unique_ptr<AppState> makeState() {
        return std::make_unique<AppState>(m_fixture->clickUp, m_fixture->tools, *m_keychain,
                                          m_fixture->settings, m_fixture->notifications, m_fixture->toasts,
                                          m_fixture->panels);
    }

    // In the parent: runs the current test function in a child on a keyring of its own. Returns
    // true there (the caller then stops); false in the child, which goes on with the test.
    bool ranInOwnSession() {
        if (m_isChild) {
            return false;
        }
        OwnKeyringSession session;
        [&] { QVERIFY2(session.isReady(), "gnome-keyring did not start on a bus of its own"); }();
        if (session.isReady()) {
            [&] { QVERIFY(session.runChild(QTest::currentTestFunction())); }();
        }
        return true;
    }

    static QString idleTitle(const TimerStatusView& view) {
        const auto* title = view.findChild<QLabel*>(QStringLiteral("noTimerTitle"));
        return title ? title->text() : QString();
    }

    static void refresh(AppState& state) {
        QVERIFY2(awaitTask(state.refresh(), 10000).finished, "the refresh waited (for an unlock prompt?)");
    }

private Q_SLOTS:
    // The string map (a{ss}) is not registered here: the keychain sends one itself and must register
    // it, and this test's own calls, made after a keychain exists, fail when it does not.
    void initTestCase() { qDBusRegisterMetaType<Secret>(); }

    void init() {
        m_fixture = std::make_unique<AppStateFixture>(kMondayMorning);
        m_fixture->settings.setTeamId(AppStateFixture::teamId);
        m_keychain = std::make_unique<KeychainService>(m_service);
    }

    void cleanup() {
        m_keychain.reset();
        m_fixture.reset();
    }

    void tokenStoredElsewhereAfterAMissIsFoundAtTheNextRefresh() {
        if (ranInOwnSession()) {
            return;
        }
        const std::unique_ptr<AppState> state = makeState();
        refresh(*state);
        QVERIFY(!state->configuration().isClickUpConfigured());

        QVERIFY(storeFromOutside(m_service, KeychainItem::clickUpAPIToken, onHeap("pk_81234567_OUTSIDE\n")));
        refresh(*state);
        QCOMPARE(state->configuration().clickUpToken, std::optional(QStringLiteral("pk_81234567_OUTSIDE")));
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 1);
    }

    void cancelledUnlockIsTheLockedStateUntilThePopoverOpens() {
        if (ranInOwnSession()) {
            return;
        }
        QVERIFY(storeFromOutside(m_service, KeychainItem::clickUpAPIToken, onHeap("pk_81234567_LOCKED")));
        QVERIFY(lockDefaultCollection());
        const std::unique_ptr<AppState> state = makeState();
        TimerStatusView view(*state->timerState(), *state->worklogState());
        MenuBarView::bindTimerStatusView(view, *state);
        LogCapture log;

        {
            // The first read shows the unlock prompt; the user cancels it.
            PromptAnswer cancel(PromptAnswer::Answer::cancel);
            refresh(*state);
            QVERIFY2(cancel.answered(), "no unlock prompt to cancel");
        }
        QVERIFY(isDefaultCollectionLocked());
        QCOMPARE(state->keychainAccess(), SecretStore::Access::locked);
        QCOMPARE(idleTitle(view), QStringLiteral("Keyring Locked"));
        QVERIFY(!state->configuration().isClickUpConfigured());

        // Later refreshes end at once (no prompt holds them) and write nothing to the log.
        log.clear();
        for (int i = 0; i < 3; ++i) {
            refresh(*state);
        }
        QCOMPARE(log.lines(), QStringList());
        QCOMPARE(state->keychainAccess(), SecretStore::Access::locked);
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 0);

        // Opening the popover asks once more; this time the user unlocks and everything loads.
        state->setIsPopoverVisible(true);
        {
            PromptAnswer unlock(PromptAnswer::Answer::unlock);
            refresh(*state);
            QVERIFY2(unlock.answered(), "no unlock prompt after the popover opened");
        }
        QVERIFY(!isDefaultCollectionLocked());
        QCOMPARE(state->keychainAccess(), SecretStore::Access::available);
        QCOMPARE(state->configuration().clickUpToken, std::optional(QStringLiteral("pk_81234567_LOCKED")));
        QCOMPARE(idleTitle(view), QStringLiteral("No Timer Running"));
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 1);
    }

    // The keyring locks (a screen lock, Seahorse) while the token is held in memory: the absent
    // Tools token is just absent, nothing is locked from the application's view, and no prompt shows.
    void itemMissingFromALockedKeyringIsMissing() {
        if (ranInOwnSession()) {
            return;
        }
        QVERIFY(storeFromOutside(m_service, KeychainItem::clickUpAPIToken, onHeap("pk_81234567_HELD")));
        const std::unique_ptr<AppState> state = makeState();
        TimerStatusView view(*state->timerState(), *state->worklogState());
        MenuBarView::bindTimerStatusView(view, *state);
        refresh(*state);
        QVERIFY(state->configuration().isClickUpConfigured());

        QVERIFY(lockDefaultCollection());
        refresh(*state);
        refresh(*state);
        QCOMPARE(state->keychainAccess(), SecretStore::Access::available);
        QCOMPARE(state->configuration().toolsWSToken, std::nullopt);
        QCOMPARE(idleTitle(view), QStringLiteral("No Timer Running"));
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 3);
        QVERIFY(isDefaultCollectionLocked());
    }
};

PENDLOW_TEST_MAIN(KeyringLockedTest)
#include "tst_KeyringLocked.moc"
