// The periodic refresh with the real clients against loopback servers that stall: a ClickUp reply
// that drips forever fails at its deadline and the next tick refreshes again; one that drips a byte
// every 2 s holds no refresh back past the period, and its late answer overwrites nothing newer; a
// Tools server that hangs holds back neither the ClickUp states nor the next refresh.
#include "support/AppStateFixture.h"
#include "support/FakeClickUpServer.h"
#include "support/FakeHttpServer.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "core/RequestLimits.h"
#include "platform/KeychainItem.h"
#include "services/clickup/ClickUpAPIService.h"
#include "services/tools/ToolsAPIService.h"
#include "services/tools/ToolsAuthService.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTimer>

#include <memory>

using namespace std::chrono_literals;

namespace {
const QDateTime kMondayMorning(QDate(2026, 3, 2), QTime(10, 0));
const QString currentTimerPath = QStringLiteral("/api/v2/team/9001/time_entries/current");

QString heapText(const char* text) {
    return QString::fromUtf8(QByteArray(text));
}
} // namespace

class RefreshStallsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;

    std::unique_ptr<AppState> makeState(ClickUpClient& clickUp, ToolsClient& tools) {
        return std::make_unique<AppState>(clickUp, tools, m_fixture->keychain, m_fixture->settings,
                                          m_fixture->notifications, m_fixture->toasts, m_fixture->panels);
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<AppStateFixture>(kMondayMorning);
        m_fixture->storeClickUpSettings(heapText("pk_81234567_STALLSTALL"));
    }

    void cleanup() { m_fixture.reset(); }

    void drippingReplyTimesOutAndTheNextTickRefreshes() {
        FakeClickUpServer server;
        server.runningTimer =
            FakeClickUpServer::timerJson(heapText("42"), heapText("86c0run"), heapText("Write report"),
                                         kMondayMorning.addSecs(-1500).toMSecsSinceEpoch());
        // The timer reply comes one byte every 100 ms: never quiet long enough for the inactivity
        // time-out, and 10 s in all; once the server recovers it answers at once.
        auto dripping = std::make_shared<bool>(true);
        const QByteArray healthyBody =
            QJsonDocument(QJsonObject{{QStringLiteral("data"), *server.runningTimer}}).toJson();
        server.http().route("GET", currentTimerPath, [dripping, healthyBody](const FakeHttpServer::Request&) {
            if (!*dripping) {
                return FakeHttpServer::Response::json(healthyBody);
            }
            FakeHttpServer::Response response = FakeHttpServer::Response::json(QByteArray(100, ' ') + "{}");
            response.dripMs = 100;
            return response;
        });
        ClickUpAPIService client(m_fixture->keychain, server.apiUrl());
        RequestLimits limits;
        limits.inactivity = 800ms;
        limits.deadline = 1500ms;
        client.setRequestLimits(limits);
        m_fixture->settings.setTimerReminderInterval(3);
        const std::unique_ptr<AppState> state = makeState(client, m_fixture->tools);

        state->refreshService()->start();
        QTRY_VERIFY_WITH_TIMEOUT(state->timerState()->error().has_value(), 6000);
        QCOMPARE(state->timerState()->error()->description(),
                 QStringLiteral("Network error: The request timed out."));
        QVERIFY(!state->timerState()->activeTimer());
        // The other fetch of the refresh was not held up by it.
        QVERIFY(!state->worklogState()->error());
        QTRY_VERIFY(!state->refreshService()->isRefreshing());

        // The server recovers: the schedule is still running and the next tick brings the timer.
        *dripping = false;
        QTRY_VERIFY_WITH_TIMEOUT(state->timerState()->activeTimer().has_value(), 8000);
        QCOMPARE(state->timerState()->activeTimer()->taskName, QStringLiteral("Write report"));
        QVERIFY(!state->timerState()->error());
    }

    // The first fetch of the timer and of the entries drip one byte every 2 s (under the inactivity
    // time-out, far from the deadline) and end in a reply that says nothing useful; every later
    // request is answered at once. The tick after a period abandons the first run, and its late
    // answers, coming after the newer ones, are dropped.
    void drippingFetchIsAbandonedAfterAPeriodAndItsLateAnswerDropped() {
        FakeClickUpServer server;
        server.runningTimer =
            FakeClickUpServer::timerJson(heapText("42"), heapText("86c0run"), heapText("Write report"),
                                         kMondayMorning.addSecs(-1500).toMSecsSinceEpoch());
        server.timeEntries.append(
            FakeClickUpServer::timeEntryJson(heapText("7"), heapText("86c0done"), heapText("Plan sprint"),
                                             kMondayMorning.addSecs(-7200).toMSecsSinceEpoch(), 1800000));
        auto dripped = std::make_shared<QSet<QString>>();
        server.intercept =
            [dripped](const FakeHttpServer::Request& request) -> std::optional<FakeHttpServer::Response> {
            if (request.method != "GET" || dripped->contains(request.path)) {
                return std::nullopt;
            }
            dripped->insert(request.path);
            FakeHttpServer::Response late = FakeHttpServer::Response::json(QByteArray("{}"));
            late.dripMs = 2000;
            return late;
        };
        // The client's own limits: 10 s without data, 60 s in all.
        ClickUpAPIService client(m_fixture->keychain, server.apiUrl());
        m_fixture->settings.setTimerReminderInterval(2);
        const std::unique_ptr<AppState> state = makeState(client, m_fixture->tools);
        TimerState& timer = *state->timerState();
        WorklogState& worklog = *state->worklogState();
        bool timerLost = false;
        bool worklogFailed = false;
        connect(&timer, &TimerState::activeTimerChanged, this,
                [&] { timerLost = timerLost || (server.http().requestCount() > 2 && !timer.activeTimer()); });
        connect(&worklog, &WorklogState::errorChanged, this,
                [&] { worklogFailed = worklogFailed || worklog.error().has_value(); });

        // The pinned clock moves with real time, as the refresh measures a run's age on it.
        QTimer clockFollows;
        connect(&clockFollows, &QTimer::timeout, this, [this] { m_fixture->clock().advanceMSecs(100); });
        clockFollows.start(100);

        QElapsedTimer elapsed;
        elapsed.start();
        state->refreshService()->start();
        QVERIFY(server.http().waitForRequests(2));
        // The next tick, one period on, brings the timer and the entries despite the dripping replies.
        QTRY_VERIFY_WITH_TIMEOUT(timer.activeTimer().has_value() && worklog.timeEntries().size() == 1, 4000);
        QCOMPARE(dripped->size(), 2);

        // The dripped replies end (two bytes, done after 6 s) and are dropped: neither the timer nor the
        // entries are lost to them, nor does an error show.
        QTest::qWait(int(qMax<qint64>(0, 7500 - elapsed.elapsed())));
        QVERIFY(!timerLost);
        QVERIFY(!worklogFailed);
        QVERIFY(timer.activeTimer().has_value());
        QCOMPARE(worklog.timeEntries().size(), 1);
        QVERIFY(!timer.error());
    }

    void hangingToolsServerHoldsBackNoClickUpState() {
        FakeClickUpServer server;
        server.runningTimer =
            FakeClickUpServer::timerJson(heapText("42"), heapText("86c0run"), heapText("Write report"),
                                         kMondayMorning.addSecs(-1500).toMSecsSinceEpoch());
        FakeHttpServer toolsServer;
        FakeHttpServer::Response hang;
        hang.hang = true;
        toolsServer.setFallback([hang](const FakeHttpServer::Request&) { return hang; });
        m_fixture->keychain.putItem(KeychainItem::toolsWSToken, heapText("ws-0123456789"));
        m_fixture->settings.setToolsUrl(toolsServer.baseUrl().toString() + QStringLiteral("/tools/"));
        m_fixture->settings.setUserKey(heapText("uk-1"));
        ClickUpAPIService client(m_fixture->keychain, server.apiUrl());
        ToolsAuthService auth(m_fixture->keychain, m_fixture->settings);
        ToolsAPIService tools(m_fixture->keychain, m_fixture->settings, auth);
        const std::unique_ptr<AppState> state = makeState(client, tools);

        // The refresh ends with the ClickUp part, the planning still waiting for its server.
        QVERIFY(awaitTask(state->refresh(), 5000).finished);
        QVERIFY(state->timerState()->activeTimer().has_value());
        QVERIFY(!state->timerState()->error());
        QVERIFY(!state->worklogState()->isLoading());
        QVERIFY(toolsServer.waitForRequests(1));
        QVERIFY(state->planningState()->isLoading());
        // The checks after the ClickUp fetches ran too: a timer runs, so its reminder showed.
        QCOMPARE(m_fixture->toasts.activeTimerToasts.size(), 1);

        // The next refresh runs in full and starts no second planning request meanwhile.
        const int clickUpRequests = server.http().requestCount();
        QVERIFY(awaitTask(state->refresh(), 5000).finished);
        QCOMPARE(server.http().requestCount(), clickUpRequests + 2);
        QCOMPARE(toolsServer.requestCount(), 1);
        QVERIFY(state->planningState()->isLoading());
    }
};

PENDLOW_TEST_MAIN(RefreshStallsTest)
#include "tst_RefreshStalls.moc"
