// The popover's timer row against the real states over a fake ClickUp client: the running form
// (elapsed time on its own clock, the task name and its shortening, stop, open, copy) and the idle
// form (today's total, the loading spinner, the timer error).
#include "support/FakeClickUpAPI.h"
#include "support/FakeClock.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/FakeToolsAPI.h"
#include "support/InMemoryKeychain.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "app/AppState.h"
#include "app/KeychainItem.h"
#include "app/UserDefaultsService.h"
#include "menubar/ElidedLabel.h"
#include "menubar/ProgressIndicator.h"
#include "menubar/TimerStatusView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

namespace {
const QDateTime kNoon(QDate(2026, 3, 2), QTime(12, 0));
const QString kTeam = QStringLiteral("9001");

ActiveTimer timerOn(const QString& taskId, const QString& name, const QDateTime& start) {
    return ActiveTimer{QStringLiteral("timer-") + taskId, taskId, name,
                       QUrl(QStringLiteral("https://app.clickup.com/t/") + taskId), start};
}

TimeEntry entry(const QString& id, const QDateTime& start, qint64 minutes) {
    TimeEntry e;
    e.id = id;
    e.taskId = QStringLiteral("t-") + id;
    e.taskName = QStringLiteral("Task ") + id;
    e.startTime = start;
    e.duration = double(minutes * 60 * 1000);
    e.endTime = start.addMSecs(qint64(e.duration));
    return e;
}
} // namespace

class TimerStatusViewTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_round = 0;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<UserDefaultsService> m_settings;
    std::unique_ptr<InMemoryKeychain> m_keychain;
    std::unique_ptr<FakeClickUpAPI> m_api;
    std::unique_ptr<FakeToolsAPI> m_tools;
    std::unique_ptr<FakeNotificationService> m_notifications;
    std::unique_ptr<FakeToastAlertService> m_toasts;
    std::unique_ptr<FakeFloatingAlertService> m_panels;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<TimerStatusView> m_view;
    QList<QPair<QUrl, QString>> m_opened;

    template <typename T>
    T* child(const char* name) {
        T* found = m_view->findChild<T*>(QString::fromLatin1(name));
        if (!found) {
            qFatal("no child %s", name);
        }
        return found;
    }
    bool shows(const char* name) { return child<QWidget>(name)->isVisibleTo(m_view.get()); }

    void runTimer(const ActiveTimer& timer) {
        m_api->runningTimer = timer;
        m_state->timerState()->setActiveTimer(timer);
    }

