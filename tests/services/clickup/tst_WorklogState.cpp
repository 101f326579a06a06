// Today's time entries against a fake ClickUp client: the day asked for, the order, the total (with
// ClickUp's running entry, which comes with a negative duration), the filter and failures.
#include "core/Log.h"
#include "support/FakeClickUpAPI.h"
#include "support/FakeClock.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/UserDefaultsService.h"
#include "services/clickup/WorklogState.h"

#include <QSignalSpy>

#include <ctime>
#include <memory>

namespace {
const QDate kMonday(2026, 3, 2);
// The team the fetches name (made on the heap, as every value that goes into a coroutine).
const QString kTeam = onHeap(u"team-1");
const QDateTime kNow(kMonday, QTime(15, 0));

TimeEntry entry(const QString& id, const QString& taskId, const QString& taskName, QTime start,
                qint64 durationMinutes) {
    TimeEntry e;
    e.id = id;
    e.taskId = taskId;
    e.taskName = taskName;
    e.startTime = QDateTime(kMonday, start);
    e.duration = double(durationMinutes * 60 * 1000);
    e.endTime = e.startTime.addMSecs(qint64(e.duration));
    return e;
}

// How ClickUp lists the timer that still runs: no end, duration minus its start.
TimeEntry runningEntry(const QString& id, QTime start) {
    TimeEntry e = entry(id, QStringLiteral("run"), QStringLiteral("Running task"), start, 0);
    e.endTime = e.startTime;
    e.duration = -double(e.startTime.toMSecsSinceEpoch());
    return e;
}
} // namespace

class WorklogStateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<FakeClickUpAPI> m_api;
    std::unique_ptr<WorklogState> m_state;

