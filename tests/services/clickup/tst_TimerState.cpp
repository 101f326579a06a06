// The timer state against a fake ClickUp client, fake notifications and fake alert windows: reading,
// starting and stopping the timer, the no-timer warning rules and the active-timer reminder.
#include "support/ClickUpSamples.h"
#include "support/FakeClickUpAPI.h"
#include "support/FakeClock.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/UserDefaultsService.h"
#include "services/clickup/TimerState.h"

#include <QSignalSpy>

#include <ctime>
#include <memory>

namespace {
const QDateTime kMondayMorning(QDate(2026, 3, 2), QTime(10, 0));
// The team the timer calls name (made on the heap, as every value that goes into a coroutine).
const QString kTeam = onHeap(u"team-1");

std::exception_ptr failureNamed(const QString& name) {
    if (name == QLatin1String("http")) {
        return std::make_exception_ptr(APIError::httpError(500, QStringLiteral("boom")));
    }
    if (name == QLatin1String("decoding")) {
        return std::make_exception_ptr(APIError::decodingError(QStringLiteral("bad JSON")));
    }
    if (name == QLatin1String("token")) {
        return std::make_exception_ptr(APIError::invalidToken());
    }
    return std::make_exception_ptr(FakeClickUpAPI::TransportFailure("Connection refused"));
}
} // namespace

class TimerStateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<FakeClickUpAPI> m_api;
    std::unique_ptr<FakeNotificationService> m_notifications;
    std::unique_ptr<FakeToastAlertService> m_toasts;
    std::unique_ptr<FakeFloatingAlertService> m_panels;
    std::unique_ptr<TimerState> m_state;
    QList<std::optional<ActiveTimer>> m_timerChanges;
    int m_stoppedCalls = 0;

    TimerState& state() { return *m_state; }

    // The no-timer check as a refresh runs it, recording the snooze durations it is given.
    void checkNoTimer(bool silent = false, bool popoverVisible = false, bool disableWarning = false,
                      QList<double>* snoozes = nullptr) {
        auto onDismiss = [snoozes](double seconds) -> QCoro::Task<> {
            if (snoozes) {
                snoozes->append(seconds);
            }
            co_return;
        };
        QVERIFY(awaitTask(state().showNoTimerAlertIfNeeded(silent, popoverVisible, disableWarning, onDismiss))
                    .finished);
    }

