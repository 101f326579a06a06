// The Preferences tab driven through its controls: what it shows from an empty and a filled store,
// what each control writes, launch at login on disk, tracking and silent mode through the root
// state, clearing all usage data (memory and files, with confirmation and failure), the window-title
// poll, the browser-address Test and the log window.
#include "support/AppStateFixture.h"
#include "support/LogCapture.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"
#include "support/UsageTrackerRig.h"

#include "platform/LaunchAtLogin.h"
#include "services/alerts/SilentMode.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageSwitch.h"
#include "ui/settings/LogWindow.h"
#include "ui/settings/PreferencesTab.h"
#include "ui/settings/SettingsResultLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>
#include <stdexcept>

using namespace usagesamples;

namespace {

// The tab over a root state of fakes, a tracker with its own usage folder and an autostart entry in
// a folder of its own.
struct Rig {
    AppStateFixture fixture;
    UsageTrackerRig tracker{fixture.settings};
    QTemporaryDir autostart;
    LaunchAtLogin launch{autostart.path() + QStringLiteral("/autostart/pendlow.desktop"),
                         QStringLiteral("/opt/Pendlow Test/pendlow")};
    bool titlesReadable = true;
    bool confirm = true;
    int confirmations = 0;
    std::unique_ptr<PreferencesTab> tab;

    explicit Rig(PreferencesTab::UrlProbe probe = {}, AppUsageStorageService* storage = nullptr,
                 LogWindow::Reader reader = {}) {
        fixture.state().setAppUsageService(&tracker.service);
        make(std::move(probe), storage, std::move(reader));
    }

    void make(PreferencesTab::UrlProbe probe = {}, AppUsageStorageService* storage = nullptr,
              LogWindow::Reader reader = {}) {
        tab = std::make_unique<PreferencesTab>(PreferencesTab::Services{
            .settings = fixture.settings,
            .usageStorage = storage ? *storage : tracker.storage,
            .launchAtLogin = launch,
            .tracker = &tracker.service,
            .trackingActive = WatchedFlag::of(fixture.state().appUsageSwitch(), &AppUsageSwitch::isActive,
                                              &AppUsageSwitch::activeChanged),
            .setTracking = [this](bool enabled) { fixture.state().appUsageSwitch().setEnabled(enabled); },
            .silentModeActive = WatchedFlag::of(fixture.state().silentMode(), &SilentMode::isActive,
                                                &SilentMode::activeChanged),
            .enableSilentMode =
                [this](double seconds) { return fixture.state().silentMode().enable(seconds); },
            .disableSilentMode = [this] { return fixture.state().silentMode().disable(); },
            .windowTitlesReadable = [this] { return titlesReadable; },
            .browserUrlProbe = std::move(probe),
            .confirmClearAll =
                [this](QWidget*) {
                    ++confirmations;
                    return confirm;
                },
            .logReader = std::move(reader)});
        tab->load();
    }

    template <typename T>
    T* child(const QString& name) const {
        T* widget = tab->findChild<T*>(name);
        if (!widget) {
            qFatal("no child %s", qPrintable(name));
        }
        return widget;
    }
    bool checked(const QString& name) const { return child<QCheckBox>(name)->isChecked(); }
    bool shown(const QString& name) const { return child<QWidget>(name)->isVisibleTo(tab.get()); }
    QString text(const QString& name) const { return child<QLabel>(name)->text(); }
    SettingsResultLabel* result(const QString& name) const { return child<SettingsResultLabel>(name); }

    void enableTracking() {
        child<QCheckBox>(QStringLiteral("trackingSwitch"))->click();
        QVERIFY(fixture.state().appUsageSwitch().isActive());
    }
};

const QStringList tabKeys{QStringLiteral("disableTimerWarning"), QStringLiteral("lightMode"),
                          QStringLiteral("showAppUsageInMenu"),  QStringLiteral("appUsageRetentionDays"),
                          QStringLiteral("useDefaultBrowser"),   QStringLiteral("popupBrowserWidth"),
                          QStringLiteral("popupBrowserHeight"),  QStringLiteral("debugLoggingEnabled")};

QCoro::Task<BrowserUrlProbeResult> probeFound() {
    co_return BrowserUrlProbeResult{true, onHeap(u"Got URL: https://example.org/page")};
}

QCoro::Task<BrowserUrlProbeResult> probeNotRunning() {
    co_return BrowserUrlProbeResult{false, onHeap(u"No browser window is open")};
}

QCoro::Task<BrowserUrlProbeResult> probeSilent() {
    co_return BrowserUrlProbeResult{false, QString()};
}

QCoro::Task<BrowserUrlProbeResult> probeThrows() {
    throw std::runtime_error("the browser's session bus went away");
    co_return BrowserUrlProbeResult{};
}

} // namespace

class PreferencesTabTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptyStoreShowsDefaultsAndWritesNothing();
    void storedValues_data();
    void storedValues();
    void switchesWriteTheirKey_data();
    void switchesWriteTheirKey();
    void retentionAndPopupSizeWrite();
    void trackingSwitchGoesThroughAppState();
    void silentModeThroughAppState();
    void launchAtLoginWritesAndRemovesTheEntry();
    void launchAtLoginShowsWhatIsOnDisk();
    void launchAtLoginFailureShown();
    void clearAllAsksThenClearsMemoryAndFiles_data();
    void clearAllAsksThenClearsMemoryAndFiles();
    void clearAllFailureShown();
    void windowTitlesPolledWhileShown();
    void browserUrlTest_data();
    void browserUrlTest();
    void browserUrlTestWithoutProbe();
    void showLogOpensTheLogWindow();
};

void PreferencesTabTest::emptyStoreShowsDefaultsAndWritesNothing() {
    Rig rig;
    QVERIFY(!rig.checked(QStringLiteral("launchAtLoginSwitch")));
    QVERIFY(!rig.checked(QStringLiteral("disableTimerWarningSwitch")));
    QVERIFY(!rig.checked(QStringLiteral("lightModeSwitch")));
    QVERIFY(!rig.checked(QStringLiteral("defaultBrowserSwitch")));
    QVERIFY(rig.shown(QStringLiteral("popupSizeRows")));
    QCOMPARE(rig.text(QStringLiteral("popupSizeLabel")), QStringLiteral("900 × 700"));
    QCOMPARE(rig.child<QComboBox>(QStringLiteral("retentionPicker"))->currentText(),
             QStringLiteral("30 days"));
    QVERIFY(rig.checked(QStringLiteral("showInMenuSwitch")));
    QVERIFY(!rig.checked(QStringLiteral("debugLoggingSwitch")));
    // Tracking is off: its rows and the two sections that depend on it are hidden.
    QVERIFY(!rig.checked(QStringLiteral("trackingSwitch")));
    QVERIFY(!rig.shown(QStringLiteral("trackingRows")));
    QVERIFY(!rig.shown(QStringLiteral("windowTitlesSection")));
    QVERIFY(!rig.shown(QStringLiteral("browserUrlSection")));
    QCOMPARE(rig.text(QStringLiteral("silentModeStatus")), QStringLiteral("Inactive"));
    QVERIFY(rig.shown(QStringLiteral("silentEnableButton")));
    QVERIFY(!rig.shown(QStringLiteral("silentDisableButton")));

    rig.tab->load();
    for (const QString& key : tabKeys) {
        QVERIFY2(!rig.fixture.settings.contains(key), qPrintable(key));
    }
    QVERIFY(!QFile::exists(rig.launch.entryPath()));
}

void PreferencesTabTest::storedValues_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("retention");
    QTest::addColumn<QString>("sizeText");
    QTest::addColumn<QString>("retentionText");
    QTest::addColumn<int>("widthSteps");
    QTest::newRow("zeros mean the defaults") << 0 << 0 << 0 << "900 × 700"
                                             << "30 days" << 18;
    QTest::newRow("stored choices") << 1200 << 450 << 90 << "1200 × 450"
                                    << "90 days" << 24;
    QTest::newRow("a retention set by hand") << 600 << 1000 << 45 << "600 × 1000"
                                             << "45 days" << 12;
}

