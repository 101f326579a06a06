// The popover's activity section: the texts, the five longest applications and the "+N more" lines,
// the empty state, today's sessions only, and the switch that turns tracking on; and the root state's
// tracking switches.
#include "support/TestMain.h"

#include "services/usage/AppUsageSwitch.h"
#include "support/AppStateFixture.h"
#include "support/UsageSamples.h"
#include "support/UsageTrackerRig.h"
#include "ui/menubar/AppUsageRow.h"
#include "ui/menubar/AppUsageSection.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/UsageShareBar.h"

#include <QLabel>
#include <QPushButton>

using namespace usagesamples;

namespace {
QString labelText(const QWidget& root, const QString& name) {
    const auto* label = root.findChild<QLabel*>(name);
    return label && label->isVisibleTo(&root) ? label->text() : QString();
}

QList<AppUsageRow*> rows(const QWidget& root) {
    return root.findChildren<AppUsageRow*>(QStringLiteral("appUsageRow"));
}
} // namespace

class AppUsageSectionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    // The application builds the popover before it hands the tracker to the state: once shown, the
    // section draws the tracker's day and follows its changes.
    void followsATrackerHandedInLater() {
        AppStateFixture fixture(at(QStringLiteral("18:00")));
        fixture.settings.setIsAppUsageTrackingEnabled(true);
        fixture.loadConfiguration();
        AppUsageSection section;
        MenuBarView::bindAppUsageSection(section, fixture.state());
        UsageTrackerRig tracker(fixture.settings);
        tracker.service.setTodaySessions({session(QStringLiteral("a"), QStringLiteral("A"),
                                                  at(QStringLiteral("09:00")), at(QStringLiteral("09:30")))});
        fixture.state().setAppUsageService(&tracker.service);
        section.show();
        QTRY_COMPARE(rows(section).size(), 1);
        tracker.service.setTodaySessions({session(QStringLiteral("a"), QStringLiteral("A"),
                                                  at(QStringLiteral("09:00")), at(QStringLiteral("09:30"))),
                                          session(QStringLiteral("b"), QStringLiteral("B"),
                                                  at(QStringLiteral("10:00")), at(QStringLiteral("10:30")))});
        QTRY_COMPARE(rows(section).size(), 2);
    }

    void activeLayout_data() {
        QTest::addColumn<int>("apps");
        QTest::addColumn<int>("contexts");
        QTest::addColumn<QString>("moreApps");
        QTest::addColumn<QString>("moreContexts");
        QTest::newRow("seven apps, seven contexts") << 7 << 7 << "+2 more apps"
                                                    << "+2 more";
        QTest::newRow("five apps, no contexts") << 5 << 0 << ""
                                                << "";
        QTest::newRow("two apps, five contexts") << 2 << 5 << ""
                                                 << "";
    }

    void activeLayout() {
        QFETCH(int, apps);
        QFETCH(int, contexts);
        AppStateFixture fixture(at(QStringLiteral("18:00")));
        UsageTrackerRig tracker(fixture.settings);
        fixture.state().setAppUsageService(&tracker.service);
        fixture.settings.setIsAppUsageTrackingEnabled(true);
        fixture.loadConfiguration();
        QList<AppUsageSession> sessions;
        for (int i = 0; i < apps; ++i) {
            // App i runs (i + 1) * 10 minutes, so the order is known.
            AppUsageSession s = session(QStringLiteral("app%1").arg(i), QStringLiteral("App %1").arg(i),
                                        at(QStringLiteral("09:00")).addSecs(i * 3600),
                                        at(QStringLiteral("09:00")).addSecs(i * 3600 + (i + 1) * 600));
            if (i == 0) {
                for (int c = 0; c < contexts; ++c) {
                    s.addCapture(capture(QStringLiteral("file%1.txt - Editor").arg(c)));
                }
            }
            sessions << s;
        }
        // A session of yesterday is not counted.
        sessions << session(QStringLiteral("old"), QStringLiteral("Old"),
                            at(QStringLiteral("09:00")).addDays(-1), at(QStringLiteral("17:00")).addDays(-1));
        tracker.service.setTodaySessions(sessions);

        AppUsageSection section;
        MenuBarView::bindAppUsageSection(section, fixture.state());
        QCOMPARE(labelText(section, QStringLiteral("activityTitle")), QStringLiteral("Today's Activity"));
        const int totalMinutes = 10 * apps * (apps + 1) / 2;
        QCOMPARE(labelText(section, QStringLiteral("activityTotal")),
                 totalMinutes >= 60 ? QStringLiteral("%1h %2m").arg(totalMinutes / 60).arg(totalMinutes % 60)
                                    : QStringLiteral("%1m").arg(totalMinutes));
        const QList<AppUsageRow*> shown = rows(section);
        QCOMPARE(shown.size(), qMin(apps, 5));
        QCOMPARE(shown.first()->nameLabel()->text(), QStringLiteral("App %1").arg(apps - 1));
        QTEST(labelText(section, QStringLiteral("moreApps")), "moreApps");
        QTEST(labelText(section, QStringLiteral("moreContexts")), "moreContexts");
        QCOMPARE(labelText(section, QStringLiteral("contextTitle")).isEmpty(), contexts == 0);
        if (contexts > 0) {
            QCOMPARE(labelText(section, QStringLiteral("contextLine")).count(QStringLiteral(", ")),
                     qMin(contexts, 5) - 1);
        }
    }

    void rowTexts() {
        const AppUsageRow row(AppUsageBreakdown{QStringLiteral("x"), QStringLiteral("Editor"), 3725, 140.4});
        QCOMPARE(row.durationLabel()->text(), QStringLiteral("1h 2m"));
        QCOMPARE(row.percentageLabel()->text(), QStringLiteral("140%"));
        QCOMPARE(row.shareBar()->share(), 1.404);
        UsageShareBar bar(1.404, Qt::red);
        bar.resize(100, 6);
        QCOMPARE(bar.fillWidth(), 100); // more than 100 % fills the bar
        UsageShareBar empty(0, Qt::red);
        empty.resize(100, 6);
        QCOMPARE(empty.fillWidth(), 0);
    }

    void emptyStateUntilASessionEnds() {
        AppStateFixture fixture(at(QStringLiteral("09:00")));
        UsageTrackerRig tracker(fixture.settings);
        fixture.state().setAppUsageService(&tracker.service);
        fixture.settings.setIsAppUsageTrackingEnabled(true);
        fixture.loadConfiguration();
        tracker.front.activate(tracker.front.window(QStringLiteral("a"), QStringLiteral("A")));
        fixture.state().appUsageSwitch().startIfEnabled();
        QVERIFY(tracker.service.isTracking());

        AppUsageSection section;
        MenuBarView::bindAppUsageSection(section, fixture.state());
        QCOMPARE(labelText(section, QStringLiteral("activityEmpty")),
                 QStringLiteral("No activity tracked yet"));
        QCOMPARE(labelText(section, QStringLiteral("activityTotal")), QStringLiteral("<1m"));
        QVERIFY(rows(section).isEmpty());

        fixture.clock().advance(300);
        tracker.front.activate(tracker.front.window(QStringLiteral("b"), QStringLiteral("B")));
        QCOMPARE(rows(section).size(), 1);
        QCOMPARE(labelText(section, QStringLiteral("activityTotal")), QStringLiteral("5m"));
        tracker.service.stopTracking();
    }

    void enableTrackingTurnsItOnAndKeepsTitleCaptureAsSet() {
        AppStateFixture fixture(at(QStringLiteral("09:00")));
        UsageTrackerRig tracker(fixture.settings);
        fixture.state().setAppUsageService(&tracker.service);
        fixture.settings.setIsWindowTitleTrackingEnabled(false);
        fixture.loadConfiguration();
        AppUsageSection section;
        MenuBarView::bindAppUsageSection(section, fixture.state());
        QCOMPARE(labelText(section, QStringLiteral("trackingDisabled")),
                 QStringLiteral("Activity tracking is disabled"));
        QCOMPARE(labelText(section, QStringLiteral("trackingHint")),
                 QStringLiteral("Track which apps you use to help fill your timesheet"));
        auto* enable = section.findChild<QPushButton*>(QStringLiteral("enableTracking"));
        QVERIFY(enable);
        enable->click();
        QVERIFY(fixture.settings.isAppUsageTrackingEnabled());
        QVERIFY(fixture.state().appUsageSwitch().isActive());
        QVERIFY(tracker.service.isTracking());
        QVERIFY(!fixture.settings.isWindowTitleTrackingEnabled());
        QTRY_VERIFY(!labelText(section, QStringLiteral("activityTotal")).isEmpty());

        // Switching off stores it and stops the tracker; the same value twice changes nothing.
        fixture.state().appUsageSwitch().setEnabled(false);
        QVERIFY(!fixture.settings.isAppUsageTrackingEnabled());
        QVERIFY(!tracker.service.isTracking());
        fixture.state().appUsageSwitch().setEnabled(false);
        QVERIFY(!tracker.service.isTracking());
    }
};

PENDLOW_TEST_MAIN(AppUsageSectionTest)
#include "tst_AppUsageSection.moc"