private Q_SLOTS:
    void initTestCase() {
        qputenv("TZ", "Europe/Amsterdam");
        tzset();
    }

    void init() {
        m_clock = std::make_unique<FakeClock>(kMondayMorning);
        m_settings = std::make_unique<TestSettings>();
        m_api = std::make_unique<FakeClickUpAPI>();
        m_notifications = std::make_unique<FakeNotificationService>();
        m_toasts = std::make_unique<FakeToastAlertService>();
        m_panels = std::make_unique<FakeFloatingAlertService>();
        m_state = std::make_unique<TimerState>(*m_api, *m_notifications, *m_settings, *m_toasts, *m_panels);
        m_timerChanges.clear();
        m_stoppedCalls = 0;
        m_state->setOnTimerChanged(
            [this](const std::optional<ActiveTimer>& timer) { m_timerChanges.append(timer); });
        m_state->setOnTimerStopped([this]() -> QCoro::Task<> {
            ++m_stoppedCalls;
            co_return;
        });
    }

    void cleanup() {
        m_state.reset();
        m_clock.reset();
    }

    // --- reading the running timer ---

    void fetchPublishesTheTimerAndNotifiesOnlyOnChange() {
        m_api->runningTimer = timerOn(QStringLiteral("abc"), kMondayMorning.addSecs(-600));
        QSignalSpy timerSpy(&state(), &TimerState::activeTimerChanged);
        QSignalSpy loadingSpy(&state(), &TimerState::isLoadingChanged);

        awaitTask(state().fetchActiveTimer(kTeam));
        awaitTask(state().fetchActiveTimer(kTeam));

        QCOMPARE(state().activeTimer(), m_api->runningTimer);
        QCOMPARE(timerSpy.count(), 1);      // the second read found the same timer
        QCOMPARE(m_timerChanges.size(), 2); // but the callback hears every successful read
        QCOMPARE(loadingSpy.count(), 4);    // on and off, twice
        QVERIFY(!state().isLoading());
        QCOMPARE(m_api->calls(FakeClickUpAPI::getCurrentTimerOp).constFirst().teamId,
                 QStringLiteral("team-1"));
    }

    void fetchIsLoadingWhileClickUpAnswers() {
        m_api->hold(FakeClickUpAPI::getCurrentTimerOp);
        auto task = state().fetchActiveTimer(kTeam);
        QVERIFY(state().isLoading());
        m_api->release(FakeClickUpAPI::getCurrentTimerOp);
        awaitTask(std::move(task));
        QVERIFY(!state().isLoading());
    }

    void fetchFailure_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("timerKept");
        QTest::addColumn<QString>("errorText"); // empty: no error

        QTest::newRow("unreadable reply means no timer") << "decoding" << false << QString();
        QTest::newRow("server error keeps the timer") << "http" << true << "Server error (500): boom";
        QTest::newRow("missing token keeps the timer")
            << "token" << true << "Please add API Token first in Settings.";
        QTest::newRow("transport failure becomes a network error")
            << "transport" << true << "Network error: Connection refused";
    }

    void fetchFailure() {
        QFETCH(QString, failure);
        QFETCH(bool, timerKept);
        QFETCH(QString, errorText);
        const ActiveTimer shown = timerOn(QStringLiteral("abc"), kMondayMorning.addSecs(-60));
        state().setActiveTimer(shown);
        state().setError(APIError::invalidURL());
        m_api->failNext(FakeClickUpAPI::getCurrentTimerOp, failureNamed(failure));

        awaitTask(state().fetchActiveTimer(kTeam));

        QCOMPARE(state().activeTimer().has_value(), timerKept);
        QCOMPARE(state().error() ? state().error()->description() : QString(), errorText);
        QVERIFY(m_timerChanges.isEmpty());
        QVERIFY(!state().isLoading());
    }

    // --- starting a timer ---

    void startTellsTheUserWithdrawsTheWarningAndRereads_data() {
        QTest::addColumn<bool>("silent");
        QTest::newRow("normal") << false;
        QTest::newRow("silent mode") << true;
    }

    void startTellsTheUserWithdrawsTheWarningAndRereads() {
        QFETCH(bool, silent);
        m_api->taskNames.insert(onHeap(u"t1"), onHeap(u"Fix login bug"));
        state().setError(APIError::invalidURL());

        awaitTask(state().startTimer(kTeam, onHeap(u"t1"), silent));

        QVERIFY(state().activeTimer());
        QCOMPARE(state().activeTimer()->taskId, QStringLiteral("t1"));
        QVERIFY(!state().error());
        const QStringList expected = silent ? QStringList{QStringLiteral("removeNoTimerWarning")}
                                            : QStringList{QStringLiteral("timerStarted:Fix login bug"),
                                                          QStringLiteral("removeNoTimerWarning")};
        QCOMPARE(m_notifications->events, expected);
        QCOMPARE(m_api->operations(),
                 QStringList({FakeClickUpAPI::startTimerOp, FakeClickUpAPI::getCurrentTimerOp}));
        QVERIFY(!m_timerChanges.isEmpty());
        QCOMPARE(m_timerChanges.constLast()->taskId, QStringLiteral("t1"));
    }

    void startWithoutTaskSendsNothing() {
        const ActiveTimer running = timerOn(QStringLiteral("abc"), kMondayMorning.addSecs(-60));
        state().setActiveTimer(running);

        awaitTask(state().startTimer(kTeam, QString(), false));

        QVERIFY(m_api->calls().isEmpty()); // a start would first have stopped the running timer
        QCOMPARE(state().activeTimer(), running);
        QVERIFY(state().error());
        QCOMPARE(state().error()->kind(), APIError::Kind::requestFailed);
        QVERIFY(m_notifications->events.isEmpty());
    }

    void startFailure_data() {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<bool>("timerRunsAnyway");
        QTest::addColumn<QString>("errorText");

        QTest::newRow("refused, nothing runs") << "http" << false << "Server error (500): boom";
        QTest::newRow("transport failure, nothing runs")
            << "transport" << false << "Network error: Connection refused";
        QTest::newRow("reply lost but the timer runs") << "transport" << true << QString();
    }

    void startFailure() {
        QFETCH(QString, failure);
        QFETCH(bool, timerRunsAnyway);
        QFETCH(QString, errorText);
        m_api->failAfterEffect = timerRunsAnyway;
        m_api->failNext(FakeClickUpAPI::startTimerOp, failureNamed(failure));

        awaitTask(state().startTimer(kTeam, onHeap(u"t1"), false));

        QCOMPARE(state().activeTimer().has_value(), timerRunsAnyway);
        QCOMPARE(state().error() ? state().error()->description() : QString(), errorText);
        QVERIFY(m_notifications->events.isEmpty()); // no notice, no withdrawal
        QCOMPARE(m_api->callCount(FakeClickUpAPI::getCurrentTimerOp), 1);
    }

    // --- stopping the timer ---

    void stopWithoutTimerSendsNothing() {
        awaitTask(state().stopTimer(kTeam, false));
        QVERIFY(m_api->calls().isEmpty());
        QVERIFY(m_notifications->events.isEmpty());
        QCOMPARE(m_stoppedCalls, 0);
    }

    void stopTellsTheDurationAndRunsTheCallbacks_data() {
        QTest::addColumn<bool>("silent");
        QTest::newRow("normal") << false;
        QTest::newRow("silent mode") << true;
    }

    void stopTellsTheDurationAndRunsTheCallbacks() {
        QFETCH(bool, silent);
        const QDateTime start = kMondayMorning.addSecs(-(3600 + 5 * 60 + 59));
        m_api->runningTimer = timerOn(QStringLiteral("t1"), start);
        state().setActiveTimer(m_api->runningTimer);

        awaitTask(state().stopTimer(kTeam, silent));

        QVERIFY(!state().activeTimer());
        QVERIFY(!m_api->runningTimer);
        QCOMPARE(m_notifications->events,
                 silent ? QStringList() : QStringList{QStringLiteral("timerStopped:01:05")});
        QCOMPARE(m_timerChanges.size(), 1);
        QVERIFY(!m_timerChanges.constFirst());
        QCOMPARE(m_stoppedCalls, 1);
    }

    void stopFailureKeepsTheTimer() {
        const ActiveTimer running = timerOn(QStringLiteral("t1"), kMondayMorning.addSecs(-60));
        m_api->runningTimer = running;
        state().setActiveTimer(running);
        m_api->failNext(FakeClickUpAPI::stopTimerOp, failureNamed(QStringLiteral("transport")));

        awaitTask(state().stopTimer(kTeam, false));

        QCOMPARE(state().activeTimer(), running);
        QCOMPARE(state().error()->description(), QStringLiteral("Network error: Connection refused"));
        QVERIFY(m_timerChanges.isEmpty());
        QCOMPARE(m_stoppedCalls, 0);
        QVERIFY(m_notifications->events.isEmpty());
    }

    // --- the no-timer warning ---

    // A refresh that finds a timer started elsewhere withdraws the warning sent before, once; a
    // refresh that finds none, or a failed one, leaves it.
    void refreshFindingATimerWithdrawsTheWarning() {
        m_settings->setValue(QStringLiteral("useFloatingAlert"), false);
        m_settings->setValue(QStringLiteral("useMenuBarPulsing"), false);
        awaitTask(state().fetchActiveTimer(kTeam));
        QCOMPARE(m_notifications->events, QStringList());
        checkNoTimer();
        QCOMPARE(m_notifications->events, QStringList{QStringLiteral("noTimerWarning")});

        awaitTask(state().fetchActiveTimer(kTeam));
        m_api->runningTimer = timerOn(QStringLiteral("abc"), kMondayMorning.addSecs(-60));
        m_api->failNext(FakeClickUpAPI::getCurrentTimerOp, failureNamed(QStringLiteral("http")));
        awaitTask(state().fetchActiveTimer(kTeam));
        QCOMPARE(m_notifications->events, QStringList{QStringLiteral("noTimerWarning")});

        m_api->runningTimer = timerOn(QStringLiteral("abc"), kMondayMorning.addSecs(-60));
        awaitTask(state().fetchActiveTimer(kTeam));
        awaitTask(state().fetchActiveTimer(kTeam));
        QCOMPARE(m_notifications->events,
                 (QStringList{QStringLiteral("noTimerWarning"), QStringLiteral("removeNoTimerWarning")}));
    }

    void noTimerWarningKinds_data() {
        QTest::addColumn<QVariantMap>("settings");
        QTest::addColumn<QList<int>>("panels");
        QTest::addColumn<QList<int>>("toasts");
        QTest::addColumn<bool>("notification");

        QTest::newRow("fresh settings: the panel alone, 30 s")
            << QVariantMap() << QList<int>{30} << QList<int>{} << false;
        QTest::newRow("panel and toast")
            << QVariantMap{{"useToastAlert", true}} << QList<int>{30} << QList<int>{30} << false;
        QTest::newRow("toast alone, 10 s") << QVariantMap{{"useFloatingAlert", false},
                                                          {"useToastAlert", true},
                                                          {"alertAutoDismissSeconds", 10}}
                                           << QList<int>{} << QList<int>{10} << false;
        QTest::newRow("never: 0 passed on, the panel stays")
            << QVariantMap{{"alertAutoDismissSeconds", 0}} << QList<int>{0} << QList<int>{} << false;
        QTest::newRow("negative seconds passed on")
            << QVariantMap{{"alertAutoDismissSeconds", -1}} << QList<int>{-1} << QList<int>{} << false;
        QTest::newRow("only pulsing: nothing shown here")
            << QVariantMap{{"useFloatingAlert", false}} << QList<int>{} << QList<int>{} << false;
        QTest::newRow("every visual kind off: the notification")
            << QVariantMap{{"useFloatingAlert", false}, {"useMenuBarPulsing", false}} << QList<int>{}
            << QList<int>{} << true;
    }

    void noTimerWarningKinds() {
        QFETCH(QVariantMap, settings);
        QFETCH(QList<int>, panels);
        QFETCH(QList<int>, toasts);
        QFETCH(bool, notification);
        for (auto it = settings.cbegin(); it != settings.cend(); ++it) {
            m_settings->setValue(it.key(), it.value());
        }

        checkNoTimer();

        QCOMPARE(m_panels->panels, panels);
        QCOMPARE(m_toasts->toasts, toasts);
        QCOMPARE(m_notifications->events.contains(QStringLiteral("noTimerWarning")), notification);
        QCOMPARE(m_panels->dismissCount, 0);
        QCOMPARE(m_toasts->dismissCount, 0);
    }

    void noTimerWarningWhenDue_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<bool>("workingHours");
        QTest::addColumn<bool>("timerRuns");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("popoverVisible");
        QTest::addColumn<bool>("disabled");
        QTest::addColumn<bool>("due");

        const QDate monday(2026, 3, 2);
        const QDateTime tenAm(monday, QTime(10, 0));
        QTest::newRow("no timer, hours not enforced, late evening")
            << QDateTime(monday, QTime(23, 0)) << false << false << false << false << false << true;
        QTest::newRow("within working hours") << tenAm << true << false << false << false << false << true;
        QTest::newRow("first working minute")
            << QDateTime(monday, QTime(9, 0)) << true << false << false << false << false << true;
        QTest::newRow("before working hours")
            << QDateTime(monday, QTime(8, 59)) << true << false << false << false << false << false;
        QTest::newRow("end minute is outside")
            << QDateTime(monday, QTime(17, 0)) << true << false << false << false << false << false;
        QTest::newRow("Saturday") << QDateTime(QDate(2026, 3, 7), QTime(10, 0)) << true << false << false
                                  << false << false << false;
        QTest::newRow("a timer runs") << tenAm << false << true << false << false << false << false;
        QTest::newRow("silent mode") << tenAm << false << false << true << false << false << false;
        QTest::newRow("popover open") << tenAm << false << false << false << true << false << false;
        QTest::newRow("warning switched off") << tenAm << false << false << false << false << true << false;
    }

    void noTimerWarningWhenDue() {
        QFETCH(QDateTime, now);
        QFETCH(bool, workingHours);
        QFETCH(bool, timerRuns);
        QFETCH(bool, silent);
        QFETCH(bool, popoverVisible);
        QFETCH(bool, disabled);
        QFETCH(bool, due);
        m_clock->set(now);
        m_settings->setWorkingHoursEnabled(workingHours);
        if (timerRuns) {
            state().setActiveTimer(timerOn(QStringLiteral("t1"), now.addSecs(-60)));
        }

        checkNoTimer(silent, popoverVisible, disabled);

        QCOMPARE(m_panels->panels.size(), due ? 1 : 0);
        // When not due, whatever is still open closes.
        QCOMPARE(m_panels->dismissCount, due ? 0 : 1);
        QCOMPARE(m_toasts->dismissCount, due ? 0 : 1);
        QVERIFY(m_notifications->events.isEmpty());
    }

    void snoozeRunsTheDismissCallbackLater() {
        m_settings->setUseToastAlert(true);
        QList<double> snoozes;
        checkNoTimer(false, false, false, &snoozes);
        QVERIFY(m_panels->lastOnDismiss);
        QVERIFY(m_toasts->onDismissWithDuration);

        m_panels->lastOnDismiss(3600);
        QVERIFY(snoozes.isEmpty()); // not inside the panel's own handler
        QTRY_COMPARE(snoozes, QList<double>{3600});

        m_toasts->onDismissWithDuration(900);
        QTRY_COMPARE(snoozes, (QList<double>{3600, 900}));
    }

    // --- the active-timer reminder ---

    void reminderSpacing_data() {
        QTest::addColumn<int>("intervalSetting"); // minutes; 0 means the default
        QTest::addColumn<int>("expectedMinutes");
        QTest::newRow("default 30 minutes") << 0 << 30;
        QTest::newRow("10 minutes") << 10 << 10;
    }

    void reminderSpacing() {
        QFETCH(int, intervalSetting);
        QFETCH(int, expectedMinutes);
        m_settings->setActiveTimerReminderInterval(intervalSetting);
        state().setActiveTimer(timerOn(QStringLiteral("t1"), kMondayMorning.addSecs(-(2 * 3600 + 15 * 60))));

        awaitTask(state().checkActiveTimerReminder(false, false));
        QCOMPARE(m_toasts->activeTimerToasts.size(), 1);
        QCOMPARE(m_toasts->activeTimerToasts[0].taskName, QStringLiteral("Task t1"));
        QCOMPARE(m_toasts->activeTimerToasts[0].elapsedText, QStringLiteral("02:15"));
        QCOMPARE(m_toasts->activeTimerToasts[0].autoDismissSeconds, 5);
        QCOMPARE(state().lastReminderDate(), kMondayMorning);

        m_clock->advance(expectedMinutes * 60 - 1);
        awaitTask(state().checkActiveTimerReminder(false, false));
        QCOMPARE(m_toasts->activeTimerToasts.size(), 1);

        m_clock->advance(1);
        awaitTask(state().checkActiveTimerReminder(false, false));
        QCOMPARE(m_toasts->activeTimerToasts.size(), 2);

        // The spacing holds across timers.
        state().setActiveTimer(timerOn(QStringLiteral("t2"), m_clock->now()));
        awaitTask(state().checkActiveTimerReminder(false, false));
        QCOMPARE(m_toasts->activeTimerToasts.size(), 2);
    }

    void noReminder_data() {
        QTest::addColumn<bool>("timerRuns");
        QTest::addColumn<bool>("popoverVisible");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<bool>("reminderOn");
        QTest::newRow("no timer") << false << false << false << true;
        QTest::newRow("popover open") << true << true << false << true;
        QTest::newRow("silent mode") << true << false << true << true;
        QTest::newRow("reminder switched off") << true << false << false << false;
    }

    void noReminder() {
        QFETCH(bool, timerRuns);
        QFETCH(bool, popoverVisible);
        QFETCH(bool, silent);
        QFETCH(bool, reminderOn);
        m_settings->setShowActiveTimerReminder(reminderOn);
        if (timerRuns) {
            state().setActiveTimer(timerOn(QStringLiteral("t1"), kMondayMorning.addSecs(-60)));
        }
        awaitTask(state().checkActiveTimerReminder(popoverVisible, silent));
        QVERIFY(m_toasts->activeTimerToasts.isEmpty());
        QVERIFY(!state().lastReminderDate());
    }

    // --- observable members ---

    void errorAlwaysNotifies() {
        QSignalSpy spy(&state(), &TimerState::errorChanged);
        state().setError(std::nullopt);
        state().setError(std::nullopt);
        QCOMPARE(spy.count(), 2);
    }
};

PENDLOW_TEST_MAIN(TimerStateTest)
#include "tst_TimerState.moc"