void PreferencesTabTest::storedValues() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, retention);
    QFETCH(QString, sizeText);
    QFETCH(QString, retentionText);
    QFETCH(int, widthSteps);
    Rig rig;
    rig.fixture.settings.setPopupBrowserWidth(width);
    rig.fixture.settings.setPopupBrowserHeight(height);
    rig.fixture.settings.setAppUsageRetentionDays(retention);
    rig.fixture.settings.setLightMode(true);
    rig.fixture.settings.setShowAppUsageInMenu(false);
    rig.tab->load();
    QCOMPARE(rig.text(QStringLiteral("popupSizeLabel")), sizeText);
    QCOMPARE(rig.child<QSlider>(QStringLiteral("widthSlider"))->value(), widthSteps);
    QCOMPARE(rig.child<QComboBox>(QStringLiteral("retentionPicker"))->currentText(), retentionText);
    QVERIFY(rig.checked(QStringLiteral("lightModeSwitch")));
    QVERIFY(!rig.checked(QStringLiteral("showInMenuSwitch")));
    // Loading wrote nothing back.
    QCOMPARE(rig.fixture.settings.value(QStringLiteral("popupBrowserWidth")).toInt(), width);
    QCOMPARE(rig.fixture.settings.value(QStringLiteral("appUsageRetentionDays")).toInt(), retention);
}

void PreferencesTabTest::switchesWriteTheirKey_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("firstValue");
    QTest::newRow("timer warning") << "disableTimerWarningSwitch"
                                   << "disableTimerWarning" << true;
    QTest::newRow("light mode") << "lightModeSwitch"
                                << "lightMode" << true;
    QTest::newRow("default browser") << "defaultBrowserSwitch"
                                     << "useDefaultBrowser" << true;
    QTest::newRow("debug logging") << "debugLoggingSwitch"
                                   << "debugLoggingEnabled" << true;
    QTest::newRow("show in menu bar") << "showInMenuSwitch"
                                      << "showAppUsageInMenu" << false;
}

void PreferencesTabTest::switchesWriteTheirKey() {
    QFETCH(QString, control);
    QFETCH(QString, key);
    QFETCH(bool, firstValue);
    Rig rig;
    rig.enableTracking();
    auto* box = rig.child<QCheckBox>(control);
    box->click();
    QCOMPARE(rig.fixture.settings.value(key).toBool(), firstValue);
    box->click();
    QCOMPARE(rig.fixture.settings.value(key).toBool(), !firstValue);
    // Shown again, the tab reads what it wrote.
    rig.tab->load();
    QCOMPARE(box->isChecked(), !firstValue);
}

void PreferencesTabTest::retentionAndPopupSizeWrite() {
    Rig rig;
    rig.enableTracking();
    auto* retention = rig.child<QComboBox>(QStringLiteral("retentionPicker"));
    retention->setCurrentIndex(retention->findText(QStringLiteral("7 days")));
    QCOMPARE(rig.fixture.settings.value(QStringLiteral("appUsageRetentionDays")).toInt(), 7);

    rig.child<QSlider>(QStringLiteral("widthSlider"))->setValue(20);
    rig.child<QSlider>(QStringLiteral("heightSlider"))->setValue(9);
    QCOMPARE(rig.fixture.settings.value(QStringLiteral("popupBrowserWidth")).toInt(), 1000);
    QCOMPARE(rig.fixture.settings.value(QStringLiteral("popupBrowserHeight")).toInt(), 450);
    QCOMPARE(rig.text(QStringLiteral("popupSizeLabel")), QStringLiteral("1000 × 450"));
    // The sliders cannot leave their ranges (600 to 1400, 400 to 1000).
    rig.child<QSlider>(QStringLiteral("widthSlider"))->setValue(100);
    rig.child<QSlider>(QStringLiteral("heightSlider"))->setValue(1);
    QCOMPARE(rig.fixture.settings.value(QStringLiteral("popupBrowserWidth")).toInt(), 1400);
    QCOMPARE(rig.fixture.settings.value(QStringLiteral("popupBrowserHeight")).toInt(), 400);

    // The default browser hides the size rows and keeps the stored size.
    rig.child<QCheckBox>(QStringLiteral("defaultBrowserSwitch"))->click();
    QVERIFY(!rig.shown(QStringLiteral("popupSizeRows")));
    QCOMPARE(rig.fixture.settings.value(QStringLiteral("popupBrowserWidth")).toInt(), 1400);
}

