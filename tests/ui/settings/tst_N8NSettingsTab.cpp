// The n8n tab against a loopback webhook (plain and with a self-signed certificate) and an in-memory
// secret store: what it loads, Save and Test with what they store and send, each test outcome, a key
// the secret store refuses, and trusting a certificate after a test failed on it.
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/SecretFormPageRig.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "platform/KeychainItem.h"
#include "services/forwarding/EmailForwardingService.h"
#include "services/forwarding/EmailSource.h"
#include "ui/settings/N8NSettingsTab.h"
#include "ui/settings/SavedConfirmation.h"
#include "ui/settings/SettingsResultLabel.h"
#include "ui/settings/SettingsWindow.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslKey>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {

const QString hookPath = QStringLiteral("/webhook/settings-test");

QByteArray forwardingFixture(const QString& name) {
    // The forwarding tests' certificate and key.
    return fixtureOf("services/forwarding", name);
}

class FakeCapture : public EmailSource {
public:
    std::optional<QString> subject = onHeap(u"Invoice 4411");
    std::optional<QString> link = onHeap(u"https://mail.example.com/m/4411");

    std::optional<QString> getEmailSubject() override { return subject; }
    std::optional<QString> getEmailLink() override { return link; }
};

struct Rig : SecretFormPageRig<N8NSettingsTab> {
    TestSettings settings;
    InMemoryKeychain keychain;
    FakeCapture capture;
    EmailForwardingService forwarding{keychain, settings, capture};

    Rig() { tab = std::make_unique<N8NSettingsTab>(keychain, settings, forwarding); }
    // The tab goes before the services it was given.
    ~Rig() { tab.reset(); }

    static QString endpoint(const FakeHttpServer& server) {
        QUrl url = server.baseUrl();
        url.setPath(hookPath);
        return url.toString();
    }

    QLineEdit* field(const QString& name) const { return tab->findChild<QLineEdit*>(name); }
    bool trustOffered() const {
        return tab->findChild<QWidget*>(QStringLiteral("trustRow"))->isVisibleTo(tab.get());
    }
};

} // namespace

class N8NSettingsTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyStoreAndLoading();
    void saveStoresWhatTheFieldsHold_data();
    void saveStoresWhatTheFieldsHold();
    void refusedKeyStopsTheSave_data();
    void refusedKeyStopsTheSave();
    void testOutcomes_data();
    void testOutcomes();
    void testSendsTheTypedKey_data();
    void testSendsTheTypedKey();
    void trustTheCertificateAfterAFailedTest();
};

void N8NSettingsTabTest::emptyStoreAndLoading() {
    Rig rig;
    rig.load();
    QCOMPARE(rig.field(QStringLiteral("endpointField"))->text(), QString());
    QCOMPARE(rig.field(QStringLiteral("sharedKeyField"))->text(), QString());
    QCOMPARE(rig.field(QStringLiteral("sharedKeyField"))->echoMode(), QLineEdit::Password);
    QVERIFY(!rig.button(QStringLiteral("testButton"))->isEnabled());
    QVERIFY(rig.button(QStringLiteral("saveButton"))->isEnabled());
    rig.field(QStringLiteral("endpointField"))->setText(QStringLiteral("https://n8n.example.com/webhook/x"));
    QVERIFY(rig.button(QStringLiteral("testButton"))->isEnabled());

    rig.settings.setN8nEndpoint(onHeap(u"https://n8n.example.com/webhook/stored"));
    rig.keychain.putItem(KeychainItem::n8nSharedKey, onHeap(u"shared-stored"));
    rig.load();
    QCOMPARE(rig.field(QStringLiteral("endpointField"))->text(),
             QStringLiteral("https://n8n.example.com/webhook/stored"));
    QCOMPARE(rig.field(QStringLiteral("sharedKeyField"))->text(), QStringLiteral("shared-stored"));
}

void N8NSettingsTabTest::saveStoresWhatTheFieldsHold_data() {
    QTest::addColumn<QString>("endpoint");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("storedKey"); // "<none>": no key stored
    QTest::newRow("address and key, trimmed") << "https://n8n.example.com/webhook/a"
                                              << "  key-1 \n"
                                              << "key-1";
    QTest::newRow("an empty key removes the stored one") << "https://n8n.example.com/webhook/a"
                                                         << ""
                                                         << "<none>";
    QTest::newRow("an empty address is written") << ""
                                                 << "key-2"
                                                 << "key-2";
}

