// The app-usage switch over a settings file of its own and a real tracker on fake window sources:
// switching on and off (the setting, the flag, the tracker and the clean-up of old days), the
// start at launch only when switched on, a missing tracker, and the flag following the setting.
#include "support/FakeClock.h"
#include "support/FakeFrontAppSource.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"
#include "support/UsageSamples.h"

#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageSwitch.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/WindowTitleCaptureService.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <memory>

using namespace usagesamples;

namespace {
struct Tracker {
    explicit Tracker(SettingsStore& settings)
        : privacy(settings)
        , accessibility(front, settings, privacy)
        , service(storage, front, idle, accessibility, settings) {}
    QTemporaryDir folder;
    FakeFrontAppSource front;
    FakeIdleSource idle;
    PrivacyRedaction privacy;
    AppUsageStorageService storage{folder.path()};
    WindowTitleCaptureService accessibility;
    AppUsageTrackingService service;
};
} // namespace

class AppUsageSwitchTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<Tracker> m_tracker;
    std::unique_ptr<AppUsageSwitch> m_switch;

    // A stored day from long ago, which a start removes.
    QDate storeOldDay() {
        const QDate old = day().addDays(-400);
        const QDateTime start = old.startOfDay().addSecs(9 * 3600);
        m_tracker->storage.save(
            {session(QStringLiteral("org.example.old"), QStringLiteral("Old"), start, start.addSecs(600))},
            old);
        return old;
    }

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void init() {
        m_clock = std::make_unique<FakeClock>(at(QStringLiteral("09:00")));
        m_settings = std::make_unique<TestSettings>();
        m_tracker = std::make_unique<Tracker>(*m_settings);
        m_switch = std::make_unique<AppUsageSwitch>(*m_settings);
        m_switch->setTracker(&m_tracker->service);
    }

    void cleanup() {
        m_switch.reset();
        m_tracker->service.stopTracking();
        m_tracker.reset();
        m_settings.reset();
        m_clock.reset();
    }

    void switchingOnAndOff() {
        m_settings->setIsWindowTitleTrackingEnabled(false);
        const QDate old = storeOldDay();
        QVERIFY(m_tracker->storage.availableDates().contains(old));
        QSignalSpy activeSpy(m_switch.get(), &AppUsageSwitch::activeChanged);

        m_switch->setEnabled(true);
        QVERIFY(m_settings->isAppUsageTrackingEnabled());
        QVERIFY(m_switch->isActive());
        QVERIFY(m_tracker->service.isTracking());
        QVERIFY(!m_tracker->storage.availableDates().contains(old));
        QVERIFY(!m_settings->isWindowTitleTrackingEnabled()); // title capture stays as set

        m_switch->setEnabled(false);
        QVERIFY(!m_settings->isAppUsageTrackingEnabled());
        QVERIFY(!m_switch->isActive());
        QVERIFY(!m_tracker->service.isTracking());
        QCOMPARE(activeSpy.count(), 2);
    }

    // The same value as stored changes nothing: no flag, no start.
    void switchingToTheStoredValueDoesNothing() {
        m_settings->setIsAppUsageTrackingEnabled(true);
        QSignalSpy activeSpy(m_switch.get(), &AppUsageSwitch::activeChanged);
        m_switch->setEnabled(true);
        QVERIFY(!m_tracker->service.isTracking());
        QVERIFY(!m_switch->isActive()); // as of the last update
        QCOMPARE(activeSpy.count(), 0);
    }

    void startsAtLaunchOnlyWhenSwitchedOn() {
        const QDate old = storeOldDay();
        m_switch->startIfEnabled();
        QVERIFY(!m_tracker->service.isTracking());
        QVERIFY(m_tracker->storage.availableDates().contains(old));

        m_settings->setIsAppUsageTrackingEnabled(true);
        m_switch->startIfEnabled();
        QVERIFY(m_tracker->service.isTracking());
        QVERIFY(!m_tracker->storage.availableDates().contains(old));
        m_switch->startIfEnabled(); // running already
        QVERIFY(m_tracker->service.isTracking());
    }

    void withoutATrackerOnlyTheSettingAndTheFlagChange() {
        QSignalSpy trackerSpy(m_switch.get(), &AppUsageSwitch::trackerChanged);
        m_switch->setTracker(nullptr);
        m_switch->setTracker(nullptr);
        QCOMPARE(trackerSpy.count(), 1);
        m_switch->setEnabled(true);
        QVERIFY(m_settings->isAppUsageTrackingEnabled());
        QVERIFY(m_switch->isActive());
        m_switch->startIfEnabled();
        m_switch->setEnabled(false);
        QVERIFY(!m_switch->isActive());
        QVERIFY(!m_tracker->service.isTracking());
    }

    void flagFollowsTheSettingAtEachUpdate() {
        QSignalSpy activeSpy(m_switch.get(), &AppUsageSwitch::activeChanged);
        m_settings->setIsAppUsageTrackingEnabled(true);
        QVERIFY(!m_switch->isActive());
        m_switch->update();
        m_switch->update();
        QVERIFY(m_switch->isActive());
        QCOMPARE(activeSpy.count(), 1);
        QVERIFY(!m_tracker->service.isTracking()); // an update starts nothing
    }
};

PENDLOW_TEST_MAIN(AppUsageSwitchTest)
#include "tst_AppUsageSwitch.moc"
