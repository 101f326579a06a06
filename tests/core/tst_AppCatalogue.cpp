// The one catalogue of known applications: an application is recognised under its own Linux id, its
// other Linux names (any case, with ".desktop") and the ids earlier versions stored, and classified
// the same way under all of them.
#include "support/TestMain.h"

#include "core/AppCatalogue.h"

#include <QHash>

using Kind = AppCatalogue::Kind;
Q_DECLARE_METATYPE(AppCatalogue::Kind)
Q_DECLARE_METATYPE(AppCatalogue::AddressSource)

class AppCatalogueTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void classifiesEveryNameAnApplicationGoesBy_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::addColumn<Kind>("kind");
        QTest::newRow("Chromium") << "chromium"
                                  << "chromium" << Kind::browser;
        QTest::newRow("Chromium's window class") << "Chromium"
                                                 << "chromium" << Kind::browser;
        QTest::newRow("Debian's Firefox") << "firefox-esr"
                                          << "firefox-esr" << Kind::browser;
        QTest::newRow("Firefox ESR's class") << "Firefox-esr"
                                             << "firefox-esr" << Kind::browser;
        QTest::newRow("earlier Chrome id") << "com.google.Chrome"
                                           << "google-chrome" << Kind::browser;
        QTest::newRow("desktop file name") << "google-chrome.desktop"
                                           << "google-chrome" << Kind::browser;
        QTest::newRow("Thunderbird") << "thunderbird"
                                     << "thunderbird" << Kind::mail;
        QTest::newRow("Thunderbird's class") << "Thunderbird"
                                             << "thunderbird" << Kind::mail;
        QTest::newRow("VS Code") << "code"
                                 << "code" << Kind::editor;
        QTest::newRow("earlier VS Code id") << "com.microsoft.VSCode"
                                            << "code" << Kind::editor;
        QTest::newRow("xterm") << "xterm"
                               << "xterm" << Kind::terminal;
        QTest::newRow("XTerm's class") << "XTerm"
                                       << "xterm" << Kind::terminal;
        QTest::newRow("GNOME Terminal") << "gnome-terminal-server"
                                        << "org.gnome.Terminal" << Kind::terminal;
        QTest::newRow("earlier Terminal id") << "com.apple.Terminal"
                                             << "com.apple.Terminal" << Kind::terminal;
        QTest::newRow("KeePassXC") << "keepassxc"
                                   << "org.keepassxc.KeePassXC" << Kind::passwordManager;
        QTest::newRow("earlier Bitwarden id") << "com.bitwarden.desktop"
                                              << "bitwarden" << Kind::passwordManager;
        QTest::newRow("Thunar") << "Thunar"
                                << "thunar" << Kind::fileManager;
        QTest::newRow("unknown") << "org.example.Tool" << QString() << Kind::other;
        QTest::newRow("empty") << "" << QString() << Kind::other;
    }

    void classifiesEveryNameAnApplicationGoesBy() {
        QFETCH(QString, name);
        QFETCH(QString, id);
        QFETCH(Kind, kind);
        const AppCatalogue::App* known = AppCatalogue::find(name);
        QCOMPARE(known ? known->id : QString(), id);
        QCOMPARE(known ? known->kind : Kind::other, kind);
        for (const Kind each : {Kind::browser, Kind::mail, Kind::editor, Kind::terminal,
                                Kind::passwordManager, Kind::fileManager}) {
            QCOMPARE(AppCatalogue::is(name, each), each == kind);
        }
    }

    // Every name leads to exactly one application: a name listed twice would classify by table order.
    void everyNameIsListedOnce() {
        QHash<QString, QString> owner;
        for (const AppCatalogue::App& app : AppCatalogue::all()) {
            QStringList names{app.id};
            names += app.otherNames;
            for (const QString& name : names) {
                const QString key = name.toLower();
                QVERIFY2(!owner.contains(key),
                         qPrintable(name + QStringLiteral(" is listed for ") + owner.value(key) +
                                    QStringLiteral(" and ") + app.id));
                owner.insert(key, app.id);
            }
        }
    }

    void addressSourcesOfTheBrowsers_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<AppCatalogue::AddressSource>("source");
        QTest::newRow("Chromium") << "chromium" << AppCatalogue::AddressSource::chromiumSession;
        QTest::newRow("Brave") << "brave-browser" << AppCatalogue::AddressSource::chromiumSession;
        QTest::newRow("Firefox") << "firefox" << AppCatalogue::AddressSource::firefoxSession;
        QTest::newRow("Firefox ESR") << "firefox-esr" << AppCatalogue::AddressSource::firefoxSession;
        QTest::newRow("Safari") << "com.apple.Safari" << AppCatalogue::AddressSource::notOnLinux;
    }

    void addressSourcesOfTheBrowsers() {
        QFETCH(QString, name);
        QFETCH(AppCatalogue::AddressSource, source);
        QVERIFY(AppCatalogue::find(name));
        QCOMPARE(AppCatalogue::find(name)->addressSource, source);
    }
};

PENDLOW_TEST_MAIN(AppCatalogueTest)
#include "tst_AppCatalogue.moc"
