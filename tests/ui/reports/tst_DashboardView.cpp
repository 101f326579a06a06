// The day dashboard: built from a summary and the day's entries; a drag across its timeline sets the
// range (filter bar, "(filtered)", whole sessions, entries that touch the range, rows spanning the
// range), "Clear" brings the whole day back; a day without sessions; another day clears the filter.
#include "support/FakeClock.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "ui/reports/ApplicationsSection.h"
#include "ui/reports/BreakdownGrid.h"
#include "ui/reports/DashboardView.h"
#include "ui/reports/EmptyBreakdownView.h"
#include "ui/reports/ExpandableAppRow.h"
#include "ui/reports/FilterIndicatorBar.h"
#include "ui/reports/SummaryBanner.h"
#include "ui/reports/TimelineSectionWithSelection.h"
#include "ui/reports/WebsitesSection.h"

#include <QLabel>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QToolButton>

using namespace usagesamples;

namespace {
DailyUsageSummary sampleDay() {
    // 09:00-14:00 on the timeline; a two-hour session from 10:00.
    return DailyUsageSummary{
        day(),
        {session(QStringLiteral("com.google.Chrome"), QStringLiteral("Chrome"), at("09:00"), at("09:40")),
         session(QStringLiteral("com.microsoft.VSCode"), QStringLiteral("Code"), at("10:00"), at("12:00"),
                 QStringLiteral("86abc")),
         session(QStringLiteral("com.apple.Terminal"), QStringLiteral("Terminal"), at("13:00"), at("13:30"))},
        std::nullopt,
        std::nullopt};
}

TimeEntry entry(const QString& name, const QString& from, const QString& to) {
    TimeEntry result;
    result.id = name;
    result.taskName = name;
    result.startTime = at(from);
    result.endTime = at(to);
    return result;
}

void dragAcross(TimelineSectionWithSelection* timeline, double fromX, double toX) {
    const auto send = [timeline](QEvent::Type type, double x, Qt::MouseButton button,
                                 Qt::MouseButtons buttons) {
        const QPointF position(x, 30);
        QMouseEvent event(type, position, timeline->mapToGlobal(position), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(timeline, &event);
    };
    send(QEvent::MouseButtonPress, fromX, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, (fromX + toX) / 2, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseMove, toX, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, toX, Qt::LeftButton, Qt::NoButton);
}

// x of a moment on the timeline's track (the whole day's axis).
double xOf(const TimelineSectionWithSelection& timeline, const QDateTime& moment) {
    return timeline.trackX() +
           double(timeline.spanStart().secsTo(moment)) / timeline.spanSeconds() * timeline.trackWidth();
}
} // namespace

class DashboardViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void aDragSetsTheRangeAndClearBringsTheDayBack() {
        FakeClock clock(at("18:00"));
        DashboardView view(sampleDay(), {entry(QStringLiteral("Stand-up"), "09:00", "09:15"),
                                         entry(QStringLiteral("Feature"), "10:30", "11:10")});
        view.resize(900, 700);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        TimelineSectionWithSelection* timeline = view.timeline();
        QVERIFY(!view.filterBar()->isVisible());
        QCOMPARE(timeline->height(), 84);
        QCOMPARE(timeline->spanSeconds(), 5 * 3600.0);
        QCOMPARE(view.banner()->text(), QStringLiteral("All Activities: 3h 10m of App Usage"));
        QSignalSpy changed(&view, &DashboardView::filterChanged);

        view.grid()->applications()->rows()[0]->toggle(); // Code unfolded
        // 11:05-11:15: inside the two-hour session only.
        dragAcross(timeline, xOf(*timeline, at("11:05")), xOf(*timeline, at("11:15")));
        QCOMPARE(changed.size(), 1);
        QVERIFY(view.filterStartTime().has_value());
        QVERIFY(qAbs(view.filterStartTime()->secsTo(at("11:05"))) <= 30);
        QVERIFY(qAbs(view.filterEndTime()->secsTo(at("11:15"))) <= 30);
        QVERIFY(view.filterBar()->isVisible());
        QCOMPARE(view.filterBar()->text(),
                 QStringLiteral("Filter: ") + view.filterStartTime()->toString(QStringLiteral("HH:mm")) +
                     QStringLiteral(" - ") + view.filterEndTime()->toString(QStringLiteral("HH:mm")));
        // The session is kept whole; only the entry inside the range stays.
        QCOMPARE(view.banner()->text(), QStringLiteral("All Activities: 2h 0m of App Usage (filtered)"));
        QCOMPARE(view.banner()->sessionCountLabel()->text(), QStringLiteral("1 sessions"));
        QCOMPARE(view.filteredTimeEntries().size(), 1);
        QCOMPARE(timeline->entries().size(), 1);
        // The rows span the range rounded out to full hours; no new selection meanwhile.
        QCOMPARE(timeline->spanStart(), at("11:00"));
        QCOMPARE(timeline->spanSeconds(), 3600.0);
        QVERIFY(!timeline->isSelectable());
        QCOMPARE(view.grid()->applications()->rows().size(), 1);
        QVERIFY(view.grid()->applications()->rows()[0]->isExpanded()); // still unfolded

