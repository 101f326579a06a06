// The configuration snapshot: what it loads from the secret store and the settings, and when ClickUp
// and the Tools server count as configured.
#include "support/InMemoryKeychain.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/UserDefaultsService.h"
#include "platform/KeychainItem.h"
#include "services/AppConfiguration.h"

#include <QTemporaryDir>

class AppConfigurationTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_round = 0;

    QString settingsFile() { return m_dir.filePath(QStringLiteral("s%1.conf").arg(++m_round)); }

private Q_SLOTS:
    void loadsSecretsAndSettings() {
        InMemoryKeychain keychain;
        keychain.putItem(KeychainItem::clickUpAPIToken, onHeap(u"pk_123"));
        keychain.putItem(KeychainItem::toolsWSToken, onHeap(u"ws-token"));
        UserDefaultsService settings(settingsFile());
        settings.setTeamId(QStringLiteral("9001"));
        settings.setToolsUrl(QStringLiteral("https://tools.example/"));
        settings.setUserKey(QStringLiteral("jdoe"));
        const QDateTime end(QDate(2026, 3, 2), QTime(12, 0));
        settings.setSilentModeEnd(end);
        settings.setLightMode(true);
        settings.setDisableTimerWarning(true);

        const auto loaded = awaitTask(AppConfiguration::load(keychain, settings));
        QVERIFY(loaded.value);
        const AppConfiguration& c = *loaded.value;
        QCOMPARE(c.clickUpToken, std::optional<QString>(QStringLiteral("pk_123")));
        QCOMPARE(c.toolsWSToken, std::optional<QString>(QStringLiteral("ws-token")));
        QCOMPARE(c.teamId, QStringLiteral("9001"));
        QCOMPARE(c.toolsUrl, QStringLiteral("https://tools.example/"));
        QCOMPARE(c.userKey, QStringLiteral("jdoe"));
        QCOMPARE(c.silentModeEnd, std::optional<QDateTime>(end));
        QVERIFY(c.lightMode);
        QVERIFY(c.disableTimerWarning);
        QVERIFY(c.isClickUpConfigured());
        QVERIFY(c.isToolsConfigured());
    }

    void unreadableSecretsCountAsAbsent() {
        InMemoryKeychain keychain;
        keychain.putItem(KeychainItem::clickUpAPIToken, onHeap(u"pk_123"));
        keychain.setUnreadable(true);
        UserDefaultsService settings(settingsFile());
        settings.setTeamId(QStringLiteral("9001"));

        const auto loaded = awaitTask(AppConfiguration::load(keychain, settings));
        QVERIFY(!loaded.value->clickUpToken);
        QVERIFY(!loaded.value->isClickUpConfigured());
    }

    void configured_data() {
        QTest::addColumn<QVariant>("clickUpToken"); // invalid: absent
        QTest::addColumn<QString>("teamId");
        QTest::addColumn<QVariant>("wsToken");
        QTest::addColumn<QString>("toolsUrl");
        QTest::addColumn<QString>("userKey");
        QTest::addColumn<bool>("clickUp");
        QTest::addColumn<bool>("tools");

        const QString url = QStringLiteral("https://tools.example/");
        QTest::newRow("everything") << QVariant("pk") << "1" << QVariant("ws") << url << "key" << true
                                    << true;
        QTest::newRow("no ClickUp token")
            << QVariant() << "1" << QVariant("ws") << url << "key" << false << true;
        QTest::newRow("empty ClickUp token")
            << QVariant("") << "1" << QVariant() << url << "key" << false << false;
        QTest::newRow("empty team id")
            << QVariant("pk") << "" << QVariant() << url << "key" << false << false;
        QTest::newRow("empty web-service token")
            << QVariant("pk") << "1" << QVariant("") << url << "key" << true << false;
        QTest::newRow("no Tools address") << QVariant("pk") << "1" << QVariant("ws") << ""
                                          << "key" << true << false;
        QTest::newRow("no user key") << QVariant("pk") << "1" << QVariant("ws") << url << "" << true << false;
    }

    void configured() {
        QFETCH(QVariant, clickUpToken);
        QFETCH(QString, teamId);
        QFETCH(QVariant, wsToken);
        QFETCH(QString, toolsUrl);
        QFETCH(QString, userKey);
        QFETCH(bool, clickUp);
        QFETCH(bool, tools);
        AppConfiguration c;
        if (clickUpToken.isValid()) {
            c.clickUpToken = clickUpToken.toString();
        }
        c.teamId = teamId;
        if (wsToken.isValid()) {
            c.toolsWSToken = wsToken.toString();
        }
        c.toolsUrl = toolsUrl;
        c.userKey = userKey;
        QCOMPARE(c.isClickUpConfigured(), clickUp);
        QCOMPARE(c.isToolsConfigured(), tools);
    }
};

PENDLOW_TEST_MAIN(AppConfigurationTest)
#include "tst_AppConfiguration.moc"
