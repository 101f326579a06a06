// The AI tab against a loopback OpenAI server and an in-memory secret store: what it loads, Save and
// Test with what they store and send, the test results, and a key the secret store refuses.
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/SecretFormPageRig.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "platform/KeychainItem.h"
#include "services/openai/OpenAIService.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/settings/AISettingsTab.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

namespace {

const QString completions = QStringLiteral("/v1/chat/completions");

struct Rig : SecretFormPageRig<AISettingsTab> {
    FakeHttpServer server;
    TestSettings settings;
    InMemoryKeychain keychain;
    std::unique_ptr<OpenAIService> openAI;

    Rig() {
        QUrl base = server.baseUrl();
        base.setPath(QStringLiteral("/v1"));
        openAI = std::make_unique<OpenAIService>(keychain, settings, base);
        tab = std::make_unique<AISettingsTab>(keychain, settings, *openAI);
    }
    // The tab goes before the services it was given.
    ~Rig() { tab.reset(); }

    QLineEdit* keyField() const { return tab->findChild<QLineEdit*>(QStringLiteral("openAIKeyField")); }
    QComboBox* picker() const { return tab->findChild<QComboBox*>(QStringLiteral("modelPicker")); }
};

} // namespace

class AISettingsTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyStore();
    void loadsStoredValues_data();
    void loadsStoredValues();
    void saveStoresTrimmedKeyAndModel_data();
    void saveStoresTrimmedKeyAndModel();
    void refusedKeyStopsTheSave();
    void testUsesWhatTheFieldsHold_data();
    void testUsesWhatTheFieldsHold();
    void refusedKeyEndsTheTest();
    void runningTestShowsProgressOnly();
};

void AISettingsTabTest::emptyStore() {
    Rig rig;
    rig.load();
    QCOMPARE(rig.keyField()->text(), QString());
    QCOMPARE(rig.keyField()->echoMode(), QLineEdit::Password);
    QCOMPARE(rig.picker()->currentText(), QStringLiteral("GPT-4o mini - Fast and cost-effective"));
    QCOMPARE(rig.picker()->count(), 4);
    QCOMPARE(rig.picker()->itemText(0), QStringLiteral("GPT-4o - Most capable, best quality"));
    QVERIFY(!rig.button(QStringLiteral("testButton"))->isEnabled());
    QVERIFY(rig.button(QStringLiteral("saveButton"))->isEnabled());
    // Typing a key enables Test; blanks alone do not, and clearing disables it again.
    rig.keyField()->setText(QStringLiteral("   "));
    QVERIFY(!rig.button(QStringLiteral("testButton"))->isEnabled());
    rig.keyField()->setText(QStringLiteral("sk-1"));
    QVERIFY(rig.button(QStringLiteral("testButton"))->isEnabled());
    rig.keyField()->clear();
    QVERIFY(!rig.button(QStringLiteral("testButton"))->isEnabled());
}

void AISettingsTabTest::loadsStoredValues_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a model offered") << "gpt-4-turbo"
                                     << "GPT-4 Turbo - Balance of speed and quality";
    QTest::newRow("an unknown model") << "gpt-9"
                                      << "GPT-4o mini - Fast and cost-effective";
}

void AISettingsTabTest::loadsStoredValues() {
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    Rig rig;
    rig.keychain.putItem(KeychainItem::openAIAPIToken, onHeap(u"sk-stored"));
    rig.settings.setOpenAIModel(stored);
    rig.load();
    QCOMPARE(rig.keyField()->text(), QStringLiteral("sk-stored"));
    QCOMPARE(rig.picker()->currentText(), shown);
    // Unsaved edits go when the tab is shown again.
    rig.keyField()->setText(QStringLiteral("sk-typed"));
    rig.load();
    QCOMPARE(rig.keyField()->text(), QStringLiteral("sk-stored"));
}

void AISettingsTabTest::saveStoresTrimmedKeyAndModel_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("storedAfter");
    QTest::newRow("a new key, trimmed") << " sk-new-key \n"
                                        << "sk-new-key";
    QTest::newRow("an empty field keeps the stored key") << ""
                                                         << "sk-old";
}

void AISettingsTabTest::saveStoresTrimmedKeyAndModel() {
    QFETCH(QString, typed);
    QFETCH(QString, storedAfter);
    Rig rig;
    rig.keychain.putItem(KeychainItem::openAIAPIToken, onHeap(u"sk-old"));
    rig.load();
    rig.keyField()->setText(typed);
    rig.picker()->setCurrentIndex(0);
    rig.press(QStringLiteral("saveButton"), &AISettingsTab::saveFinished);
    QCOMPARE(rig.keychain.item(KeychainItem::openAIAPIToken).value_or(QStringLiteral("<none>")),
             QString(storedAfter));
    QCOMPARE(rig.settings.value(QStringLiteral("openAIModel")).toString(), QStringLiteral("gpt-4o"));
    QVERIFY(rig.savedShown());
    QVERIFY(rig.button(QStringLiteral("saveButton"))->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.savedShown(), SavedConfirmation::durationMs + 2000);
    QCOMPARE(rig.server.requestCount(), 0);
}