private Q_SLOTS:
    void initTestCase() {
        qputenv("TZ", "Europe/Amsterdam");
        tzset();
        Log::setDebugEnabled(true);
    }

    void init() {
        m_clock = std::make_unique<FakeClock>(kNow);
        m_api = std::make_unique<FakeClickUpAPI>();
        m_state = std::make_unique<WorklogState>(*m_api);
    }

    void cleanup() {
        m_state.reset();
        m_clock.reset();
    }

    void fetchAsksFromLocalMidnightAndSortsNewestFirst() {
        m_api->timeEntries = {entry("a", "t1", "Morning", QTime(9, 0), 30),
                              entry("b", "t2", "Afternoon", QTime(13, 0), 30),
                              entry("c", "t3", "Late morning", QTime(11, 0), 30)};
        LogCapture log;
        QSignalSpy loadingSpy(m_state.get(), &WorklogState::isLoadingChanged);

        awaitTask(m_state->fetchTimeEntries(kTeam));

        const auto call = m_api->calls(FakeClickUpAPI::getTimeEntriesOp).constFirst();
        QCOMPARE(call.teamId, QStringLiteral("team-1"));
        QCOMPARE(call.startDate, QDateTime(kMonday, QTime(0, 0)));
        QStringList order;
        for (const TimeEntry& e : m_state->timeEntries()) {
            order.append(e.id);
        }
        QCOMPARE(order, QStringList({"b", "c", "a"}));
        QVERIFY(!m_state->error());
        QVERIFY(!m_state->isLoading());
        QCOMPARE(loadingSpy.count(), 2);
        QVERIFY(log.contains(QStringLiteral("[API] Fetched 3 time entries")));
        QVERIFY(log.contains(QStringLiteral("[API] fetchTimeEntries() called with teamId: team-1")));
    }

    void afterMidnightOnlyTheNewDayIsAsked() {
        m_clock->set(QDateTime(kMonday.addDays(1), QTime(0, 5)));
        awaitTask(m_state->fetchTimeEntries(kTeam));
        QCOMPARE(m_api->calls(FakeClickUpAPI::getTimeEntriesOp).constFirst().startDate,
                 QDateTime(kMonday.addDays(1), QTime(0, 0)));
    }

    void totalTimeText_data() {
        QTest::addColumn<QList<TimeEntry>>("entries");
        QTest::addColumn<QString>("total");

        QTest::newRow("no entries") << QList<TimeEntry>{} << "00:00";
        QTest::newRow("30 and 45 minutes")
            << QList<TimeEntry>{entry("a", "t", "A", QTime(9, 0), 30), entry("b", "t", "B", QTime(10, 0), 45)}
            << "01:15";
        TimeEntry almostHour = entry("a", "t", "A", QTime(9, 0), 0);
        almostHour.duration = (59 * 60 + 59) * 1000.0;
        QTest::newRow("seconds are dropped") << QList<TimeEntry>{almostHour} << "00:59";
        QTest::newRow("a running entry counts up to now, never negative")
            << QList<TimeEntry>{entry("a", "t", "A", QTime(9, 0), 30), runningEntry("r", QTime(14, 40))}
            << "00:50";
    }

    void totalTimeText() {
        QFETCH(QList<TimeEntry>, entries);
        QFETCH(QString, total);
        m_api->timeEntries = entries;
        awaitTask(m_state->fetchTimeEntries(kTeam));
        QCOMPARE(m_state->totalTimeText(), total);
    }

    void filteredEntries_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("ids");

        QTest::newRow("empty text keeps all") << QString() << QStringList{"b", "a", "c"};
        QTest::newRow("capitals match lower-case names") << "LOGIN" << QStringList{"a"};
        QTest::newRow("task id when the name does not match") << "CU-9" << QStringList{"c"};
        QTest::newRow("no trimming") << " login" << QStringList{"a"};
        QTest::newRow("nothing") << "zzz" << QStringList{};
    }

    void filteredEntries() {
        QFETCH(QString, text);
        QFETCH(QStringList, ids);
        m_api->timeEntries = {entry("a", "x1", "Fix login bug", QTime(9, 0), 30),
                              entry("b", "x2", "Write docs", QTime(11, 0), 30),
                              entry("c", "cu-99", "Meeting", QTime(8, 0), 30)};
        awaitTask(m_state->fetchTimeEntries(kTeam));

        QStringList found;
        for (const TimeEntry& e : m_state->filteredEntries(text)) {
            found.append(e.id);
        }
        QCOMPARE(found, ids);
    }

    void failureKeepsTheEntries_data() {
        QTest::addColumn<bool>("apiError");
        QTest::addColumn<QString>("errorText");
        QTest::addColumn<QString>("logLine");
        QTest::newRow("API error") << true << "Server error: 503"
                                   << "[API] Failed to fetch time entries";
        QTest::newRow("transport failure") << false << "Network error: Host unreachable"
                                           << "[API] Unexpected error fetching time entries";
    }

    void failureKeepsTheEntries() {
        QFETCH(bool, apiError);
        QFETCH(QString, errorText);
        QFETCH(QString, logLine);
        m_api->timeEntries = {entry("a", "t1", "A", QTime(9, 0), 30)};
        awaitTask(m_state->fetchTimeEntries(kTeam));
        const QList<TimeEntry> before = m_state->timeEntries();

        m_api->timeEntries.clear();
        m_api->failNext(FakeClickUpAPI::getTimeEntriesOp,
                        apiError
                            ? std::make_exception_ptr(APIError::httpError(503, std::nullopt))
                            : std::make_exception_ptr(FakeClickUpAPI::TransportFailure("Host unreachable")));
        LogCapture log;
        QSignalSpy entriesSpy(m_state.get(), &WorklogState::timeEntriesChanged);
        awaitTask(m_state->fetchTimeEntries(kTeam));

        QCOMPARE(m_state->timeEntries(), before);
        QCOMPARE(entriesSpy.count(), 0);
        QCOMPARE(m_state->error()->description(), errorText);
        QVERIFY(!m_state->isLoading());
        QVERIFY(log.contains(logLine));

        // The next success clears the error.
        awaitTask(m_state->fetchTimeEntries(kTeam));
        QVERIFY(!m_state->error());
        QVERIFY(m_state->timeEntries().isEmpty());
    }
};

PENDLOW_TEST_MAIN(WorklogStateTest)
#include "tst_WorklogState.moc"
