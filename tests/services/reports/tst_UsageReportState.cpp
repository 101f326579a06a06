// The state behind a report window's day list: today first in the list, the last selected day shown
// when loads overlap, and deleting a day (a failure is shown and changes nothing; a removal moves the
// selection to today; a day picked while the delete runs stays picked).
#include "support/FakeClock.h"
#include "support/FakeUsageDayLoader.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "services/reports/UsageReportState.h"

#include <QSignalSpy>

#include <memory>

using namespace usagesamples;

namespace {
const QDate today = day();
const QDate yesterday = day().addDays(-1);
const QDate lastWeek = day().addDays(-7);
} // namespace

class UsageReportStateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<FakeUsageDayLoader> m_loader;

    // Today without sessions, yesterday with one, last week with two, all stored.
    void storeThreeDays() {
        m_loader->dates = {today, yesterday, lastWeek};
        m_loader->summaries.insert(today, FakeUsageDayLoader::summaryWith(today, 0));
        m_loader->summaries.insert(yesterday, FakeUsageDayLoader::summaryWith(yesterday, 1));
        m_loader->summaries.insert(lastWeek, FakeUsageDayLoader::summaryWith(lastWeek, 2));
    }

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void init() {
        m_clock = std::make_unique<FakeClock>(at(QStringLiteral("18:00")));
        m_loader = std::make_unique<FakeUsageDayLoader>();
    }

    void cleanup() {
        m_loader.reset();
        m_clock.reset();
    }

    void dayListStartsWithToday_data() {
        QTest::addColumn<QList<QDate>>("stored");
        QTest::addColumn<bool>("listingFails");
        QTest::addColumn<QList<QDate>>("listed");
        QTest::newRow("no files") << QList<QDate>{} << false << QList<QDate>{today};
        QTest::newRow("past days only")
            << QList<QDate>{yesterday, lastWeek} << false << QList<QDate>{today, yesterday, lastWeek};
        QTest::newRow("today stored")
            << QList<QDate>{today, lastWeek} << false << QList<QDate>{today, lastWeek};
        QTest::newRow("listing fails") << QList<QDate>{yesterday} << true << QList<QDate>{today};
    }

    void dayListStartsWithToday() {
        QFETCH(QList<QDate>, stored);
        QFETCH(bool, listingFails);
        QFETCH(QList<QDate>, listed);
        m_loader->dates = stored;
        m_loader->listingFails = listingFails;
        m_loader->summaries.insert(today, FakeUsageDayLoader::summaryWith(today, 0));
        UsageReportState state(*m_loader);

        const TaskOutcome<void> outcome = awaitTask(state.appear());
        QVERIFY(!outcome.failed());
        QCOMPARE(state.availableDates(), listed);
        QCOMPARE(state.selectedDate(), today);
        // Today always has a summary, even without sessions.
        QVERIFY(state.selectedSummary().has_value());
        QCOMPARE(state.selectedSummary()->sessions.size(), 0);
        QVERIFY(!state.isLoading());
        QVERIFY(state.errorText().isEmpty());
    }

    void lastSelectedDayIsShown_data() {
        QTest::addColumn<int>("firstDelayMs");
        QTest::addColumn<int>("secondDelayMs");
        QTest::newRow("first load ends last") << 300 << 0;
        QTest::newRow("second load ends last") << 0 << 150;
        QTest::newRow("both slow, first ends last") << 300 << 100;
    }

    void lastSelectedDayIsShown() {
        QFETCH(int, firstDelayMs);
        QFETCH(int, secondDelayMs);
        storeThreeDays();
        m_loader->loadDelayMs.insert(yesterday, firstDelayMs);
        m_loader->loadDelayMs.insert(lastWeek, secondDelayMs);
        UsageReportState state(*m_loader);
        QVERIFY(!awaitTask(state.appear()).failed());

        state.selectDate(yesterday);
        state.selectDate(lastWeek);
        QCOMPARE(state.selectedDate(), lastWeek);
        QTRY_VERIFY(!state.isLoading());
        QVERIFY(state.selectedSummary().has_value());
        QCOMPARE(state.selectedSummary()->date, lastWeek);
        // The earlier load ends too, and changes nothing.
        QTRY_COMPARE(m_loader->loads.count(yesterday), 1);
        QTest::qWait(firstDelayMs + 50);
        QCOMPARE(state.selectedSummary()->date, lastWeek);
        QCOMPARE(state.selectedSummary()->sessions.size(), 2);
        QVERIFY(!state.isLoading());
    }

    void loadingLastsUntilTheLastLoadEnds() {
        storeThreeDays();
        m_loader->loadDelayMs.insert(yesterday, 50);
        m_loader->loadDelayMs.insert(lastWeek, 400);
        UsageReportState state(*m_loader);
        QVERIFY(!awaitTask(state.appear()).failed());
        state.selectDate(yesterday);
        state.selectDate(lastWeek);
        QTest::qWait(200);
        // Yesterday has arrived but is not the day asked for last.
        QVERIFY(state.isLoading());
        QCOMPARE(state.selectedSummary()->date, today);
        QTRY_VERIFY(!state.isLoading());
        QCOMPARE(state.selectedSummary()->date, lastWeek);
    }

    void failedDeleteIsShownAndChangesNothing() {
        storeThreeDays();
        UsageReportState state(*m_loader);
        QVERIFY(!awaitTask(state.appear()).failed());
        state.selectDate(yesterday);
        QTRY_VERIFY(!state.isLoading());
        m_loader->deleteFailure = onHeap(u"Permission denied");
        QSignalSpy listChanges(&state, &UsageReportState::availableDatesChanged);
        QSignalSpy summaryChanges(&state, &UsageReportState::selectedSummaryChanged);

        QVERIFY(!awaitTask(state.deleteSelectedDay()).failed());
        QCOMPARE(m_loader->deletes, QList<QDate>{yesterday});
        QVERIFY2(state.errorText().contains(QStringLiteral("13 March 2025")), qPrintable(state.errorText()));
        QVERIFY2(state.errorText().contains(QStringLiteral("Permission denied")),
                 qPrintable(state.errorText()));
        QCOMPARE(state.selectedDate(), yesterday);
        QCOMPARE(state.selectedSummary()->date, yesterday);
        QCOMPARE(state.availableDates(), (QList<QDate>{today, yesterday, lastWeek}));
        QCOMPARE(listChanges.count(), 0);
        QCOMPARE(summaryChanges.count(), 0);
        QVERIFY(!state.isLoading());

        // The next delete that works clears the failure.
        m_loader->deleteFailure.reset();
        QVERIFY(!awaitTask(state.deleteSelectedDay()).failed());
        QVERIFY(state.errorText().isEmpty());
    }

    void deleteMovesTheSelectionToToday_data() {
        QTest::addColumn<QDate>("deleted");
        QTest::addColumn<QList<QDate>>("listed");
        QTest::newRow("a past day") << yesterday << QList<QDate>{today, lastWeek};
        // Today stays listed after its file is gone.
        QTest::newRow("today") << today << QList<QDate>{today, yesterday, lastWeek};
    }

    void deleteMovesTheSelectionToToday() {
        QFETCH(QDate, deleted);
        QFETCH(QList<QDate>, listed);
        storeThreeDays();
        UsageReportState state(*m_loader);
        QVERIFY(!awaitTask(state.appear()).failed());
        state.selectDate(deleted);
        QTRY_VERIFY(!state.isLoading());

        QVERIFY(!awaitTask(state.deleteSelectedDay()).failed());
        QCOMPARE(m_loader->deletes, QList<QDate>{deleted});
        QCOMPARE(state.availableDates(), listed);
        QCOMPARE(state.selectedDate(), today);
        QVERIFY(!state.isLoading());
        // The fake forgets a deleted day's summary: today shows none after its own delete.
        QCOMPARE(state.selectedSummary().has_value(), deleted != today);
    }

    void dayPickedDuringADeleteStaysPicked() {
        storeThreeDays();
        m_loader->deleteDelayMs = 150;
        UsageReportState state(*m_loader);
        QVERIFY(!awaitTask(state.appear()).failed());
        state.selectDate(yesterday);
        QTRY_VERIFY(!state.isLoading());

        state.deleteSelected();
        state.selectDate(lastWeek);
        QTRY_COMPARE(m_loader->dates, (QList<QDate>{today, lastWeek}));
        QTest::qWait(100);
        QTRY_VERIFY(!state.isLoading());
        QCOMPARE(state.selectedDate(), lastWeek);
        QCOMPARE(state.selectedSummary()->date, lastWeek);
    }

    void refreshReloadsListAndSelectedDay() {
        storeThreeDays();
        UsageReportState state(*m_loader);
        QVERIFY(!awaitTask(state.appear()).failed());
        state.selectDate(lastWeek);
        QTRY_VERIFY(!state.isLoading());
        // Removed behind the window's back.
        m_loader->dates = {yesterday};
        m_loader->summaries.remove(lastWeek);

        state.refresh();
        QTRY_COMPARE(state.availableDates(), (QList<QDate>{today, yesterday}));
        QTRY_VERIFY(!state.isLoading());
        QCOMPARE(state.selectedDate(), lastWeek);
        QVERIFY(!state.selectedSummary().has_value());
    }
};

PENDLOW_TEST_MAIN(UsageReportStateTest)
#include "tst_UsageReportState.moc"