void N8NSettingsTabTest::saveStoresWhatTheFieldsHold() {
    QFETCH(QString, endpoint);
    QFETCH(QString, key);
    QFETCH(QString, storedKey);
    Rig rig;
    rig.settings.setN8nEndpoint(onHeap(u"https://old.example.com/hook"));
    rig.keychain.putItem(KeychainItem::n8nSharedKey, onHeap(u"key-old"));
    rig.load();
    rig.field(QStringLiteral("endpointField"))->setText(endpoint);
    rig.field(QStringLiteral("sharedKeyField"))->setText(key);
    rig.press(QStringLiteral("saveButton"), &N8NSettingsTab::saveFinished);
    QCOMPARE(rig.settings.n8nEndpoint(), endpoint);
    QCOMPARE(rig.keychain.item(KeychainItem::n8nSharedKey).value_or(QStringLiteral("<none>")), storedKey);
    QVERIFY(rig.savedShown());
    QVERIFY(rig.result()->message().isEmpty());
    QTRY_VERIFY_WITH_TIMEOUT(!rig.savedShown(), SavedConfirmation::durationMs + 2000);
}

void N8NSettingsTabTest::refusedKeyStopsTheSave_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("message");
    QTest::newRow("write refused") << "key-new"
                                   << "Failed to save to Keychain: 4";
    QTest::newRow("removal refused") << ""
                                     << "Failed to delete from Keychain: 4";
}

void N8NSettingsTabTest::refusedKeyStopsTheSave() {
    QFETCH(QString, key);
    QFETCH(QString, message);
    Rig rig;
    rig.keychain.putItem(KeychainItem::n8nSharedKey, onHeap(u"key-old"));
    rig.load();
    rig.field(QStringLiteral("endpointField"))
        ->setText(QStringLiteral("https://n8n.example.com/webhook/new"));
    rig.field(QStringLiteral("sharedKeyField"))->setText(key);
    rig.keychain.failNextSet(4);
    rig.keychain.failNextDelete(4);
    rig.press(QStringLiteral("saveButton"), &N8NSettingsTab::saveFinished);
    QCOMPARE(rig.result()->message(), message);
    QVERIFY(!rig.result()->isSuccess());
    QVERIFY(!rig.settings.contains(QStringLiteral("n8nEndpoint")));
    QCOMPARE(rig.keychain.item(KeychainItem::n8nSharedKey).value_or(QStringLiteral("<none>")),
             QString(QStringLiteral("key-old")));
    QVERIFY(!rig.savedShown());
    QVERIFY(rig.button(QStringLiteral("saveButton"))->isEnabled());
}

void N8NSettingsTabTest::testOutcomes_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("hasSubject");
    QTest::addColumn<bool>("hasLink");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("message");
    const QString passed = QStringLiteral("Test successful! Check n8n logs.");
    QTest::newRow("task created") << 200 << j("{'success':true,'taskUrl':'https://app.clickup.com/t/1'}")
                                  << true << true << true << passed;
    QTest::newRow("no task named") << 200 << QByteArray() << true << true << true << passed;
    QTest::newRow("not found") << 404 << QByteArray() << true << true << false
                               << "n8n webhook error (HTTP 404)";
    QTest::newRow("no e-mail open") << 200 << QByteArray() << false << true << false
                                    << "Open an email in your mail client first, then test again.";
    QTest::newRow("no link")
        << 200 << QByteArray() << true << false << false
        << "Could not get email link. Copy the email's link (http or https), then test again.";
}

void N8NSettingsTabTest::testOutcomes() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, hasSubject);
    QFETCH(bool, hasLink);
    QFETCH(bool, success);
    QFETCH(QString, message);
    FakeHttpServer server;
    server.route("HEAD", hookPath, FakeHttpServer::Response::empty(200));
    server.route("POST", hookPath, FakeHttpServer::Response::json(body, status));
    Rig rig;
    if (!hasSubject) {
        rig.capture.subject.reset();
    }
    if (!hasLink) {
        rig.capture.link.reset();
    }
    rig.load();
    // Typed and not saved: the test writes the address and forwards to it.
    rig.field(QStringLiteral("endpointField"))->setText(Rig::endpoint(server));
    rig.press(QStringLiteral("testButton"), &N8NSettingsTab::testFinished);
    QCOMPARE(rig.settings.n8nEndpoint(), Rig::endpoint(server));
    QCOMPARE(rig.result()->message(), message);
    QCOMPARE(rig.result()->isSuccess(), success);
    QVERIFY(!rig.trustOffered());
    QVERIFY(rig.button(QStringLiteral("testButton"))->isEnabled());
    QVERIFY(!rig.savedShown());

    // Save clears a shown result.
    rig.press(QStringLiteral("saveButton"), &N8NSettingsTab::saveFinished);
    QVERIFY(rig.result()->message().isEmpty());
}

