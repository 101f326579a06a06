// Privacy redaction of titles and addresses, the mapping of Linux applications to the ids the tables
// use, and application colours.
#include "support/TestMain.h"

#include "services/usage/AppColor.h"
#include "services/usage/AppIdentity.h"
#include "services/usage/DailyUsageSummary.h"
#include "services/usage/PrivacyRedaction.h"
#include "support/TestSettings.h"

class PrivacyRedactionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void titles_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("app");
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<QStringList>("alwaysApps");
        QTest::addColumn<bool>("redact");
        const QStringList none;
        QTest::newRow("login keyword")
            << QStringLiteral("Login \u2013 Example") << "firefox" << none << none << true;
        QTest::newRow("statement keyword") << "Monthly Statement.pdf"
                                           << "org.gnome.Evince" << none << none << true;
        QTest::newRow("substring match (intended)") << "Blogin roll"
                                                    << "x" << none << none << true;
        QTest::newRow("plain title") << "Quarterly plan - Docs"
                                     << "firefox" << none << none << false;
        QTest::newRow("key store app, any title") << "Welcome"
                                                  << "com.apple.keychainaccess" << none << none << true;
        QTest::newRow("KeePassXC") << "Database"
                                   << "org.keepassxc.KeePassXC" << none << none << true;
        QTest::newRow("Seahorse") << "Keys"
                                  << "org.gnome.seahorse.Application" << none << none << true;
        QTest::newRow("KWalletManager") << "Wallets"
                                        << "org.kde.kwalletmanager5" << none << none << true;
        QTest::newRow("user keyword in any case")
            << "Meeting on PROJECTX"
            << "x" << QStringList{QStringLiteral("ProjectX")} << none << true;
        QTest::newRow("user app, exact case")
            << "Anything"
            << "org.example.Vault" << none << QStringList{QStringLiteral("org.example.Vault")} << true;
        QTest::newRow("user app in another case does not match")
            << "Anything"
            << "org.example.vault" << none << QStringList{QStringLiteral("org.example.Vault")} << false;
        QTest::newRow("unicode lower-casing")
            << QStringLiteral("ÄRGER MIT DEM PASSWORD") << "x" << none << none << true;
    }

    void titles() {
        QFETCH(QString, title);
        QFETCH(QString, app);
        QFETCH(QStringList, keywords);
        QFETCH(QStringList, alwaysApps);
        TestSettings settings;
        settings.setPrivacyRedactionKeywords(keywords);
        settings.setPrivacyAlwaysRedactApps(alwaysApps);
        const PrivacyRedaction redaction(settings);
        QTEST(redaction.shouldRedactTitle(title, app), "redact");
    }

    void addresses_data() {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QStringList>("keywords");
        QTest::addColumn<bool>("redact");
        QTest::newRow("auth host prefix") << "https://auth.example.com/x" << QStringList() << true;
        QTest::newRow("oauth word") << "https://example.com/oauth/authorize" << QStringList() << true;
        QTest::newRow("payment domain") << "https://www.PayPal.com/myaccount" << QStringList() << true;
        QTest::newRow("shop page") << "https://shop.example.com/checkout" << QStringList() << false;
        QTest::newRow("user keyword") << "https://intranet.example.com/projectx/plan"
                                      << QStringList{QStringLiteral("ProjectX")} << true;
    }

    void addresses() {
        QFETCH(QString, url);
        QFETCH(QStringList, keywords);
        TestSettings settings;
        settings.setPrivacyRedactionKeywords(keywords);
        QTEST(PrivacyRedaction(settings).shouldRedactURL(url), "redact");
    }

    void settingsChangesApplyAtTheNextCall() {
        TestSettings settings;
        const PrivacyRedaction redaction(settings);
        QVERIFY(!redaction.shouldRedactTitle(QStringLiteral("Falcon roadmap"), QStringLiteral("x")));
        settings.setPrivacyRedactionKeywords({QStringLiteral("falcon")});
        QVERIFY(redaction.shouldRedactTitle(QStringLiteral("Falcon roadmap"), QStringLiteral("x")));
    }

    void builtInLists() {
        QCOMPARE(PrivacyRedaction::builtInURLKeywords().size(), 27);
        QCOMPARE(PrivacyRedaction::builtInTitleKeywords().size(), 34);
    }

    // A record keeps the application's own Linux id, never another system's.
    void applicationsKeepTheirOwnLinuxId_data() {
        QTest::addColumn<QString>("desktopId");
        QTest::addColumn<QString>("gtkId");
        QTest::addColumn<QString>("instance");
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<QString>("id");
        QTest::newRow("Chromium by desktop id") << "chromium.desktop"
                                                << ""
                                                << "chromium"
                                                << "Chromium"
                                                << "chromium";
        QTest::newRow("Chromium by window class") << ""
                                                  << ""
                                                  << "chromium"
                                                  << "Chromium"
                                                  << "Chromium";
        QTest::newRow("xterm") << ""
                               << ""
                               << "xterm"
                               << "XTerm"
                               << "XTerm";
        QTest::newRow("Debian's Firefox") << "firefox-esr"
                                          << ""
                                          << "Navigator"
                                          << "firefox-esr"
                                          << "firefox-esr";
        QTest::newRow("GNOME Terminal by GTK id") << ""
                                                  << "org.gnome.Terminal"
                                                  << "gnome-terminal-server"
                                                  << "Gnome-terminal"
                                                  << "org.gnome.Terminal";
        QTest::newRow("KeePassXC by class") << ""
                                            << ""
                                            << "keepassxc"
                                            << "KeePassXC"
                                            << "KeePassXC";
        QTest::newRow("else the instance") << ""
                                           << ""
                                           << "myapp"
                                           << ""
                                           << "myapp";
        QTest::newRow("nothing known") << ""
                                       << ""
                                       << ""
                                       << ""
                                       << "unknown";
    }

    void applicationsKeepTheirOwnLinuxId() {
        QFETCH(QString, desktopId);
        QFETCH(QString, gtkId);
        QFETCH(QString, instance);
        QFETCH(QString, windowClass);
        QTEST(AppIdentity::appId(desktopId, gtkId, instance, windowClass), "id");
    }

    // The stored ids, Linux ones and earlier versions' alike, reach the catalogue's kinds: password
    // managers are redacted whatever the title, and an icon is looked up under the Linux names.
    void storedIdsReachTheCatalogue() {
        TestSettings settings;
        PrivacyRedaction privacy(settings);
        for (const QString& id :
             {QStringLiteral("KeePassXC"), QStringLiteral("org.keepassxc.KeePassXC"),
              QStringLiteral("com.bitwarden.desktop"), QStringLiteral("kwalletmanager5")}) {
            QVERIFY2(privacy.shouldRedactTitle(QStringLiteral("Database"), id), qPrintable(id));
        }
        QVERIFY(!privacy.shouldRedactTitle(QStringLiteral("Database"), QStringLiteral("XTerm")));
        QVERIFY(AppIdentity::desktopFileIds(QStringLiteral("org.mozilla.firefox"))
                    .contains(QStringLiteral("firefox")));
        QVERIFY(AppIdentity::desktopFileIds(QStringLiteral("Chromium")).contains(QStringLiteral("chromium")));
    }

    void colours() {
        QCOMPARE(appColor(QStringLiteral("com.google.Chrome")), QColor(255, 204, 0));
        QCOMPARE(appColor(QStringLiteral("com.apple.Terminal")), appColor(QStringLiteral("notion.id")));
        // Other ids: a hue from an unsigned hash, the same on every run; saturation 0.6, value 0.8.
        const QColor other = appColor(QStringLiteral("org.gnome.gedit"));
        QCOMPARE(other, appColor(QStringLiteral("org.gnome.gedit")));
        QVERIFY(qAbs(other.hsvSaturationF() - 0.6f) < 0.01f);
        QVERIFY(qAbs(other.valueF() - 0.8f) < 0.01f);
        QVERIFY(other.isValid());
        QVERIFY(appColor(QString()).isValid());
        // The FNV-1a hash of "org.gnome.gedit" modulo 360 fixes its hue across runs and machines.
        QVERIFY(qAbs(appColor(QStringLiteral("org.gnome.gedit")).hsvHue() -
                     expectedHue(QStringLiteral("org.gnome.gedit"))) <= 1);
    }

private:
    static int expectedHue(const QString& text) {
        quint32 hash = 2166136261u;
        for (const QChar ch : text) {
            hash = (hash ^ ch.unicode()) * 16777619u;
        }
        return int(hash % 360u);
    }
};

PENDLOW_TEST_MAIN(PrivacyRedactionTest)
#include "tst_PrivacyRedaction.moc"
