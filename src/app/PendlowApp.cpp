#include "app/PendlowApp.h"

#include "alerts/AlertHub.h"
#include "alerts/AlertWindow.h"
#include "alerts/FloatingAlertService.h"
#include "alerts/NotificationService.h"
#include "app/AppDelegate.h"
#include "app/AppState.h"
#include "app/KeychainService.h"
#include "app/Log.h"
#include "app/TimerRefreshService.h"
#include "app/UserDefaultsService.h"
#include "clickup/ClickUpAPIService.h"
#include "menubar/MenuBarIcon.h"
#include "menubar/PopoverWindow.h"
#include "planning/ToolsAPIService.h"
#include "planning/ToolsAuthService.h"
#include "platform/ScreenSaverWatch.h"
#include "platform/TrayIcon.h"

#include <QPointer>

namespace {
const QString defaultClickUpBaseUrl = QStringLiteral("https://api.clickup.com/api/v2");
constexpr int clockIntervalMs = 1000;

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
    , m_appDelegate(new AppDelegate(services.notificationService, services.updateService, this))
    , m_appState(new AppState(services.clickUpAPI, services.toolsAPI ? *services.toolsAPI : *m_ownedToolsAPI,
                              services.keychainService, services.userDefaultsService,
                              services.notificationService, services.toastAlerts, services.floatingAlerts,
                              this))
    , m_tray(new TrayIcon(QDBusConnection::sessionBus(), this))
    , m_menuBarIcon(new MenuBarIcon(*m_appState, *m_tray, this))
    , m_popover(std::make_unique<PopoverWindow>(*m_appState, services.toastAlerts, services.floatingAlerts)) {
    connect(m_tray, &TrayIcon::activated, m_popover.get(), &PopoverWindow::toggleAt);
    connect(m_tray, &TrayIcon::shownChanged, this, [this](bool shown) {
        if (shown) {
            startStartupTask();
        }
    });
    connect(&AlertHub::instance(), &AlertHub::openPopoverRequested, m_popover.get(),
            [this] { m_popover->showAt(m_tray->anchor()); });

    // The application's clock: it redraws the tray label and nothing else.
    m_clock.setInterval(clockIntervalMs);
    m_clock.setTimerType(Qt::PreciseTimer);
    connect(&m_clock, &QTimer::timeout, this, [this] {
        m_refreshTrigger = !m_refreshTrigger;
        m_menuBarIcon->setRefreshTrigger(m_refreshTrigger);
        emit refreshTriggerChanged();
    });
    m_clock.start();

    // Nothing pulses while the screen is blanked or locked.
    auto* screenSaver = new ScreenSaverWatch(this);
    m_menuBarIcon->setPulsePaused(screenSaver->isActive());
    connect(screenSaver, &ScreenSaverWatch::activeChanged, m_menuBarIcon, &MenuBarIcon::setPulsePaused);
    if (!services.floatingAlerts) {
        FloatingAlertService& panels = FloatingAlertService::shared();
        panels.setPulsePaused(screenSaver->isActive());
        connect(screenSaver, &ScreenSaverWatch::activeChanged, &panels,
                &FloatingAlertService::setPulsePaused);
    }
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
    // The views and the label read the root state, and the states hold the client: let them go in
    // that order.
    m_popover.reset();
    delete m_menuBarIcon;
    m_menuBarIcon = nullptr;
    delete m_appState;
    m_appState = nullptr;
}

void PendlowApp::launch() {
    QTimer::singleShot(0, this, &PendlowApp::finishLaunching);
}

void PendlowApp::finishLaunching() {
    m_appDelegate->applicationDidFinishLaunching();
    m_tray->show();
    if (!m_tray->isShown()) {
        // No tray yet: the item shows when one appears; start without waiting for it.
        startStartupTask();
    }
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