void N8NSettingsTabTest::testSendsTheTypedKey_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("header");
    QTest::newRow("a typed key, trimmed") << " key-typed " << QByteArray("key-typed");
    // Only Save removes a key: a Test with the field emptied keeps and sends the stored one.
    QTest::newRow("a cleared field keeps the stored key") << "" << QByteArray("key-stored");
}

void N8NSettingsTabTest::testSendsTheTypedKey() {
    QFETCH(QString, typed);
    QFETCH(QByteArray, header);
    FakeHttpServer server;
    server.route("HEAD", hookPath, FakeHttpServer::Response::empty(200));
    server.route("POST", hookPath, FakeHttpServer::Response::empty(200));
    Rig rig;
    rig.settings.setN8nEndpoint(Rig::endpoint(server));
    rig.keychain.putItem(KeychainItem::n8nSharedKey, onHeap(u"key-stored"));
    rig.load();
    rig.field(QStringLiteral("sharedKeyField"))->setText(typed);
    rig.press(QStringLiteral("testButton"), &N8NSettingsTab::testFinished);
    const QList<FakeHttpServer::Request> posts = server.requests("POST", hookPath);
    QCOMPARE(posts.size(), 1);
    QCOMPARE(posts.first().header("X-Webhook-Key"), header);
    QVERIFY(rig.result()->isSuccess());
    QCOMPARE(rig.keychain.item(KeychainItem::n8nSharedKey), std::optional(QString::fromLatin1(header)));
}

void N8NSettingsTabTest::trustTheCertificateAfterAFailedTest() {
    const QSslCertificate certificate(forwardingFixture(QStringLiteral("self-signed.pem")), QSsl::Pem);
    const QSslKey key(forwardingFixture(QStringLiteral("self-signed.key")), QSsl::Rsa, QSsl::Pem);
    QVERIFY(!certificate.isNull());
    const QString sha256 = QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex());
    FakeHttpServer server(certificate, key);
    server.route("HEAD", hookPath, FakeHttpServer::Response::empty(200));
    server.route(
        "POST", hookPath,
        FakeHttpServer::Response::json(j("{'success':true,'taskUrl':'https://app.clickup.com/t/tls'}")));
    Rig rig;
    rig.load();
    rig.field(QStringLiteral("endpointField"))->setText(Rig::endpoint(server));
    rig.press(QStringLiteral("testButton"), &N8NSettingsTab::testFinished);
    QVERIFY(!rig.result()->isSuccess());
    QVERIFY2(
        rig.result()->message().startsWith(QStringLiteral("The n8n server's certificate was not accepted: ")),
        qPrintable(rig.result()->message()));
    QVERIFY(rig.trustOffered());
    // At the settings window's width the two-line message shows whole.
    rig.tab->resize(SettingsWindow::side, SettingsWindow::side);
    rig.tab->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.tab.get()));
    const auto* text = rig.result()->findChild<QLabel*>(QStringLiteral("resultText"));
    QVERIFY(text->heightForWidth(text->width()) > QFontMetrics(text->font()).lineSpacing());
    QVERIFY2(
        text->heightForWidth(text->width()) <= text->height(),
        qPrintable(QStringLiteral("%1 > %2").arg(text->heightForWidth(text->width())).arg(text->height())));
    rig.tab->hide();
    // Only the clipboard is read for the link, and the tab says so.
    QStringList captions;
    for (const QLabel* label : rig.tab->findChildren<QLabel*>()) {
        captions.append(label->text());
    }
    QVERIFY(captions.contains(QStringLiteral("2. Takes the email's link from the clipboard")));
    QCOMPARE(rig.tab->offeredCertificate(), sha256);
    const QString fingerprint = rig.tab->findChild<QLabel*>(QStringLiteral("certificateFingerprint"))->text();
    QCOMPARE(fingerprint,
             QStringLiteral("SHA-256 ") +
                 QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper()));
    QCOMPARE(server.requests("POST", hookPath).size(), 0);

    rig.button(QStringLiteral("trustCertificateButton"))->click();
    QCOMPARE(rig.settings.n8nPinnedCertificateSha256(), sha256);
    QVERIFY(!rig.trustOffered());

    rig.press(QStringLiteral("testButton"), &N8NSettingsTab::testFinished);
    QCOMPARE(rig.result()->message(), QStringLiteral("Test successful! Check n8n logs."));
    QCOMPARE(server.requests("POST", hookPath).size(), 1);
}

PENDLOW_TEST_MAIN(N8NSettingsTabTest)
#include "tst_N8NSettingsTab.moc"
