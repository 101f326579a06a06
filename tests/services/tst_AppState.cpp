// The root state against fake ClickUp and Tools clients, an in-memory secret store, fake
// notifications and fake alert windows: the refresh (what it sends, concurrency, the checks after
// it), the planning fetch, silent mode as the root state drives it, and the derived values.
#include "support/AppStateFixture.h"
#include "support/ClickUpSamples.h"
#include "support/FakeClickUpServer.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "platform/KeychainItem.h"
#include "services/alerts/SilentMode.h"
#include "services/clickup/ClickUpAPIService.h"

#include <QSignalSpy>

#include <ctime>
#include <memory>

namespace {
const QDateTime kMondayMorning(QDate(2026, 3, 2), QTime(10, 0));
const QString kNotConfigured = QStringLiteral("[API] ClickUp not configured, skipping refresh");

} // namespace

class AppStateTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;

    AppState& state() { return m_fixture->state(); }

    // Tokens the logs are searched for.
    void configure() { m_fixture->storeClickUpSettings(onHeap(u"pk_81234567_SECRETSECRET")); }
    void configureTools() { m_fixture->storeToolsSettings(onHeap(u"ws-SECRETSECRET")); }

    void refresh() { QVERIFY(awaitTask(state().refresh()).finished); }

private Q_SLOTS:
    void initTestCase() {
        qputenv("TZ", "Europe/Amsterdam");
        tzset();
    }

    void init() { m_fixture = std::make_unique<AppStateFixture>(kMondayMorning); }

    void cleanup() { m_fixture.reset(); }

    // --- the refresh ---

    void notConfiguredSkipsTheRefresh_data() {
        QTest::addColumn<QVariant>("token"); // invalid: none stored
        QTest::addColumn<QString>("teamId");
        QTest::newRow("no token") << QVariant() << AppStateFixture::teamId;
        QTest::newRow("empty token") << QVariant(QString("")) << AppStateFixture::teamId;
        QTest::newRow("empty team id") << QVariant(QString("pk_1")) << QString();
    }

    void notConfiguredSkipsTheRefresh() {
        QFETCH(QVariant, token);
        QFETCH(QString, teamId);
        if (token.isValid()) {
            m_fixture->keychain.putItem(KeychainItem::clickUpAPIToken, token.toString());
        }
        m_fixture->settings.setTeamId(teamId);
        state().timerState()->setError(APIError::invalidToken());
        state().worklogState()->setError(APIError::invalidToken());
        QSignalSpy configurationSpy(&state(), &AppState::configurationChanged);
        LogCapture log;

        refresh();

        QCOMPARE(log.lines(Log::Level::error), QStringList{kNotConfigured});
        QCOMPARE(configurationSpy.count(), 1); // the configuration was loaded
        QVERIFY(m_fixture->clickUp.calls().isEmpty());
        QVERIFY(state().timerState()->error()); // earlier errors stay visible
        QVERIFY(state().worklogState()->error());
        QVERIFY(m_fixture->panels.panels.isEmpty());
        QCOMPARE(m_fixture->panels.dismissCount, 0);
    }

    void refreshSendsOnlyTheTimerAndTodaysEntries() {
        configure();
        state().timerState()->setError(APIError::invalidToken());
        state().worklogState()->setError(APIError::invalidToken());
        LogCapture log;

        refresh();

        QStringList operations = m_fixture->clickUp.operations();
        operations.sort();
        QCOMPARE(operations,
                 QStringList({FakeClickUpAPI::getCurrentTimerOp, FakeClickUpAPI::getTimeEntriesOp}));
        for (const FakeClickUpAPI::Call& call : m_fixture->clickUp.calls()) {
            QCOMPARE(call.teamId, AppStateFixture::teamId);
        }
        QCOMPARE(m_fixture->clickUp.calls(FakeClickUpAPI::getTimeEntriesOp).constFirst().startDate,
                 kMondayMorning.date().startOfDay());
        QVERIFY(!state().timerState()->error());
        QVERIFY(!state().worklogState()->error());
        QVERIFY(!log.contains(kNotConfigured));
        QVERIFY(!log.lines().join(u'\n').contains(QStringLiteral("SECRET")));
    }

    void planningJoinsTheRefreshOnlyWhenToolsIsConfigured_data() {
        QTest::addColumn<bool>("toolsConfigured");
        QTest::addColumn<int>("planningFetches");
        QTest::newRow("configured") << true << 1;
        // A browser sign-in alone does not count: only the shared web-service token does.
        QTest::newRow("signed in, no shared token") << false << 0;
    }

    void planningJoinsTheRefreshOnlyWhenToolsIsConfigured() {
        QFETCH(bool, toolsConfigured);
        QFETCH(int, planningFetches);
        configure();
        configureTools();
        // A failed fetch leaves an error for the refresh to clear.
        awaitTask(state().loadConfiguration());
        m_fixture->tools.failure = std::make_exception_ptr(APIError::httpError(503, std::nullopt));
        awaitTask(state().fetchPlanning());
        QVERIFY(state().planningState()->error());
        m_fixture->tools.failure = nullptr;
        m_fixture->tools.planning = {{}, QStringLiteral("2.4.1")};
        if (!toolsConfigured) {
            m_fixture->keychain.removeItem(KeychainItem::toolsWSToken);
            m_fixture->keychain.putItem(KeychainItem::toolsAccessToken, onHeap(u"access"));
            m_fixture->keychain.putItem(KeychainItem::toolsRefreshToken, onHeap(u"refresh"));
        }

        refresh();

        QCOMPARE(m_fixture->tools.calls(), 1 + planningFetches);
        QVERIFY(!state().planningState()->error()); // cleared by the refresh either way
        QCOMPARE(state().planningState()->serverVersion().has_value(), toolsConfigured);
    }

    // The planning is fetched together with the others, but the refresh (its checks included) does
    // not wait for it.
    void planningIsFetchedTogetherWithTheOthersAndHoldsBackNothing() {
        configure();
        configureTools();
        m_fixture->tools.hold();
        m_fixture->clickUp.hold(FakeClickUpAPI::getCurrentTimerOp);
        auto task = state().refresh();
        QTRY_COMPARE(m_fixture->tools.waiting(), 1);
        QTRY_COMPARE(m_fixture->clickUp.waiting(FakeClickUpAPI::getCurrentTimerOp), 1);
        QVERIFY(state().planningState()->isLoading());

        m_fixture->clickUp.release(FakeClickUpAPI::getCurrentTimerOp);
        QVERIFY(awaitTask(std::move(task)).finished);
        QVERIFY(!state().timerState()->isLoading());
        QVERIFY(!state().worklogState()->isLoading());
        QVERIFY(state().isLoading()); // the planning is still loading
        QCOMPARE(m_fixture->panels.panels.size(), 1);

        // A refresh meanwhile starts no second planning fetch.
        refresh();
        QCOMPARE(m_fixture->tools.calls(), 1);

        m_fixture->tools.failure = std::make_exception_ptr(APIError::httpError(500, std::nullopt));
        m_fixture->tools.release();
        QTRY_VERIFY(!state().isLoading());
        // The planning failing stops none of the others.
        QCOMPARE(state().planningState()->error()->description(), QStringLiteral("Server error: 500"));
        QVERIFY(!state().timerState()->error());
    }

    void fetchPlanningOnDemand() {
        LogCapture log(LogCapture::Verbosity::debug);
        awaitTask(state().fetchPlanning());
        QCOMPARE(m_fixture->tools.calls(), 0);
        QVERIFY(log.contains(QStringLiteral("[API] Tools not configured, skipping planning fetch")));

        configureTools();
        awaitTask(state().loadConfiguration());
        m_fixture->tools.planning = {{}, QStringLiteral("2.4.1")};
        awaitTask(state().fetchPlanning());
        QCOMPARE(m_fixture->tools.calls(), 1);
        QCOMPARE(state().planningState()->serverVersion(), std::optional<QString>(QStringLiteral("2.4.1")));
        QVERIFY(!log.lines().join(u'\n').contains(QStringLiteral("SECRET")));
    }

    // The same with the real client against a loopback ClickUp: one refresh is two requests.
    void refreshWithTheRealClientSendsTwoRequests() {
        configure();
        FakeClickUpServer server;
        server.runningTimer = FakeClickUpServer::timerJson(QStringLiteral("42"), QStringLiteral("86c0run"),
                                                           QStringLiteral("Write report"),
                                                           kMondayMorning.addSecs(-1500).toMSecsSinceEpoch());
        const qint64 midnight = kMondayMorning.date().startOfDay().toMSecsSinceEpoch();
        server.timeEntries.append(
            FakeClickUpServer::timeEntryJson(QStringLiteral("1"), QStringLiteral("86c0a"),
                                             QStringLiteral("Invoices"), midnight + 3600000, 1800000));
        ClickUpAPIService client(m_fixture->keychain, server.apiUrl());
        AppState appState(client, m_fixture->tools, m_fixture->keychain, m_fixture->settings,
                          m_fixture->notifications, m_fixture->toasts, m_fixture->panels);

        QVERIFY(awaitTask(appState.refresh()).finished);

        QStringList targets;
        for (const FakeHttpServer::Request& request : server.http().requests()) {
            targets.append(QString::fromLatin1(request.method) + u' ' + request.target);
        }
        targets.sort();
        QCOMPARE(
            targets,
            QStringList({QStringLiteral("GET /api/v2/team/9001/time_entries/current"),
                         QStringLiteral("GET /api/v2/team/9001/time_entries?start_date=%1").arg(midnight)}));
        QCOMPARE(appState.timerState()->activeTimer()->taskName, QStringLiteral("Write report"));
        QCOMPARE(appState.worklogState()->timeEntries().size(), 1);
        QCOMPARE(appState.totalTimeToday(), 1800000.0);
    }

    void fetchesRunTogetherAndOneFailingStopsNoneOfTheOthers() {
        configure();
        m_fixture->clickUp.timeEntries = {
            finishedEntry(QStringLiteral("a"), kMondayMorning.addSecs(-3600), 30)};
        m_fixture->clickUp.hold(FakeClickUpAPI::getCurrentTimerOp);
        m_fixture->clickUp.failNext(FakeClickUpAPI::getCurrentTimerOp,
                                    std::make_exception_ptr(APIError::httpError(500, std::nullopt)));

        auto task = state().refresh();
        // Today's entries are asked for while the timer request is still waiting.
        QTRY_COMPARE(m_fixture->clickUp.waiting(FakeClickUpAPI::getCurrentTimerOp), 1);
        QTRY_COMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getTimeEntriesOp), 1);
        QCOMPARE(state().worklogState()->timeEntries().size(), 1);

        m_fixture->clickUp.release(FakeClickUpAPI::getCurrentTimerOp);
        QVERIFY(awaitTask(std::move(task)).finished);

        QCOMPARE(state().timerState()->error()->description(), QStringLiteral("Server error: 500"));
        QVERIFY(!state().worklogState()->error());
        QCOMPARE(state().worklogState()->timeEntries().size(), 1);
        // The checks after the fetches still ran.
        QCOMPARE(m_fixture->panels.panels.size(), 1);
    }

    void checksAfterTheFetches_data() {
        QTest::addColumn<bool>("timerRuns");
        QTest::addColumn<bool>("popoverOpensMeanwhile");
        QTest::addColumn<int>("panels");
        QTest::addColumn<int>("reminders");
        QTest::newRow("no timer: the warning") << false << false << 1 << 0;
        QTest::newRow("a timer runs: the reminder") << true << false << 0 << 1;
        QTest::newRow("popover opened during the fetch: neither") << false << true << 0 << 0;
    }

    void checksAfterTheFetches() {
        QFETCH(bool, timerRuns);
        QFETCH(bool, popoverOpensMeanwhile);
        QFETCH(int, panels);
        QFETCH(int, reminders);
        configure();
        if (timerRuns) {
            m_fixture->clickUp.runningTimer = timerOn(QStringLiteral("t1"), kMondayMorning.addSecs(-300));
        }
        m_fixture->clickUp.hold(FakeClickUpAPI::getTimeEntriesOp);
        auto task = state().refresh();
        QTRY_COMPARE(m_fixture->clickUp.waiting(FakeClickUpAPI::getTimeEntriesOp), 1);
        state().setIsPopoverVisible(popoverOpensMeanwhile);
        m_fixture->clickUp.release(FakeClickUpAPI::getTimeEntriesOp);
        QVERIFY(awaitTask(std::move(task)).finished);

        QCOMPARE(m_fixture->panels.panels.size(), panels);
        QCOMPARE(m_fixture->toasts.activeTimerToasts.size(), reminders);
    }

    void snoozeOfTheWarningEnablesSilentMode() {
        configure();
        refresh();
        QVERIFY(m_fixture->panels.lastOnDismiss);

        m_fixture->panels.lastOnDismiss(3600);
        QTRY_VERIFY(state().silentMode().isActive());
        QTRY_COMPARE(m_fixture->notifications.eventsStartingWith(QStringLiteral("silentMode:")).size(), 1);
        QCOMPARE(m_fixture->settings.silentModeEnd(), std::optional<QDateTime>(kMondayMorning.addSecs(3600)));

        // While it lasts, a refresh closes the alerts instead of showing them.
        const int shown = int(m_fixture->panels.panels.size());
        refresh();
        QCOMPARE(m_fixture->panels.panels.size(), shown);
        QCOMPARE(m_fixture->panels.dismissCount, 1);
    }

    void overlappingTicksOfThePeriodicRefreshAreDropped() {
        configure();
        m_fixture->clickUp.hold(FakeClickUpAPI::getCurrentTimerOp);
        state().refreshService()->start();
        QTRY_COMPARE(m_fixture->clickUp.waiting(FakeClickUpAPI::getCurrentTimerOp), 1);

        state().refreshService()->tick();
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 1);

        m_fixture->clickUp.release(FakeClickUpAPI::getCurrentTimerOp);
        QTRY_VERIFY(!state().refreshService()->isRefreshing());
        state().refreshService()->tick();
        QTRY_COMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 2);
        QTRY_VERIFY(!state().refreshService()->isRefreshing());
    }

    // --- silent mode ---

    // Silent mode itself is tested on its own; here: its changes reload the configuration.
    void silentModeChangesReloadTheConfiguration() {
        QSignalSpy activeSpy(&state().silentMode(), &SilentMode::activeChanged);
        QSignalSpy configurationSpy(&state(), &AppState::configurationChanged);
        awaitTask(state().silentMode().enable(4 * 3600));
        QVERIFY(state().silentMode().isActive());
        const QDateTime end = kMondayMorning.addSecs(4 * 3600);
        QCOMPARE(state().configuration().silentModeEnd, std::optional<QDateTime>(end));
        QCOMPARE(m_fixture->notifications.events,
                 QStringList{QStringLiteral("silentMode:") + end.toString(Qt::ISODate)});
        QCOMPARE(configurationSpy.count(), 1);

        awaitTask(state().silentMode().disable());
        QVERIFY(!state().silentMode().isActive());
        QCOMPARE(state().configuration().silentModeEnd, std::nullopt);
        QCOMPARE(configurationSpy.count(), 2);
        QCOMPARE(activeSpy.count(), 2);
    }

    void passedSilentModeEndsAtTheNextLoad() {
        awaitTask(state().silentMode().enable(60));
        m_fixture->clock().advance(61);
        QVERIFY(state().silentMode().isActive()); // nothing ends it on its own
        awaitTask(state().refresh());             // not configured: still loads the configuration
        QVERIFY(!state().silentMode().isActive());
    }

    // --- what the tray and the popover read ---

    void stoppingReloadsTodayWithTheLoadedTeamId() {
        configure();
        awaitTask(state().loadConfiguration());
        m_fixture->settings.setTeamId(QStringLiteral("changed-since"));
        m_fixture->clickUp.runningTimer = timerOn(QStringLiteral("t1"), kMondayMorning.addSecs(-60));
        state().timerState()->setActiveTimer(m_fixture->clickUp.runningTimer);

        awaitTask(state().timerState()->stopTimer(AppStateFixture::teamId, false));

        QCOMPARE(m_fixture->clickUp.calls(FakeClickUpAPI::getTimeEntriesOp).size(), 1);
        QCOMPARE(m_fixture->clickUp.calls(FakeClickUpAPI::getTimeEntriesOp).constFirst().teamId,
                 AppStateFixture::teamId);
    }

    void totalTimeTodayCountsTheRunningEntryUpToNow() {
        configure();
        m_fixture->clickUp.timeEntries = {
            finishedEntry(QStringLiteral("a"), kMondayMorning.addSecs(-7200), 30),
            runningEntry(QStringLiteral("r"), kMondayMorning.addSecs(-20 * 60))};
        QSignalSpy totalSpy(&state(), &AppState::totalTimeTodayChanged);
        refresh();
        QCOMPARE(state().totalTimeToday(), double(50 * 60 * 1000));
        QCOMPARE(totalSpy.count(), 1);
    }

    void isLoadingFollowsTheFetches() {
        configure();
        QSignalSpy loadingSpy(&state(), &AppState::isLoadingChanged);
        m_fixture->clickUp.hold(FakeClickUpAPI::getCurrentTimerOp);
        m_fixture->clickUp.hold(FakeClickUpAPI::getTimeEntriesOp);
        auto task = state().refresh();
        QTRY_COMPARE(m_fixture->clickUp.waiting(FakeClickUpAPI::getTimeEntriesOp), 1);
        QVERIFY(state().isLoading());

        m_fixture->clickUp.release(FakeClickUpAPI::getCurrentTimerOp);
        QTRY_VERIFY(!state().timerState()->isLoading());
        QVERIFY(state().isLoading()); // today's entries are still loading

        m_fixture->clickUp.release(FakeClickUpAPI::getTimeEntriesOp);
        QVERIFY(awaitTask(std::move(task)).finished);
        QVERIFY(!state().isLoading());
        QCOMPARE(loadingSpy.count(), 2);
    }

    void popoverFlagNotifiesOnlyOnChange() {
        QSignalSpy spy(&state(), &AppState::isPopoverVisibleChanged);
        state().setIsPopoverVisible(true);
        state().setIsPopoverVisible(true);
        state().setIsPopoverVisible(false);
        QCOMPARE(spy.count(), 2);
    }
};

PENDLOW_TEST_MAIN(AppStateTest)
#include "tst_AppState.moc"
