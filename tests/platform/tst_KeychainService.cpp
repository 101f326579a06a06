// The secret store against the session's Secret Service (the harness runs an unlocked
// gnome-keyring), and the in-memory store the consumers' tests use, held to the same contract.
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/Log.h"
#include "core/UserDefaultsService.h"
#include "platform/KeychainError.h"
#include "platform/KeychainItem.h"
#include "platform/KeychainService.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDBusVariant>
#include <QProcess>
#include <QSignalSpy>
#include <qt6keychain/keychain.h>

#include <memory>

namespace {
using StringMap = QMap<QString, QString>;

const QString kSecrets = QStringLiteral("org.freedesktop.secrets");
const QString kSecretsPath = QStringLiteral("/org/freedesktop/secrets");
// Set in the child process that runs without a reachable Secret Service.
const char* const kChildService = "PENDLOW_TEST_KEYCHAIN_CHILD_SERVICE";
const char* const kChildKey = "PENDLOW_TEST_KEYCHAIN_CHILD_KEY";

// Looks at the session's Secret Service directly, beside the store under test.
class SecretServiceProbe {
public:
    SecretServiceProbe()
        : m_service(kSecrets, kSecretsPath, QStringLiteral("org.freedesktop.Secret.Service"),
                    QDBusConnection::sessionBus()) {}

    // Items whose attributes name this service and key.
    int itemCount(const QString& service, const QString& key) {
        const QDBusMessage reply =
            m_service.call(QStringLiteral("SearchItems"),
                           QVariant::fromValue(StringMap{{"server", service}, {"user", key}}));
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 2) {
            return -1;
        }
        return int(qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().at(0)).size() +
                   qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().at(1)).size());
    }

private:
    QDBusInterface m_service;
};

// Stores a value with QtKeychain directly, as another program using the same attributes would.
bool storeDirectly(const QString& service, const QString& key, const QString& value) {
    auto* job = new QKeychain::WritePasswordJob(service);
    job->setKey(key);
    job->setTextData(value);
    QSignalSpy finished(job, &QKeychain::Job::finished);
    job->start();
    return finished.wait(10000) && job->error() == QKeychain::NoError;
}

QCoro::Task<std::optional<QString>> writeTwiceThenRead(SecretStore& store, QString key) {
    // Started together, without awaiting in between: they run in the order given.
    auto first = store.setValue(onHeap(u"first"), key);
    auto second = store.setValue(onHeap(u"second"), key);
    auto read = store.getValue(key);
    co_await std::move(first);
    co_await std::move(second);
    co_return co_await std::move(read);
}
} // namespace

class KeychainServiceTest : public QObject {
    Q_OBJECT

    // A service name of this process's own keeps these items apart from the application's and
    // from other test processes.
    const bool m_isChild = qEnvironmentVariableIsSet(kChildService);
    const QString m_service =
        m_isChild ? qEnvironmentVariable(kChildService)
                  : QStringLiteral("com.brisvane.Pendlow.test-%1").arg(QCoreApplication::applicationPid());
    KeychainService m_keychain{m_service};
    InMemoryKeychain m_memory;
    QStringList m_usedKeys;

    std::unique_ptr<LogCapture> m_log;

    SecretStore& store(const QString& name) {
        if (name == "in memory") {
            return m_memory;
        }
        return m_keychain;
    }

    QString key(const QString& name) {
        const QString unique = QStringLiteral("%1-%2").arg(name).arg(m_usedKeys.size());
        m_usedKeys << unique;
        return unique;
    }

    QStringList lines() { return m_log->takeLines(); }

    void addStoreColumn() { QTest::addColumn<QString>("store"); }

private Q_SLOTS:
    void initTestCase() {
        qDBusRegisterMetaType<StringMap>();
        QVERIFY2(m_isChild || QDBusConnection::sessionBus().interface()->isServiceRegistered(kSecrets),
                 "no Secret Service on the session bus");
        m_log = std::make_unique<LogCapture>();
    }