        QTest::mouseClick(view.filterBar()->clearButton(), Qt::LeftButton);
        QCOMPARE(changed.size(), 2);
        QVERIFY(!view.filterStartTime().has_value());
        QVERIFY(!view.filterEndTime().has_value());
        QVERIFY(!view.filterBar()->isVisible());
        QVERIFY(timeline->isSelectable());
        QCOMPARE(timeline->spanStart(), at("09:00"));
        QCOMPARE(timeline->entries().size(), 2);
        QCOMPARE(view.banner()->text(), QStringLiteral("All Activities: 3h 10m of App Usage"));
    }

    // The mended mapping: a drag to the right end of the drawn track selects up to the span's end.
    void aDragToTheTracksEndReachesTheDaysEnd() {
        FakeClock clock(at("18:00"));
        DashboardView view(sampleDay(), {});
        view.resize(900, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        TimelineSectionWithSelection* timeline = view.timeline();
        QCOMPARE(timeline->height(), 56);
        const double railEnd = timeline->appRail().right();
        dragAcross(timeline, xOf(*timeline, at("11:30")), railEnd);
        QCOMPARE(view.filterEndTime(), at("14:00"));
        QCOMPARE(view.filteredSummary().sessions.size(), 2);
    }

    void aShortDragChangesNothing() {
        FakeClock clock(at("18:00"));
        DashboardView view(sampleDay(), {});
        view.resize(900, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QSignalSpy changed(&view, &DashboardView::filterChanged);
        TimelineSectionWithSelection* timeline = view.timeline();
        // Far enough to count as a drag, but under five minutes of the day.
        dragAcross(timeline, xOf(*timeline, at("10:00")), xOf(*timeline, at("10:04:30")));
        QVERIFY(xOf(*timeline, at("10:04:30")) - xOf(*timeline, at("10:00")) >= 10);
        QCOMPARE(changed.size(), 0);
        QVERIFY(!view.filterStartTime().has_value());
        QVERIFY(!view.filterBar()->isVisible());
    }

    void entriesTouchingTheRange_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("kept");
        QTest::newRow("ends at the range start") << "09:00"
                                                 << "10:00" << true;
        QTest::newRow("ends a second before") << "09:00"
                                              << "09:59:59" << false;
        QTest::newRow("starts at the range end") << "11:00"
                                                 << "11:30" << true;
        QTest::newRow("starts a second after") << "11:00:01"
                                               << "11:30" << false;
        QTest::newRow("spans the range") << "08:00"
                                         << "12:00" << true;
    }

    void entriesTouchingTheRange() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, kept);
        const QList<TimeEntry> entries{entry(QStringLiteral("Task"), from, to)};
        QCOMPARE(DashboardView::entriesInRange(entries, at("10:00"), at("11:00")).size(), kept ? 1 : 0);
        // With a bound missing, all entries stay.
        QCOMPARE(DashboardView::entriesInRange(entries, at("10:00"), std::nullopt).size(), 1);
    }

    // Sessions touching the range at one instant are kept; an open session ends now.
    void sessionsTouchingTheRange() {
        FakeClock clock(at("16:00"));
        DailyUsageSummary summary = sampleDay();
        summary.sessions << session(QStringLiteral("org.example.Open"), QStringLiteral("Open"), at("15:00"),
                                    std::nullopt);
        DashboardView view(summary, {});
        view.setFilter(at("12:00"), at("13:00"));
        QCOMPARE(view.filteredSummary().sessions.size(), 2);
        view.setFilter(at("15:50"), at("15:55"));
        QCOMPARE(view.filteredSummary().sessions.size(), 1);
        QCOMPARE(view.banner()->text(), QStringLiteral("All Activities: 1h 0m of App Usage (filtered)"));
    }

    void aDayWithoutSessions() {
        FakeClock clock(at("18:00"));
        DashboardView view(DailyUsageSummary{day(), {}, std::nullopt, std::nullopt}, {});
        view.resize(900, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.timeline()->isVisible());
        QCOMPARE(view.timeline()->spanStart(), day().startOfDay());
        QCOMPARE(view.timeline()->hourMarkers().size(), 25);
        QCOMPARE(view.banner()->text(), QStringLiteral("All Activities: <1m of App Usage"));
        QVERIFY(view.grid()->websites()->emptyView());
        QVERIFY(!view.filterBar()->isVisible());
    }

    void anotherDayClearsTheFilter() {
        FakeClock clock(at("18:00"));
        DashboardView view(sampleDay(), {});
        view.setFilter(at("10:00"), at("11:00"));
        QVERIFY(view.filterStartTime().has_value());
        view.setDay(DailyUsageSummary{day().addDays(-1), {}, std::nullopt, std::nullopt}, {});
        QVERIFY(!view.filterStartTime().has_value());
        QVERIFY(!view.filterEndTime().has_value());
        QCOMPARE(view.timeline()->spanStart(), day().addDays(-1).startOfDay());
        QVERIFY(view.timeline()->isSelectable());
    }
};

PENDLOW_TEST_MAIN(DashboardViewTest)
#include "tst_DashboardView.moc"
