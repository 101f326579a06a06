// The popover's timer row against the real states over a fake ClickUp client: the running form
// (elapsed time on its own clock, the task name and its shortening, stop, open, copy) and the idle
// form (today's total, the loading spinner, the timer error).
#include "services/alerts/SilentMode.h"
#include "support/AppStateFixture.h"
#include "support/ClickUpSamples.h"
#include "support/RequireChild.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "ui/kit/ElidedLabel.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/TimerStatusView.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <memory>

namespace {
const QDateTime kNoon(QDate(2026, 3, 2), QTime(12, 0));

} // namespace

class TimerStatusViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<TimerStatusView> m_view;
    QList<QPair<QUrl, QString>> m_opened;

    AppState& state() { return m_fixture->state(); }

    template <typename T>
    T* child(const char* name) {
        return requireChild<T>(m_view.get(), name);
    }
    bool shows(const char* name) { return child<QWidget>(name)->isVisibleTo(m_view.get()); }

    void runTimer(const ActiveTimer& timer) {
        m_fixture->clickUp.runningTimer = timer;
        state().timerState()->setActiveTimer(timer);
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<AppStateFixture>(kNoon);
        m_fixture->configureClickUp();
        m_view = std::make_unique<TimerStatusView>(*state().timerState(), *state().worklogState());
        MenuBarView::bindTimerStatusView(*m_view, state());
        m_view->resize(316, 120);
        m_opened.clear();
        m_view->setUrlOpener([this](const QUrl& url, const QString& title) {
            m_opened.append({url, title});
        });
    }

    void cleanup() {
        m_view.reset();
        m_fixture.reset();
    }

    // --- timer running ---

    void runningTimerShowsElapsedTimeOnItsOwnClock() {
        runTimer(timerOn(QStringLiteral("abc"), kNoon.addSecs(-(3600 + 5 * 60 + 59)),
                         QStringLiteral("Write report")));
        m_view->show();
        QVERIFY(shows("runningForm"));
        QVERIFY(!shows("idleForm"));
        QCOMPARE(child<QLabel>("elapsedLabel")->text(), QStringLiteral("01:05"));
        QCOMPARE(child<ElidedLabel>("taskNameLabel")->text(), QStringLiteral("Write report"));

        // Nothing but the row's clock tells it that time went on.
        m_fixture->clock().advance(60);
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
        const ActiveTimer timer = timerOn(QStringLiteral("t1"), kNoon.addSecs(-60), name);
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
        runTimer(timerOn(QStringLiteral("86abc12"), kNoon.addSecs(-60), QStringLiteral("Task")));
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
            m_fixture->settings.setSilentModeEnd(kNoon.addSecs(3600));
            QVERIFY(awaitTask(state().loadConfiguration()).finished);
            QVERIFY(state().silentMode().isActive());
        }
        runTimer(timerOn(QStringLiteral("t1"), kNoon.addSecs(-30 * 60), QStringLiteral("Task")));

        child<QPushButton>("stopButton")->click();
        QTRY_VERIFY(!state().timerState()->hasActiveTimer());
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::stopTimerOp), 1);
        QCOMPARE(m_fixture->clickUp.calls(FakeClickUpAPI::stopTimerOp).at(0).teamId, AppStateFixture::teamId);
        QCOMPARE(m_fixture->notifications.eventsStartingWith(QStringLiteral("timerStopped")).size(),
                 silent ? 0 : 1);
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

        state().worklogState()->setTimeEntries(
            {finishedEntry(QStringLiteral("a"), kNoon.addSecs(-3 * 3600), 30),
             finishedEntry(QStringLiteral("b"), kNoon.addSecs(-3600), 45)});
        QVERIFY(shows("loggedTodayRow"));
        QCOMPARE(child<QLabel>("loggedTodayLabel")->text(), QStringLiteral("01:15 logged today"));

        // A running entry counts up to now: the total follows the row's clock.
        state().worklogState()->setTimeEntries({runningEntry(QStringLiteral("c"), kNoon)});
        QVERIFY(!shows("loggedTodayRow"));
        m_fixture->clock().advance(2 * 60);
        QTRY_VERIFY_WITH_TIMEOUT(shows("loggedTodayRow"), 3000);
        QCOMPARE(child<QLabel>("loggedTodayLabel")->text(), QStringLiteral("00:02 logged today"));
    }

    void spinnerShowsWhileAStateLoads() {
        m_view->show();
        state().worklogState()->setTimeEntries(
            {finishedEntry(QStringLiteral("a"), kNoon.addSecs(-3600), 30)});
        QVERIFY(!shows("loadingIndicator"));

        m_fixture->clickUp.hold(FakeClickUpAPI::getCurrentTimerOp);
        auto fetch = state().timerState()->fetchActiveTimer(AppStateFixture::teamId);
        QVERIFY(shows("loadingIndicator"));
        QVERIFY(child<ProgressIndicator>("loadingIndicator")->isSpinning());
        QVERIFY(shows("loggedTodayRow"));

        m_fixture->clickUp.release(FakeClickUpAPI::getCurrentTimerOp);
        QVERIFY(awaitTask(std::move(fetch)).finished);
        QVERIFY(!shows("loadingIndicator"));
    }

    void timerErrorShowsOnlyWhileNoTimerRuns() {
        const APIError error = APIError::httpError(500, QStringLiteral("Server unavailable"));
        state().timerState()->setError(error);
        QVERIFY(shows("timerErrorRow"));
        QCOMPARE(child<QLabel>("timerErrorLabel")->text(), error.description());

        state().timerState()->setError(std::nullopt);
        QVERIFY(!shows("timerErrorRow"));

        // Stored while a timer runs, it appears once the timer has stopped.
        runTimer(timerOn(QStringLiteral("t1"), kNoon.addSecs(-60), QStringLiteral("Task")));
        state().timerState()->setError(error);
        QVERIFY(!shows("timerErrorRow"));
        state().timerState()->setActiveTimer(std::nullopt);
        QVERIFY(shows("timerErrorRow"));
    }

    void failedStopKeepsTheTimerAndShowsNoError() {
        runTimer(timerOn(QStringLiteral("t1"), kNoon.addSecs(-60), QStringLiteral("Task")));
        m_fixture->clickUp.failNext(FakeClickUpAPI::stopTimerOp,
                                    std::make_exception_ptr(APIError::httpError(500, std::nullopt)));
        child<QPushButton>("stopButton")->click();
        QTRY_VERIFY(state().timerState()->error().has_value());
        QVERIFY(state().timerState()->hasActiveTimer());
        QVERIFY(shows("runningForm"));
        QVERIFY(!shows("idleForm"));
    }
};

PENDLOW_TEST_MAIN(TimerStatusViewTest)
#include "tst_TimerStatusView.moc"