private Q_SLOTS:
    void init() {
        m_clock = std::make_unique<FakeClock>(kNoon);
        m_settings =
            std::make_unique<UserDefaultsService>(m_dir.filePath(QStringLiteral("s%1.conf").arg(++m_round)));
        m_keychain = std::make_unique<InMemoryKeychain>();
        m_keychain->putItem(KeychainItem::clickUpAPIToken, QStringLiteral("pk_1_token"));
        m_settings->setTeamId(kTeam);
        m_api = std::make_unique<FakeClickUpAPI>();
        m_tools = std::make_unique<FakeToolsAPI>();
        m_notifications = std::make_unique<FakeNotificationService>();
        m_toasts = std::make_unique<FakeToastAlertService>();
        m_panels = std::make_unique<FakeFloatingAlertService>();
        m_state = std::make_unique<AppState>(*m_api, *m_tools, *m_keychain, *m_settings, *m_notifications,
                                             m_toasts.get(), m_panels.get());
        QVERIFY(awaitTask(m_state->loadConfiguration()).finished);
        m_view = std::make_unique<TimerStatusView>(*m_state);
        m_view->resize(316, 120);
        m_opened.clear();
        m_view->setUrlOpener([this](const QUrl& url, const QString& title) {
            m_opened.append({url, title});
        });
    }

    void cleanup() {
        m_view.reset();
        m_state.reset();
        m_clock.reset();
    }

    // --- timer running ---

    void runningTimerShowsElapsedTimeOnItsOwnClock() {
        runTimer(timerOn(QStringLiteral("abc"), QStringLiteral("Write report"),
                         kNoon.addSecs(-(3600 + 5 * 60 + 59))));
        m_view->show();
        QVERIFY(shows("runningForm"));
        QVERIFY(!shows("idleForm"));
        QCOMPARE(child<QLabel>("elapsedLabel")->text(), QStringLiteral("01:05"));
        QCOMPARE(child<ElidedLabel>("taskNameLabel")->text(), QStringLiteral("Write report"));

        // Nothing but the row's clock tells it that time went on.
        m_clock->advance(60);
        QTRY_COMPARE_WITH_TIMEOUT(child<QLabel>("elapsedLabel")->text(), QStringLiteral("01:06"), 3000);

        m_view->hide();
        QVERIFY(!m_view->clock().isActive());
    }

    void taskNameIsShortened_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        const QString fifty = QString(50, QLatin1Char('a'));
        QTest::newRow("50 characters stay whole") << fifty << fifty;
        QTest::newRow("51 characters become 47 and dots")
            << fifty + QStringLiteral("b") << QString(47, QLatin1Char('a')) + QStringLiteral("...");
        // Each family emoji is one character of several code points and is never cut apart.
        const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        QString families;
        for (int i = 0; i < 51; ++i) {
            families += family;
        }
        QTest::newRow("grapheme clusters")
            << families << families.left(47 * family.size()) + QStringLiteral("...");
        QTest::newRow("short") << QStringLiteral("Fix login") << QStringLiteral("Fix login");
    }

    void taskNameIsShortened() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        const ActiveTimer timer = timerOn(QStringLiteral("t1"), name, kNoon.addSecs(-60));
        runTimer(timer);
        QCOMPARE(child<ElidedLabel>("taskNameLabel")->text(), shown);

        // The browser window's title follows the same rule; the address is the timer's.
        child<QToolButton>("openInClickUpButton")->click();
        QCOMPARE(m_opened.size(), 1);
        QCOMPARE(m_opened.at(0).first, timer.taskUrl);
        QCOMPARE(m_opened.at(0).second, shown);
    }

    void copyIdReplacesTheClipboard() {
        QGuiApplication::clipboard()->setText(QStringLiteral("something else"));
        runTimer(timerOn(QStringLiteral("86abc12"), QStringLiteral("Task"), kNoon.addSecs(-60)));
        child<QToolButton>("copyIdButton")->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("86abc12"));
    }

    void stopStopsTheTimerWithTheTeamAndSilentMode_data() {
        QTest::addColumn<bool>("silent");
        QTest::newRow("not silent") << false;
        QTest::newRow("silent") << true;
    }

    void stopStopsTheTimerWithTheTeamAndSilentMode() {
        QFETCH(bool, silent);
        if (silent) {
            m_settings->setSilentModeEnd(kNoon.addSecs(3600));
            QVERIFY(awaitTask(m_state->loadConfiguration()).finished);
            QVERIFY(m_state->silentModeActive());
        }
        runTimer(timerOn(QStringLiteral("t1"), QStringLiteral("Task"), kNoon.addSecs(-30 * 60)));

        child<QPushButton>("stopButton")->click();
        QTRY_VERIFY(!m_state->timerState()->hasActiveTimer());
        QCOMPARE(m_api->callCount(FakeClickUpAPI::stopTimerOp), 1);
        QCOMPARE(m_api->calls(FakeClickUpAPI::stopTimerOp).at(0).teamId, kTeam);
        QCOMPARE(m_notifications->eventsStartingWith(QStringLiteral("timerStopped")).size(), silent ? 0 : 1);
        // The row turns to the idle form by itself.
        QVERIFY(shows("idleForm"));
        QVERIFY(!shows("runningForm"));
    }

    // --- no timer ---

    void idleBoxShowsTodaysTotalOnlyWhenSomethingIsLogged() {
        m_view->show();
        QVERIFY(shows("idleForm"));
        QCOMPARE(child<QLabel>("noTimerTitle")->text(), QStringLiteral("No Timer Running"));
        QVERIFY(!shows("loggedTodayRow"));

        m_state->worklogState()->setTimeEntries({entry(QStringLiteral("a"), kNoon.addSecs(-3 * 3600), 30),
                                                 entry(QStringLiteral("b"), kNoon.addSecs(-3600), 45)});
        QVERIFY(shows("loggedTodayRow"));
        QCOMPARE(child<QLabel>("loggedTodayLabel")->text(), QStringLiteral("01:15 logged today"));

        // A running entry counts up to now: the total follows the row's clock.
        TimeEntry running = entry(QStringLiteral("c"), kNoon, 0);
        running.duration = -double(kNoon.toMSecsSinceEpoch());
        m_state->worklogState()->setTimeEntries({running});
        QVERIFY(!shows("loggedTodayRow"));
        m_clock->advance(2 * 60);
        QTRY_VERIFY_WITH_TIMEOUT(shows("loggedTodayRow"), 3000);
        QCOMPARE(child<QLabel>("loggedTodayLabel")->text(), QStringLiteral("00:02 logged today"));
    }

    void spinnerShowsWhileAStateLoads() {
        m_view->show();
        m_state->worklogState()->setTimeEntries({entry(QStringLiteral("a"), kNoon.addSecs(-3600), 30)});
        QVERIFY(!shows("loadingIndicator"));

        m_api->hold(FakeClickUpAPI::getCurrentTimerOp);
        auto fetch = m_state->timerState()->fetchActiveTimer(kTeam);
        QVERIFY(shows("loadingIndicator"));
        QVERIFY(child<ProgressIndicator>("loadingIndicator")->isSpinning());
        QVERIFY(shows("loggedTodayRow"));

        m_api->release(FakeClickUpAPI::getCurrentTimerOp);
        QVERIFY(awaitTask(std::move(fetch)).finished);
        QVERIFY(!shows("loadingIndicator"));
    }

    void timerErrorShowsOnlyWhileNoTimerRuns() {
        const APIError error = APIError::httpError(500, QStringLiteral("Server unavailable"));
        m_state->timerState()->setError(error);
        QVERIFY(shows("timerErrorRow"));
        QCOMPARE(child<QLabel>("timerErrorLabel")->text(), error.description());

        m_state->timerState()->setError(std::nullopt);
        QVERIFY(!shows("timerErrorRow"));

        // Stored while a timer runs, it appears once the timer has stopped.
        runTimer(timerOn(QStringLiteral("t1"), QStringLiteral("Task"), kNoon.addSecs(-60)));
        m_state->timerState()->setError(error);
        QVERIFY(!shows("timerErrorRow"));
        m_state->timerState()->setActiveTimer(std::nullopt);
        QVERIFY(shows("timerErrorRow"));
    }

    void failedStopKeepsTheTimerAndShowsNoError() {
        runTimer(timerOn(QStringLiteral("t1"), QStringLiteral("Task"), kNoon.addSecs(-60)));
        m_api->failNext(FakeClickUpAPI::stopTimerOp,
                        std::make_exception_ptr(APIError::httpError(500, std::nullopt)));
        child<QPushButton>("stopButton")->click();
        QTRY_VERIFY(m_state->timerState()->error().has_value());
        QVERIFY(m_state->timerState()->hasActiveTimer());
        QVERIFY(shows("runningForm"));
        QVERIFY(!shows("idleForm"));
    }
};

PENDLOW_TEST_MAIN(TimerStatusViewTest)
#include "tst_TimerStatusView.moc"