    void cleanupTestCase() {
        for (const QString& used : std::as_const(m_usedKeys)) {
            awaitTask(m_keychain.deleteValue(used));
        }
        m_log.reset();
    }

    void init() {
        Log::setDebugEnabled(false);
        lines();
    }

    void roundTrip_data() {
        QTest::addColumn<QString>("store");
        QTest::addColumn<QString>("value");
        for (const char* name : {"secret service", "in memory"}) {
            const auto row = [name](const char* what, const QString& value) {
                QTest::newRow(qPrintable(QStringLiteral("%1: %2").arg(name, what))) << QString(name) << value;
            };
            row("token", onHeap(u"pk_8123456_ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"));
            row("empty text", QString(""));
            row("non-ASCII", onHeap(u"pässwörd 🔑 ключ"));
            row("blanks and quotes inside", onHeap(u"a \"b\" 'c'\td"));
            row("long", QString(4096, QLatin1Char('x')));
        }
    }

    void roundTrip() {
        QFETCH(QString, store);
        QFETCH(QString, value);
        const QString name = key(QStringLiteral("round-trip"));
        const auto set = awaitTask(this->store(store).setValue(value, name));
        QVERIFY2(!set.failed(), qPrintable(set.errorDescription()));
        const auto got = awaitTask(this->store(store).getValue(name));
        QVERIFY(got.finished);
        QCOMPARE(*got.value, std::optional(value));
        QVERIFY(!awaitTask(this->store(store).deleteValue(name)).failed());
        QCOMPARE(*awaitTask(this->store(store).getValue(name)).value, std::nullopt);
    }

    // A token pasted with a line break or blanks around it is read without them.
    void surroundingWhitespaceIsTrimmedOnRead_data() {
        addStoreColumn();
        QTest::newRow("secret service") << QStringLiteral("secret service");
        QTest::newRow("in memory") << QStringLiteral("in memory");
    }

    void surroundingWhitespaceIsTrimmedOnRead() {
        QFETCH(QString, store);
        const QString name = key(QStringLiteral("trimmed"));
        const QString stored = QStringLiteral(" \tpk_8123456_TRIM\r\n");
        QVERIFY(!awaitTask(this->store(store).setValue(stored, name)).failed());
        QCOMPARE(*awaitTask(this->store(store).getValue(name)).value,
                 std::optional(QStringLiteral("pk_8123456_TRIM")));
        if (store == QLatin1String("secret service")) {
            // Also when another program stored it, and read by a store that never wrote it.
            QVERIFY(storeDirectly(m_service, name, stored));
            KeychainService fresh(m_service);
            QCOMPARE(*awaitTask(fresh.getValue(name)).value,
                     std::optional(QStringLiteral("pk_8123456_TRIM")));
        }
    }

    void missingItem_data() {
        addStoreColumn();
        QTest::newRow("secret service") << "secret service";
        QTest::newRow("in memory") << "in memory";
    }

    void missingItem() {
        QFETCH(QString, store);
        const QString name = key(QStringLiteral("never-stored"));
        const auto got = awaitTask(this->store(store).getValue(name));
        QVERIFY(got.finished && !got.failed());
        QCOMPARE(*got.value, std::nullopt);
        const auto deleted = awaitTask(this->store(store).deleteValue(name));
        QVERIFY(deleted.finished);
        QVERIFY2(!deleted.failed(), qPrintable(deleted.errorDescription()));
    }

    void missingItemIsLoggedWithItsStatus() {
        Log::setDebugEnabled(true);
        const QString name = key(QStringLiteral("never-stored"));
        awaitTask(m_keychain.getValue(name));
        const QStringList logged = lines();
        QCOMPARE(logged.size(), 1);
        QVERIFY2(logged[0].startsWith(QStringLiteral("[Keychain] getValue failed for key '%1': %2 (")
                                          .arg(name)
                                          .arg(int(QKeychain::EntryNotFound))),
                 qPrintable(logged[0]));
    }