void AISettingsTabTest::refusedKeyStopsTheSave() {
    Rig rig;
    rig.load();
    rig.keyField()->setText(QStringLiteral("sk-new"));
    rig.picker()->setCurrentIndex(0);
    rig.keychain.failNextSet(5);
    rig.press(QStringLiteral("saveButton"), &AISettingsTab::saveFinished);
    QCOMPARE(rig.result()->message(), QStringLiteral("Failed to save to Keychain: 5"));
    QVERIFY(!rig.result()->isSuccess());
    QVERIFY(!rig.settings.contains(QStringLiteral("openAIModel")));
    QVERIFY(!rig.keychain.item(KeychainItem::openAIAPIToken).has_value());
    QVERIFY(!rig.savedShown());
    QVERIFY(rig.button(QStringLiteral("saveButton"))->isEnabled());
}

void AISettingsTabTest::testUsesWhatTheFieldsHold_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("message");
    QTest::newRow("accepted") << 200 << QByteArray("{}") << true << "Connection successful!";
    QTest::newRow("rejected key") << 401 << QByteArray() << false
                                  << "OpenAI API token is invalid. Check your token in Settings.";
    QTest::newRow("rate limited") << 429 << QByteArray() << false << "Rate limited. Please try again later.";
    QTest::newRow("server message") << 500 << j("{'error':{'message':'model overloaded'}}") << false
                                    << "OpenAI API error: model overloaded";
    QTest::newRow("bare status") << 502 << QByteArray("<html>") << false << "OpenAI API error (HTTP 502)";
}

void AISettingsTabTest::testUsesWhatTheFieldsHold() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, success);
    QFETCH(QString, message);
    Rig rig;
    rig.server.route("POST", completions, FakeHttpServer::Response::json(body, status));
    rig.keychain.putItem(KeychainItem::openAIAPIToken, onHeap(u"sk-stored"));
    rig.load();
    // Edited and not saved: the test sends what the fields hold.
    rig.keyField()->setText(QStringLiteral("  sk-typed\t"));
    rig.picker()->setCurrentIndex(3);
    rig.press(QStringLiteral("testButton"), &AISettingsTab::testFinished);
    QCOMPARE(rig.server.requestCount(), 1);
    const FakeHttpServer::Request request = rig.server.requests().first();
    QCOMPARE(request.header("Authorization"), QByteArray("Bearer sk-typed"));
    QCOMPARE(request.jsonBody().value(QStringLiteral("model")).toString(), QStringLiteral("gpt-3.5-turbo"));
    QCOMPARE(rig.result()->message(), message);
    QCOMPARE(rig.result()->isSuccess(), success);
    // The message itself is green or red, not only its symbol.
    const auto* text = rig.result()->findChild<QLabel*>(QStringLiteral("resultText"));
    QVERIFY(text);
    const QPalette& palette = rig.result()->palette();
    QCOMPARE(text->palette().color(QPalette::WindowText),
             success ? PopoverStyle::green(palette) : PopoverStyle::red(palette));
    QCOMPARE(rig.keychain.item(KeychainItem::openAIAPIToken).value_or(QStringLiteral("<none>")),
             QString(QStringLiteral("sk-typed")));
    QVERIFY(rig.button(QStringLiteral("testButton"))->isEnabled());
    // A test is no save.
    QVERIFY(!rig.savedShown());
}

void AISettingsTabTest::refusedKeyEndsTheTest() {
    Rig rig;
    rig.load();
    rig.keyField()->setText(QStringLiteral("sk-typed"));
    rig.keychain.failNextSet(7);
    rig.press(QStringLiteral("testButton"), &AISettingsTab::testFinished);
    QCOMPARE(rig.server.requestCount(), 0);
    QCOMPARE(rig.result()->message(), QStringLiteral("Failed to save to Keychain: 7"));
    QVERIFY(!rig.result()->isSuccess());
    QVERIFY(!rig.settings.contains(QStringLiteral("openAIModel")));
}

void AISettingsTabTest::runningTestShowsProgressOnly() {
    Rig rig;
    FakeHttpServer::Response slow = FakeHttpServer::Response::json("{}");
    slow.delayMs = 400;
    rig.server.route("POST", completions, FakeHttpServer::Response::empty(401));
    rig.load();
    rig.keyField()->setText(QStringLiteral("sk-typed"));
    rig.press(QStringLiteral("testButton"), &AISettingsTab::testFinished);
    QVERIFY(!rig.result()->message().isEmpty());

    rig.server.route("POST", completions, slow);
    QSignalSpy done(rig.tab.get(), &AISettingsTab::testFinished);
    rig.button(QStringLiteral("testButton"))->click();
    // While it runs: the indicator, no previous result, Test disabled, Save still free.
    QVERIFY(rig.tab->findChild<QWidget*>(QStringLiteral("testProgress"))->isVisibleTo(rig.tab.get()));
    QVERIFY(rig.result()->message().isEmpty());
    QVERIFY(!rig.button(QStringLiteral("testButton"))->isEnabled());
    QVERIFY(rig.button(QStringLiteral("saveButton"))->isEnabled());
    QVERIFY(done.wait(10000));
    QVERIFY(!rig.tab->findChild<QWidget*>(QStringLiteral("testProgress"))->isVisibleTo(rig.tab.get()));
    QCOMPARE(rig.result()->message(), QStringLiteral("Connection successful!"));
}

PENDLOW_TEST_MAIN(AISettingsTabTest)
#include "tst_AISettingsTab.moc"
