// The application's start-up with fake services: the launch-end work, the start-up task that runs
// once and refreshes twice, the one-second clock and the label it redraws, the popover opened from
// the tray item and from the reminders, the ClickUp and OpenAI addresses from the environment, and
// e-mail forwarding wired to the root state.
#include "support/AppRig.h"
#include "support/FakeClickUpAPI.h"
#include "support/FakeClock.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationServer.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/PrivateDBus.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "app/PendlowApp.h"
#include "core/Log.h"
#include "core/UserDefaultsService.h"
#include "platform/KeychainItem.h"
#include "platform/TrayIcon.h"
#include "services/AppState.h"
#include "services/alerts/NotificationService.h"
#include "services/forwarding/EmailForwarder.h"
#include "services/forwarding/ForwardingClient.h"
#include "services/openai/OpenAIService.h"
#include "services/updates/UpdateService.h"
#include "ui/alerts/AlertHub.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/alerts/FloatingAlertService.h"
#include "ui/alerts/ToastAlertService.h"
#include "ui/menubar/MenuBarIcon.h"
#include "ui/menubar/PopoverWindow.h"

#include <QSignalSpy>
#include <QSystemTrayIcon>

#include <memory>

class PendlowAppTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppRig> m_rig;
    int m_updaterStarts = 0;

    std::unique_ptr<PendlowApp> makeApp() { return m_rig->makeApp(); }

