// The periodic refresh: its period from the settings, the refresh at start, restarts, and the guard
// that drops a tick while a refresh of its own still runs.
#include "support/FakeClock.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/UserDefaultsService.h"
#include "services/TimerRefreshScheduler.h"

#include <QCoroSignal>
#include <QSignalSpy>

#include <limits>

#include <memory>
#include <stdexcept>

using namespace std::chrono_literals;

// Lets a test hold refreshes until it opens the gate.
class Gate : public QObject {
    Q_OBJECT

public:
    bool closed = false;
    void open() {
        closed = false;
        emit opened();
    }

Q_SIGNALS:
    void opened();
};

class TimerRefreshServiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<TimerRefreshScheduler> m_service;
    Gate m_gate;
    int m_started = 0;
    int m_finished = 0;

    static QCoro::Task<> refresh(TimerRefreshServiceTest* test) {
        ++test->m_started;
        if (test->m_gate.closed) {
            co_await qCoro(&test->m_gate, &Gate::opened);
        }
        ++test->m_finished;
    }

private Q_SLOTS:
    void init() {
        m_settings = std::make_unique<TestSettings>();
        m_service = std::make_unique<TimerRefreshScheduler>(*m_settings);
        m_service->setOnRefresh([this] { return refresh(this); });
        m_started = 0;
        m_finished = 0;
        m_gate.closed = false;
    }

    void cleanup() { m_service.reset(); }

    void periodFromTheSetting_data() {
        QTest::addColumn<QVariant>("setting"); // invalid: never written
        QTest::addColumn<int>("seconds");
        QTest::newRow("absent") << QVariant() << 60;
        QTest::newRow("zero") << QVariant(0) << 60;
        QTest::newRow("five minutes") << QVariant(300) << 300;
        QTest::newRow("negative would stop the refresh") << QVariant(-5) << 60;
        QTest::newRow("a day") << QVariant(24 * 3600) << 24 * 3600;
        QTest::newRow("beyond a day") << QVariant(24 * 3600 + 1) << 60;
        // Their milliseconds overflow an int: 0 ms (a busy loop) and a negative period (no refresh).
        QTest::newRow("2^29 seconds") << QVariant(536870912) << 60;
        QTest::newRow("2147484 seconds") << QVariant(2147484) << 60;
        QTest::newRow("largest int") << QVariant(std::numeric_limits<int>::max()) << 60;
    }

    void periodFromTheSetting() {
        QFETCH(QVariant, setting);
        QFETCH(int, seconds);
        if (setting.isValid()) {
            m_settings->setTimerReminderInterval(setting.toInt());
        }
        QVERIFY(!m_service->isScheduled());
        m_service->start();
        QVERIFY(m_service->isScheduled());
        QVERIFY(m_service->refreshTimer()->isActive());
        QCOMPARE(m_service->refreshTimer()->intervalAsDuration(), std::chrono::milliseconds(seconds * 1000));
    }

    void startRefreshesAtOnceAndEachStartAgain() {
        m_service->start();
        QCOMPARE(m_started, 1);
        QCOMPARE(m_finished, 1);

        // A changed interval takes effect with the next start, which refreshes once more.
        m_settings->setTimerReminderInterval(300);
        m_service->start();
        QCOMPARE(m_started, 2);
        QCOMPARE(m_service->refreshTimer()->intervalAsDuration(), 300s);
    }

    void tickWhileRefreshingIsDropped() {
        m_gate.closed = true;
        QSignalSpy refreshingSpy(m_service.get(), &TimerRefreshScheduler::isRefreshingChanged);
        m_service->start();
        QVERIFY(m_service->isRefreshing());

        m_service->tick();
        m_service->tick();
        QCOMPARE(m_started, 1); // dropped, not queued

        m_gate.open();
        QTRY_COMPARE(m_finished, 1);
        QVERIFY(!m_service->isRefreshing());
        QCOMPARE(refreshingSpy.count(), 2);

        m_service->tick();
        QCOMPARE(m_started, 2);
    }

    // A refresh held up by one slow request (a reply dripping a byte at a time) is abandoned at the
    // first tick a full period after it started; the abandoned run ending later changes nothing.
    void runStillGoingAfterAPeriodIsAbandoned() {
        FakeClock clock(QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
        m_settings->setTimerReminderInterval(60);
        m_gate.closed = true;
        m_service->start();
        QCOMPARE(m_started, 1);

        clock.advance(59);
        m_service->tick();
        QCOMPARE(m_started, 1); // within the period: dropped

        clock.advance(1);
        m_service->tick();
        QCOMPARE(m_started, 2); // a full period: started afresh
        QVERIFY(m_service->isRefreshing());

        // Both gated runs end; only the newest run's end clears the flag, and the new run counts
        // from its own start.
        m_gate.open();
        QTRY_COMPARE(m_finished, 2);
        QVERIFY(!m_service->isRefreshing());
        m_service->tick();
        QCOMPARE(m_started, 3);
    }

    void failingRefreshDoesNotStopTheSchedule() {
        m_service->setOnRefresh([]() -> QCoro::Task<> {
            throw std::runtime_error("refresh broke");
            co_return;
        });
        m_service->start();
        QVERIFY(!m_service->isRefreshing());
        m_service->setOnRefresh([this] { return refresh(this); });
        m_service->tick();
        QCOMPARE(m_started, 1);
    }

    void theTimerTicks() {
        m_settings->setTimerReminderInterval(1);
        m_service->start();
        QTRY_VERIFY_WITH_TIMEOUT(m_started >= 2, 5000);
    }
};

PENDLOW_TEST_MAIN(TimerRefreshServiceTest)
#include "tst_TimerRefreshScheduler.moc"