    void storingTwiceLeavesOneItemWithTheSecondValue_data() { missingItem_data(); }

    void storingTwiceLeavesOneItemWithTheSecondValue() {
        QFETCH(QString, store);
        const QString name = key(QStringLiteral("twice"));
        const auto got = awaitTask(writeTwiceThenRead(this->store(store), name));
        QVERIFY2(!got.failed(), qPrintable(got.errorDescription()));
        QCOMPARE(*got.value, std::optional(QStringLiteral("second")));
        if (store == "secret service") {
            QCOMPARE(SecretServiceProbe().itemCount(m_service, name), 1);
        } else {
            QCOMPARE(m_memory.items().value(name), QStringLiteral("second"));
        }
    }

    // A write or delete that the Secret Service cannot carry out fails with the store's status,
    // and the earlier value stays. The failing calls run in a child process whose session bus
    // does not exist; this process checks the value afterwards.
    void failuresAreReportedAndKeepTheEarlierValue() {
        if (m_isChild) {
            const QString name = qEnvironmentVariable(kChildKey);
            const auto set = awaitTask(m_keychain.setValue(onHeap(u"later-value-2"), name));
            const auto saveError = set.errorAs<KeychainError>();
            QVERIFY2(saveError.has_value(), qPrintable(set.errorDescription()));
            QCOMPARE(saveError->kind(), KeychainError::Kind::saveFailed);
            QVERIFY(saveError->status().value_or(0) != 0);
            QCOMPARE(saveError->description(),
                     QStringLiteral("Failed to save to Keychain: %1").arg(*saveError->status()));
            const QString logged = lines().value(0);
            QVERIFY2(logged.startsWith(QStringLiteral("[Keychain] setValue failed for key '%1': %2 (")
                                           .arg(name)
                                           .arg(*saveError->status())),
                     qPrintable(logged));

            const auto deleted = awaitTask(m_keychain.deleteValue(name));
            const auto deleteError = deleted.errorAs<KeychainError>();
            QVERIFY2(deleteError.has_value(), qPrintable(deleted.errorDescription()));
            QCOMPARE(deleteError->kind(), KeychainError::Kind::deleteFailed);
            QVERIFY(deleteError->status().value_or(0) != 0);

            const auto got = awaitTask(m_keychain.getValue(name));
            QVERIFY(got.finished && !got.failed());
            QCOMPARE(*got.value, std::nullopt);
            return;
        }
        const QString name = key(QStringLiteral("unreachable"));
        QVERIFY(!awaitTask(m_keychain.setValue(onHeap(u"earlier-value-1"), name)).failed());
        QProcess child;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                           QStringLiteral("unix:path=/nonexistent/bus"));
        environment.insert(QString::fromLatin1(kChildService), m_service);
        environment.insert(QString::fromLatin1(kChildKey), name);
        child.setProcessEnvironment(environment);
        child.setProcessChannelMode(QProcess::MergedChannels);
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("failuresAreReportedAndKeepTheEarlierValue")});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
                 child.readAll().constData());
        QCOMPARE(*awaitTask(m_keychain.getValue(name)).value,
                 std::optional(QStringLiteral("earlier-value-1")));
        QCOMPARE(SecretServiceProbe().itemCount(m_service, name), 1);
    }

    void textThatCannotBeStoredIsRefused_data() {
        QTest::addColumn<QString>("broken");
        QTest::newRow("lone surrogate") << QStringLiteral("abc") + QChar(0xD800) + QStringLiteral("def");
        QTest::newRow("NUL character") << QStringLiteral("abc") + QChar(0) + QStringLiteral("def");
    }

    void textThatCannotBeStoredIsRefused() {
        QFETCH(QString, broken);
        const QString name = key(QStringLiteral("unstorable"));
        const auto outcome = awaitTask(m_keychain.setValue(broken, name));
        const auto error = outcome.errorAs<KeychainError>();
        QVERIFY(error.has_value());
        QCOMPARE(error->kind(), KeychainError::Kind::encodingFailed);
        QCOMPARE(error->status(), std::nullopt);
        QCOMPARE(error->description(), QStringLiteral("Failed to encode value for Keychain storage"));
        QCOMPARE(*awaitTask(m_keychain.getValue(name)).value, std::nullopt);
    }

    // Values the store reads or writes never reach a log line, whoever logs them.
    void valuesReadOrWrittenAreMaskedInTheLog() {
        const QString written = onHeap(u"written-secret-0417");
        const QString read = onHeap(u"read-secret-5521");
        const QString nameWritten = key(QStringLiteral("masked"));
        const QString nameRead = key(QStringLiteral("masked"));
        QVERIFY(!awaitTask(m_keychain.setValue(written, nameWritten)).failed());
        QVERIFY(storeDirectly(m_service, nameRead, read));
        QCOMPARE(*awaitTask(m_keychain.getValue(nameRead)).value, std::optional(read));
        lines();
        Log::notice(QStringLiteral("sending %1 and %2").arg(written, read.left(10)), Log::Category::api);
        QCOMPARE(lines(), QStringList{"[API] sending <redacted> and <redacted>"});
    }

    void errorDescriptions_data() {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("description");
        QTest::newRow("save") << int(KeychainError::Kind::saveFailed) << "Failed to save to Keychain: 7";
        QTest::newRow("delete") << int(KeychainError::Kind::deleteFailed)
                                << "Failed to delete from Keychain: 7";
        QTest::newRow("encoding") << int(KeychainError::Kind::encodingFailed)
                                  << "Failed to encode value for Keychain storage";
    }

    void errorDescriptions() {
        QFETCH(int, kind);
        QFETCH(QString, description);
        const KeychainError error =
            kind == int(KeychainError::Kind::saveFailed)     ? KeychainError::saveFailed(7)
            : kind == int(KeychainError::Kind::deleteFailed) ? KeychainError::deleteFailed(7)
                                                             : KeychainError::encodingFailed();
        QCOMPARE(int(error.kind()), kind);
        QCOMPARE(error.description(), description);
        QCOMPARE(Error::describe(error), description);
    }

    void inMemoryFailuresKeepTheStoredValue() {
        InMemoryKeychain memory;
        memory.putItem(KeychainItem::clickUpAPIToken, onHeap(u"old"));
        memory.failNextSet(3);
        const auto set = awaitTask(memory.setValue(onHeap(u"new"), KeychainItem::clickUpAPIToken));
        QCOMPARE(set.errorAs<KeychainError>()->status(), std::optional(3));
        memory.failNextDelete();
        const auto deleted = awaitTask(memory.deleteValue(KeychainItem::clickUpAPIToken));
        QCOMPARE(deleted.errorAs<KeychainError>()->kind(), KeychainError::Kind::deleteFailed);
        QCOMPARE(memory.item(KeychainItem::clickUpAPIToken), std::optional(QStringLiteral("old")));
        // Each failure is armed for one call only.
        QVERIFY(!awaitTask(memory.setValue(onHeap(u"new"), KeychainItem::clickUpAPIToken)).failed());
        QCOMPARE(memory.item(KeychainItem::clickUpAPIToken), std::optional(QStringLiteral("new")));
        memory.setUnreadable(true);
        QCOMPARE(*awaitTask(memory.getValue(KeychainItem::clickUpAPIToken)).value, std::nullopt);
        QCOMPARE(memory.getCount(), 1);
        QCOMPARE(memory.setCount(), 2);
        QCOMPARE(memory.deleteCount(), 1);
    }

    void itemNames() {
        QCOMPARE(KeychainItem::all(),
                 (QStringList{"clickup-api-token", "tools-ws-token", "tools-access-token",
                              "tools-refresh-token", "openai-api-token", "n8n-shared-key"}));
        QCOMPARE(KeychainService::shared().serviceName(), QStringLiteral("com.brisvane.Pendlow"));
    }
};

PENDLOW_TEST_MAIN(KeychainServiceTest)
#include "tst_KeychainService.moc"