void PreferencesTabTest::trackingSwitchGoesThroughAppState() {
    Rig rig;
    rig.fixture.settings.setIsWindowTitleTrackingEnabled(false);
    rig.child<QCheckBox>(QStringLiteral("trackingSwitch"))->click();
    QVERIFY(rig.fixture.state().appUsageSwitch().isActive());
    QVERIFY(rig.fixture.settings.isAppUsageTrackingEnabled());
    QVERIFY(rig.tracker.service.isTracking());
    QVERIFY(rig.shown(QStringLiteral("trackingRows")));
    QVERIFY(rig.shown(QStringLiteral("windowTitlesSection")));
    QVERIFY(rig.shown(QStringLiteral("browserUrlSection")));

    rig.child<QCheckBox>(QStringLiteral("trackingSwitch"))->click();
    QVERIFY(!rig.fixture.state().appUsageSwitch().isActive());
    QVERIFY(!rig.fixture.settings.isAppUsageTrackingEnabled());
    QVERIFY(!rig.tracker.service.isTracking());
    QVERIFY(!rig.shown(QStringLiteral("trackingRows")));
    QVERIFY(!rig.shown(QStringLiteral("windowTitlesSection")));

    // A change made elsewhere (the configuration loaded with tracking on) shows too.
    rig.fixture.settings.setIsAppUsageTrackingEnabled(true);
    rig.fixture.loadConfiguration();
    QVERIFY(rig.checked(QStringLiteral("trackingSwitch")));
    QVERIFY(rig.shown(QStringLiteral("trackingRows")));
}

void PreferencesTabTest::silentModeThroughAppState() {
    Rig rig;
    auto* enable = rig.child<QToolButton>(QStringLiteral("silentEnableButton"));
    const QList<QAction*> choices = enable->menu()->actions();
    QStringList texts;
    for (const QAction* action : choices) {
        texts.append(action->text());
    }
    QCOMPARE(texts, (QStringList{QStringLiteral("1 hour"), QStringLiteral("4 hours"), QStringLiteral("1 day"),
                                 QStringLiteral("2 days")}));
    const QDateTime before = QDateTime::currentDateTime();
    choices.at(1)->trigger();
    QTRY_VERIFY(rig.fixture.state().silentMode().isActive());
    QCOMPARE(rig.text(QStringLiteral("silentModeStatus")), QStringLiteral("Active"));
    QVERIFY(rig.shown(QStringLiteral("silentDisableButton")));
    QVERIFY(!rig.shown(QStringLiteral("silentEnableButton")));
    const std::optional<QDateTime> end = rig.fixture.settings.silentModeEnd();
    QVERIFY(end.has_value());
    QVERIFY(qAbs(before.secsTo(*end) - 14400) <= 5);

    rig.child<QPushButton>(QStringLiteral("silentDisableButton"))->click();
    QTRY_VERIFY(!rig.fixture.state().silentMode().isActive());
    QCOMPARE(rig.text(QStringLiteral("silentModeStatus")), QStringLiteral("Inactive"));
    QVERIFY(!rig.fixture.settings.silentModeEnd().has_value());
}