private Q_SLOTS:
    void init() {
        m_updaterStarts = 0;
        m_rig = std::make_unique<AppRig>([this]() -> AppcastUpdater* {
            ++m_updaterStarts;
            return nullptr;
        });
    }

    void launchRefreshesOnceAndStartsThePeriodicRefresh() {
        m_rig->keychain.putItem(KeychainItem::clickUpAPIToken, QStringLiteral("pk_1234"));
        m_rig->settings.setTeamId(QStringLiteral("9001"));
        auto app = makeApp();
        QSignalSpy finished(app.get(), &PendlowApp::startupFinished);
        QVERIFY(!app->hasStartedMonitoring());

        app->launch();
        QVERIFY(!app->hasStartedMonitoring()); // not before the event loop runs
        QTRY_COMPARE(finished.count(), 1);
        QTRY_COMPARE(m_rig->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 1);
        QCOMPARE(m_rig->clickUp.callCount(FakeClickUpAPI::getTimeEntriesOp), 1);
        QVERIFY(app->appState().refreshService()->isScheduled());
        QCOMPARE(m_rig->notifications.events.count(QStringLiteral("permission")), 1);
        QCOMPARE(m_rig->notifications.events.constFirst(),
                 QStringLiteral("permission")); // launch end comes first
        QCOMPARE(m_updaterStarts, 1);
        if (QSystemTrayIcon::isSystemTrayAvailable()) {
            QVERIFY(app->tray().isShown());
        }

        // The start-up task never runs twice.
        QVERIFY(awaitTask(app->runStartupTask()).finished);
        QTest::qWait(250);
        QCOMPARE(m_rig->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 1);
        QCOMPARE(finished.count(), 1);
    }

    void launchWithoutTokenSkipsTheRefresh() {
        LogCapture log;
        auto app = makeApp();
        QSignalSpy finished(app.get(), &PendlowApp::startupFinished);
        app->launch();
        QTRY_COMPARE(finished.count(), 1);
        QTest::qWait(250);
        QCOMPARE(log.count(QStringLiteral("ClickUp not configured, skipping refresh")), 1);
        QVERIFY(m_rig->clickUp.calls().isEmpty());
    }

    void clockFlipsTheTriggerAndTheLabelBlinks() {
        const FakeClock clock(QDateTime(QDate(2025, 3, 4), QTime(10, 0)));
        auto app = makeApp();
        QCOMPARE(app->clock().interval(), 1000);
        QVERIFY(app->clock().isActive());
        app->appState().timerState()->setActiveTimer(ActiveTimer{QStringLiteral("e1"), QStringLiteral("t1"),
                                                                 QStringLiteral("Implement the login flow"),
                                                                 QUrl(), clock.now().addSecs(-65 * 60)});
        const QString before = app->tray().label();
        QCOMPARE(before.mid(1), QStringLiteral(" 01:05 \u2502 Implement the logi"));

        const bool trigger = app->refreshTrigger();
        QSignalSpy spy(app.get(), &PendlowApp::refreshTriggerChanged);
        QVERIFY(spy.wait(3000));
        QCOMPARE(app->refreshTrigger(), !trigger);
        const QString after = app->tray().label();
        QCOMPARE(after.mid(1), before.mid(1));
        QCOMPARE(QSet<QString>({before.left(1), after.left(1)}),
                 QSet<QString>({QStringLiteral("\u23FA"), QStringLiteral("\u25CF")}));
        QCOMPARE(app->tray().toolTip(), after);
    }

    void trayClicksAndRemindersOpenThePopover() {
        auto app = makeApp();
        // The popover is built at its first opening: launched and started, the application has
        // none (an unopened popover costs no memory).
        QVERIFY(!app->hasPopover());
        app->launch();
        QTRY_VERIFY_WITH_TIMEOUT(app->hasStartedMonitoring(), 5000);
        QTest::qWait(1500);
        QVERIFY(!app->hasPopover());

        emit app->tray().activated(QRect(1800, 0, 24, 24));
        QVERIFY(app->hasPopover());
        PopoverWindow& popover = app->popover();
        QVERIFY(popover.isVisible());
        QVERIFY(app->appState().isPopoverVisible());
        QCOMPARE(popover.geometry().top(), 24); // hangs under the item
        QCOMPARE(m_rig->toasts.dismissCount, 1);
        QCOMPARE(m_rig->panels.dismissCount, 1);
        QVERIFY(app->appState().refreshService()->isScheduled());

        emit app->tray().activated(QRect(1800, 0, 24, 24));
        QVERIFY(!popover.isVisible());
        QVERIFY(!app->appState().isPopoverVisible());

        // The floating panel's "Open Timer".
        AlertHub::instance().requestOpenPopover();
        QVERIFY(popover.isVisible());
        QCOMPARE(m_rig->panels.dismissCount, 2);
        popover.hide();
    }

    // Without alert windows of its own the application takes the process-wide ones, wired to each
    // other: a snooze in the toast also closes the panel.
    void sharedInstancesAreWiredToEachOther() {
        const auto app =
            std::make_unique<PendlowApp>(PendlowApp::Services{.keychainService = m_rig->keychain,
                                                              .clickUpAPI = m_rig->clickUp,
                                                              .userDefaultsService = m_rig->settings,
                                                              .notificationService = m_rig->notifications,
                                                              .updateService = &m_rig->updates});
        ToastAlertService::shared().showToast(0);
        FloatingAlertService::shared().showAlert(0, {}, {});
        AlertHub::instance().postDismissToastAlert(900);
        QTRY_VERIFY(!ToastAlertService::shared().toastWindow());
        QVERIFY(!FloatingAlertService::shared().alertPanel());
        // They stay usable after the application object is gone (they live for the process).
        ToastAlertService::shared().showActiveTimerToast("Task", "00:01", 0);
        FloatingAlertService::shared().showAlert(0, {}, {});
        QVERIFY(ToastAlertService::shared().activeTimerWindow());
        QVERIFY(FloatingAlertService::shared().alertPanel());
        // Top-level windows outlive the application object's children at exit: closed here, so the
        // leak check at the end of the process sees nothing of them.
        delete ToastAlertService::shared().activeTimerWindow();
        delete FloatingAlertService::shared().alertPanel();
    }

    // The log's debug switch follows the setting: as stored at start, then on every change.
    void debugLoggingFollowsTheSetting() {
        m_rig->settings.setDebugLoggingEnabled(true);
        const auto app = makeApp();
        QVERIFY(Log::isDebugEnabled());
        m_rig->settings.setDebugLoggingEnabled(false);
        QVERIFY(!Log::isDebugEnabled());
        m_rig->settings.setDebugLoggingEnabled(true);
        QVERIFY(Log::isDebugEnabled());
        m_rig->settings.setDebugLoggingEnabled(false);
    }

    // A click on the no-timer notification (the server's ActionInvoked "default") opens the popover.
    void clickingTheNoTimerNotificationOpensThePopover() {
        PrivateDBus bus;
        QVERIFY(bus.isRunning());
        FakeNotificationServer server(bus.connect(QStringLiteral("server")));
        QVERIFY(server.isRegistered());
        NotificationService notifications(bus.connect(QStringLiteral("client")), nullptr,
                                          QStringLiteral("pendlow"));
        auto app = std::make_unique<PendlowApp>(PendlowApp::Services{.keychainService = m_rig->keychain,
                                                                     .clickUpAPI = m_rig->clickUp,
                                                                     .userDefaultsService = m_rig->settings,
                                                                     .notificationService = notifications,
                                                                     .toastAlerts = &m_rig->toasts,
                                                                     .floatingAlerts = &m_rig->panels,
                                                                     .updateService = &m_rig->updates});
        QVERIFY(!awaitTask(notifications.sendNoTimerWarning()).failed());
        QVERIFY(!app->popover().isVisible());
        server.invokeAction(server.notifyCalls().constLast().id, QStringLiteral("default"));
        QTRY_VERIFY(app->popover().isVisible());
        QVERIFY(app->appState().isPopoverVisible());
        app->popover().hide();
        app.reset();
        bus.disconnect(QStringLiteral("client"));
        bus.disconnect(QStringLiteral("server"));
    }

    void clickUpAddressFromTheEnvironment_data() {
        QTest::addColumn<QByteArray>("variable"); // null: unset
        QTest::addColumn<QUrl>("expected");
        QTest::newRow("unset") << QByteArray() << QUrl(QStringLiteral("https://api.clickup.com/api/v2"));
        QTest::newRow("empty") << QByteArray("") << QUrl(QStringLiteral("https://api.clickup.com/api/v2"));
        QTest::newRow("loopback") << QByteArray("http://127.0.0.1:8123/api/v2")
                                  << QUrl(QStringLiteral("http://127.0.0.1:8123/api/v2"));
    }

    void clickUpAddressFromTheEnvironment() {
        QFETCH(QByteArray, variable);
        QFETCH(QUrl, expected);
        if (variable.isNull()) {
            qunsetenv("PENDLOW_CLICKUP_API_URL");
        } else {
            qputenv("PENDLOW_CLICKUP_API_URL", variable);
        }
        QCOMPARE(PendlowApp::clickUpBaseUrl(), expected);
        qunsetenv("PENDLOW_CLICKUP_API_URL");
    }

    void openAIClientAndForwardingAreWired() {
        qputenv("PENDLOW_OPENAI_API_URL", "http://127.0.0.1:8124/v1");
        auto app = makeApp();
        qunsetenv("PENDLOW_OPENAI_API_URL");
        QCOMPARE(app->openAIService().completionsUrl(),
                 std::optional(QUrl(QStringLiteral("http://127.0.0.1:8124/v1/chat/completions"))));
        QCOMPARE(makeApp()->openAIService().completionsUrl(),
                 std::optional(QUrl(QStringLiteral("https://api.openai.com/v1/chat/completions"))));

        // The application's own forwarding reads the settings store it was given.
        ForwardingClient* forwarding = app->appState().emailForwarder().service();
        QVERIFY(forwarding);
        QVERIFY(!forwarding->isConfigured());
        m_rig->settings.setN8nEndpoint(QStringLiteral("https://n8n.example.com/webhook/mail"));
        QVERIFY(forwarding->isConfigured());
    }
};

PENDLOW_TEST_MAIN(PendlowAppTest)
#include "tst_PendlowApp.moc"
