#include "app/PendlowApp.h"

#include "alerts/NotificationService.h"
#include "app/AppDelegate.h"
#include "app/AppState.h"
#include "app/KeychainService.h"
#include "app/Log.h"
#include "app/TimerRefreshService.h"
#include "app/UserDefaultsService.h"
#include "clickup/ClickUpAPIService.h"
#include "planning/ToolsAPIService.h"
#include "planning/ToolsAuthService.h"

#include <QIcon>
#include <QPointer>

namespace {
const QString defaultClickUpBaseUrl = QStringLiteral("https://api.clickup.com/api/v2");
constexpr int clockIntervalMs = 1000;
constexpr int trayPollIntervalMs = 250;

QCoro::Task<> runStartupTaskIfAlive(QPointer<PendlowApp> app) {
    if (!app) {
        co_return;
    }
    try {
        co_await app->runStartupTask();
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Start-up failed"), Log::Category::general, error);
    }
}

// The one Tools client of the application, unless the caller gives one.
std::unique_ptr<ToolsAPIServiceProtocol> makeToolsAPI(const PendlowApp::Services& services) {
    if (services.toolsAPI) {
        return nullptr;
    }
    return std::make_unique<ToolsAPIService>(services.keychainService, services.userDefaultsService,
                                             ToolsAuthService::shared());
}
} // namespace

QUrl PendlowApp::clickUpBaseUrl() {
    const QString configured = qEnvironmentVariable("PENDLOW_CLICKUP_API_URL");
    return QUrl(configured.isEmpty() ? defaultClickUpBaseUrl : configured);
}

PendlowApp::PendlowApp(const Services& services, QObject* parent)
    : QObject(parent)
    , m_ownedToolsAPI(makeToolsAPI(services))
    , m_appDelegate(new AppDelegate(services.notificationService, this))
    , m_appState(new AppState(services.clickUpAPI, services.toolsAPI ? *services.toolsAPI : *m_ownedToolsAPI,
                              services.keychainService, services.userDefaultsService,
                              services.notificationService, services.toastAlerts, services.floatingAlerts,
                              this))
    , m_trayIcon(QIcon(QStringLiteral(":/icons/pendlow.svg"))) {
    m_trayIcon.setToolTip(QStringLiteral("Pendlow"));

    m_waitForTray.setInterval(trayPollIntervalMs);
    connect(&m_waitForTray, &QTimer::timeout, this, [this] {
        if (showTrayIconIfAvailable()) {
            m_waitForTray.stop();
        }
    });

    m_clock.setInterval(clockIntervalMs);
    m_clock.setTimerType(Qt::PreciseTimer);
    connect(&m_clock, &QTimer::timeout, this, [this] {
        m_refreshTrigger = !m_refreshTrigger;
        emit refreshTriggerChanged();
    });
    m_clock.start();
}

PendlowApp::PendlowApp(QObject* parent)
    : PendlowApp(std::make_unique<ClickUpAPIService>(KeychainService::shared(), clickUpBaseUrl()), parent) {}

PendlowApp::PendlowApp(std::unique_ptr<ClickUpAPIServiceProtocol> ownedClickUpAPI, QObject* parent)
    : PendlowApp(Services{KeychainService::shared(), *ownedClickUpAPI, UserDefaultsService::shared(),
                          NotificationService::shared()},
                 parent) {
    m_ownedClickUpAPI = std::move(ownedClickUpAPI);
}

PendlowApp::~PendlowApp() {
    // The states hold the client: let them go first.
    delete m_appState;
    m_appState = nullptr;
}

void PendlowApp::launch() {
    QTimer::singleShot(0, this, &PendlowApp::finishLaunching);
}

void PendlowApp::finishLaunching() {
    m_appDelegate->applicationDidFinishLaunching();
    if (!showTrayIconIfAvailable()) {
        // No tray host yet: show the icon when one appears, and start without waiting for it.
        m_waitForTray.start();
        startStartupTask();
    }
}

bool PendlowApp::showTrayIconIfAvailable() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        return false;
    }
    m_trayIcon.show();
    startStartupTask();
    return true;
}

void PendlowApp::startStartupTask() {
    runStartupTaskIfAlive(this);
}

QCoro::Task<> PendlowApp::runStartupTask() {
    if (m_hasStartedMonitoring) {
        co_return;
    }
    m_hasStartedMonitoring = true;
    emit hasStartedMonitoringChanged();

    QPointer<PendlowApp> self(this);
    co_await m_appState->refresh();
    if (!self) {
        co_return;
    }
    // Refreshes once more at once, then every "timerReminderInterval" seconds.
    m_appState->refreshService()->start();
    emit startupFinished();
}