void PreferencesTabTest::launchAtLoginWritesAndRemovesTheEntry() {
    Rig rig;
    auto* launch = rig.child<QCheckBox>(QStringLiteral("launchAtLoginSwitch"));
    launch->click();
    QVERIFY(launch->isChecked());
    QFile entry(rig.launch.entryPath());
    QVERIFY(entry.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(entry.readAll());
    entry.close();
    QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    QVERIFY(text.contains(QStringLiteral("\nExec=\"/opt/Pendlow Test/pendlow\"\n")));
    QVERIFY(text.contains(QStringLiteral("\nType=Application\n")));

    launch->click();
    QVERIFY(!launch->isChecked());
    QVERIFY(!QFile::exists(rig.launch.entryPath()));
}

void PreferencesTabTest::launchAtLoginShowsWhatIsOnDisk() {
    Rig rig;
    QDir().mkpath(QFileInfo(rig.launch.entryPath()).absolutePath());
    QFile entry(rig.launch.entryPath());
    QVERIFY(entry.open(QIODevice::WriteOnly));
    entry.write("[Desktop Entry]\nType=Application\nName=Pendlow\nExec=/usr/bin/pendlow\nHidden=true\n");
    entry.close();
    rig.tab->load();
    QVERIFY(!rig.checked(QStringLiteral("launchAtLoginSwitch")));
    // Switching on replaces the hidden entry with one that starts.
    rig.child<QCheckBox>(QStringLiteral("launchAtLoginSwitch"))->click();
    QVERIFY(rig.launch.isEnabled());
    QVERIFY(rig.checked(QStringLiteral("launchAtLoginSwitch")));
}

void PreferencesTabTest::launchAtLoginFailureShown() {
    Rig rig;
    // A folder that cannot be made, even by root.
    LaunchAtLogin broken(QStringLiteral("/proc/self/fdinfo/autostart/pendlow.desktop"),
                         QStringLiteral("/usr/bin/pendlow"));
    rig.tab.reset();
    auto tab = std::make_unique<PreferencesTab>(PreferencesTab::Services{
        .settings = rig.fixture.settings, .usageStorage = rig.tracker.storage, .launchAtLogin = broken});
    tab->load();
    LogCapture log;
    auto* launch = tab->findChild<QCheckBox*>(QStringLiteral("launchAtLoginSwitch"));
    launch->click();
    QVERIFY(!launch->isChecked());
    auto* result = tab->findChild<SettingsResultLabel*>(QStringLiteral("launchAtLoginResult"));
    QVERIFY(!result->isSuccess());
    QVERIFY(result->message().startsWith(QStringLiteral("Launch at login failed: Could not change ")));
    QCOMPARE(log.count(QStringLiteral("[General] Launch at login failed: ")), 1);
}

void PreferencesTabTest::clearAllAsksThenClearsMemoryAndFiles_data() {
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("confirmed") << true;
    QTest::newRow("cancelled") << false;
}

void PreferencesTabTest::clearAllAsksThenClearsMemoryAndFiles() {
    QFETCH(bool, confirmed);
    Rig rig;
    rig.confirm = confirmed;
    rig.enableTracking();
    const AppUsageSession morning = session(onHeap(u"org.mozilla.firefox"), onHeap(u"Firefox"),
                                            at(QStringLiteral("09:00")), at(QStringLiteral("09:30")));
    rig.tracker.storage.save({morning}, day());
    rig.tracker.storage.save({morning}, day().addDays(-3));
    rig.tracker.service.setTodaySessions({morning});
    rig.tracker.service.setCurrentSession(session(onHeap(u"org.gnome.Terminal"), onHeap(u"Terminal"),
                                                  at(QStringLiteral("09:30")), std::nullopt));

    rig.child<QPushButton>(QStringLiteral("clearAllButton"))->click();
    QCOMPARE(rig.confirmations, 1);
    if (confirmed) {
        QVERIFY(!QDir(rig.tracker.storage.usageDirectory()).exists());
        QVERIFY(rig.tracker.service.todaySessions().isEmpty());
        QVERIFY(!rig.tracker.service.currentSession().has_value());
        QVERIFY(rig.result(QStringLiteral("clearResult"))->isSuccess());
        // The tracker's next save writes no old session back.
        rig.tracker.service.saveData();
        QVERIFY(rig.tracker.storage.load(day()).isEmpty());
    } else {
        QCOMPARE(rig.tracker.storage.availableDates().size(), 2);
        QCOMPARE(rig.tracker.service.todaySessions().size(), 1);
        QVERIFY(rig.tracker.service.currentSession().has_value());
        QVERIFY(rig.result(QStringLiteral("clearResult"))->message().isEmpty());
    }
    QVERIFY(rig.child<QPushButton>(QStringLiteral("clearAllButton"))->isEnabled());
}

void PreferencesTabTest::clearAllFailureShown() {
    // A folder whose entries nobody may remove, root included.
    AppUsageStorageService undeletable(QStringLiteral("/proc/self/fdinfo"));
    Rig rig({}, &undeletable);
    rig.enableTracking();
    LogCapture log;
    rig.child<QPushButton>(QStringLiteral("clearAllButton"))->click();
    SettingsResultLabel* result = rig.result(QStringLiteral("clearResult"));
    QVERIFY(!result->isSuccess());
    QVERIFY2(result->message().startsWith(QStringLiteral("Could not delete all usage data: ")),
             qPrintable(result->message()));
    QVERIFY(rig.child<QPushButton>(QStringLiteral("clearAllButton"))->isEnabled());
    QCOMPARE(log.count(QStringLiteral("Clearing all usage data failed")), 1);
}

void PreferencesTabTest::windowTitlesPolledWhileShown() {
    Rig rig;
    rig.titlesReadable = false;
    rig.enableTracking();
    rig.tab->show();
    rig.tab->load();
    QVERIFY(QTest::qWaitForWindowExposed(rig.tab.get()));
    QVERIFY(!rig.shown(QStringLiteral("windowTitlesCheck")));
    QVERIFY(rig.shown(QStringLiteral("windowTitlesWarning")));
    auto* needed = rig.child<QPushButton>(QStringLiteral("whatIsNeededButton"));
    QVERIFY(needed->isVisibleTo(rig.tab.get()));
    needed->click();
    QVERIFY(rig.shown(QStringLiteral("whatIsNeededText")));
    QVERIFY(rig.text(QStringLiteral("whatIsNeededText")).contains(QStringLiteral("_NET_ACTIVE_WINDOW")));

    // Within one poll of becoming readable, the check mark replaces the explanation.
    rig.titlesReadable = true;
    QTRY_VERIFY_WITH_TIMEOUT(rig.shown(QStringLiteral("windowTitlesCheck")),
                             PreferencesTab::permissionPollMs + 2000);
    QVERIFY(!rig.shown(QStringLiteral("windowTitlesWarning")));
    QVERIFY(!needed->isVisibleTo(rig.tab.get()));

    rig.tab->hide();
    QVERIFY(!rig.tab->permissionTimer().isActive());
}

void PreferencesTabTest::browserUrlTest_data() {
    QTest::addColumn<int>("probe");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("message");
    QTest::newRow("an address") << 0 << true << "Got URL: https://example.org/page";
    QTest::newRow("no browser") << 1 << false << "No browser window is open";
    QTest::newRow("no reason given") << 2 << false << "Unknown error";
    QTest::newRow("the probe throws") << 3 << false << "the browser's session bus went away";
}

void PreferencesTabTest::browserUrlTest() {
    QFETCH(int, probe);
    QFETCH(bool, success);
    QFETCH(QString, message);
    const QList<PreferencesTab::UrlProbe> probes{probeFound, probeNotRunning, probeSilent, probeThrows};
    Rig rig(probes.at(probe));
    rig.enableTracking();
    QSignalSpy finished(rig.tab.get(), &PreferencesTab::urlTestFinished);
    auto* test = rig.child<QPushButton>(QStringLiteral("urlTestButton"));
    QVERIFY(test->isEnabled());
    test->click();
    QTRY_COMPARE(finished.size(), 1);
    SettingsResultLabel* result = rig.result(QStringLiteral("urlTestResult"));
    QCOMPARE(result->message(), message);
    QCOMPARE(result->isSuccess(), success);
    QVERIFY(test->isEnabled());
}

void PreferencesTabTest::browserUrlTestWithoutProbe() {
    Rig rig;
    rig.enableTracking();
    QVERIFY(!rig.child<QPushButton>(QStringLiteral("urlTestButton"))->isEnabled());
}

void PreferencesTabTest::showLogOpensTheLogWindow() {
    int reads = 0;
    Rig rig({}, nullptr, [&reads] {
        ++reads;
        return LogExcerpt{onHeap(u"standard error: /tmp/pendlow.log"),
                          {onHeap(u"info [General] first"), onHeap(u"error [API] second")},
                          {}};
    });
    rig.child<QPushButton>(QStringLiteral("showLogButton"))->click();
    LogWindow* window = rig.tab->logWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->logText(), QStringLiteral("info [General] first\nerror [API] second"));
    // Pressed again, the same window is raised and read anew.
    rig.child<QPushButton>(QStringLiteral("showLogButton"))->click();
    QCOMPARE(rig.tab->logWindow(), window);
    QCOMPARE(reads, 2);
}

PENDLOW_TEST_MAIN(PreferencesTabTest)
#include "tst_PreferencesTab.moc"
