#include "app/PendlowApp.h"

#include "app/AppDelegate.h"
#include "app/DayPlanningSourcesOf.h"
#include "core/DetachedTask.h"
#include "core/Log.h"
#include "core/UserDefaultsService.h"
#include "platform/ChromiumDevTools.h"
#include "platform/ChromiumSessionFile.h"
#include "platform/FirefoxSessionStore.h"
#include "platform/HeapTrim.h"
#include "platform/KeychainService.h"
#include "platform/LaunchAtLogin.h"
#include "platform/PopupBrowserService.h"
#include "platform/ScreenSaverWatch.h"
#include "platform/SystemClipboard.h"
#include "platform/TrayIcon.h"
#include "platform/X11ClientWindows.h"
#include "platform/X11FrontAppSource.h"
#include "platform/X11IdleSource.h"
#include "services/AppState.h"
#include "services/TimerRefreshScheduler.h"
#include "services/alerts/NotificationService.h"
#include "services/alerts/SilentMode.h"
#include "services/clickup/ClickUpAPIService.h"
#include "services/forwarding/EmailCapture.h"
#include "services/forwarding/EmailForwarder.h"
#include "services/forwarding/EmailForwardingService.h"
#include "services/forwarding/MailClientSubjects.h"
#include "services/openai/OpenAIService.h"
#include "services/reports/UsageDayLoader.h"
#include "services/tools/ToolsAPIService.h"
#include "services/tools/ToolsAuthService.h"
#include "services/updates/UpdateService.h"
#include "services/usage/ActivityGrouping.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageSwitch.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/BrowserUrlProbe.h"
#include "services/usage/DeepContextService.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/WindowTitleCaptureService.h"
#include "ui/alerts/AlertHub.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/alerts/FloatingAlertService.h"
#include "ui/alerts/ToastAlertService.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/menubar/AppUsageSection.h"
#include "ui/menubar/FooterView.h"
#include "ui/menubar/MenuBarIcon.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PopoverWindow.h"
#include "ui/reports/AppUsageReportOpener.h"
#include "ui/reports/ExportView.h"
#include "ui/reports/ReportContext.h"
#include "ui/reports/ReportWindowManager.h"
#include "ui/settings/AISettingsTab.h"
#include "ui/settings/AboutTab.h"
#include "ui/settings/AlertsSettingsTab.h"
#include "ui/settings/ClickUpSettingsTab.h"
#include "ui/settings/N8NSettingsTab.h"
#include "ui/settings/PreferencesTab.h"
#include "ui/settings/SettingsWindow.h"
#include "ui/settings/ToolsSettingsTab.h"
#include <QCoreApplication>

#include <QPointer>

namespace {
const QString defaultClickUpBaseUrl = QStringLiteral("https://api.clickup.com/api/v2");
constexpr int clockIntervalMs = 1000;
constexpr int startupTrimDelayMs = 5000;

// The alert windows: the caller's, or the process-wide ones, which close each other on a snooze.
ToastAlerts& toastAlertsOf(const PendlowApp::Services& services) {
    if (services.toastAlerts) {
        return *services.toastAlerts;
    }
    ToastAlertService& toasts = ToastAlertService::shared();
    toasts.setFloatingAlertService(&FloatingAlertService::shared());
    return toasts;
}

FloatingAlerts& floatingAlertsOf(const PendlowApp::Services& services) {
    if (services.floatingAlerts) {
        return *services.floatingAlerts;
    }
    FloatingAlertService& panels = FloatingAlertService::shared();
    panels.setToastAlertService(&ToastAlertService::shared());
    return panels;
}
} // namespace

QUrl PendlowApp::clickUpBaseUrl() {
    const QString configured = qEnvironmentVariable("PENDLOW_CLICKUP_API_URL");
    return QUrl(configured.isEmpty() ? defaultClickUpBaseUrl : configured);
}

QUrl PendlowApp::openAIBaseUrl() {
    const QString configured = qEnvironmentVariable("PENDLOW_OPENAI_API_URL");
    return QUrl(configured.isEmpty() ? OpenAIService::defaultBaseUrl : configured);
}

PendlowApp::PendlowApp(const Services& services, QObject* parent)
    : QObject(parent)
    , m_settings(services.userDefaultsService) {
    // Each section takes what the ones before it built: the launch delegate the updater, the root
    // state the Tools client and the alert windows, the tray label the root state, the report
    // windows the tracker's storage, the export sheet the report windows' context.
    buildToolsClient(services);
    buildUpdatesAndWebHelper(services);
    buildRootState(services);
    buildTray();
    buildUsageTracking(services);
    buildReports();
    followDebugLogSetting();
    buildExport(services);
    buildEmailForwarding(services);
    connectPopoverOpeners(services);
    startClock();
    pausePulsesWhileScreenSaverActive(services);
}

void PendlowApp::buildToolsClient(const Services& services) {
    // The Tools client's sign-in; the settings window's Timesheet page signs in and out through it
    // also when the caller gives its own client.
    m_ownedToolsAuth = std::make_unique<ToolsAuthService>(services.keychainService, m_settings);
    if (!services.toolsAPI) {
        m_ownedToolsAPI =
            std::make_unique<ToolsAPIService>(services.keychainService, m_settings, *m_ownedToolsAuth);
    }
}

void PendlowApp::buildUpdatesAndWebHelper(const Services& services) {
    if (!services.updateService) {
        m_ownedUpdateService = std::make_unique<UpdateService>(
            m_settings, UpdateService::appcastUpdaterFactory(UpdateService::configuredFeedUrl(), m_settings));
    }
    m_popupBrowser = new PopupBrowserService(m_settings, this);
    m_appDelegate =
        new AppDelegate(services.notificationService,
                        services.updateService ? *services.updateService : *m_ownedUpdateService, this);
}

void PendlowApp::buildRootState(const Services& services) {
    m_toastAlerts = &toastAlertsOf(services);
    m_floatingAlerts = &floatingAlertsOf(services);
    m_appState = new AppState(services.clickUpAPI, services.toolsAPI ? *services.toolsAPI : *m_ownedToolsAPI,
                              services.keychainService, m_settings, services.notificationService,
                              *m_toastAlerts, *m_floatingAlerts, this);
    // Views open web pages in the popup browser.
    QPointer<PopupBrowserService> browser(m_popupBrowser);
    m_appState->setPageOpener([browser](const QUrl& url, const QString& title) {
        if (browser) {
            browser->open(url, title);
        }
    });
}

void PendlowApp::buildTray() {
    m_tray = new TrayIcon(QDBusConnection::sessionBus(), this);
    m_menuBarIcon =
        new MenuBarIcon(*m_appState->timerState(), *m_appState->worklogState(), m_settings, *m_tray, this);
    MenuBarView::bindMenuBarIcon(*m_menuBarIcon, *m_appState);
}

void PendlowApp::buildUsageTracking(const Services& services) {
    m_appUsage = services.appUsageService ? services.appUsageService : buildOwnUsageTracker();
    m_appState->setAppUsageService(m_appUsage);
    // At quit (also after SIGTERM or SIGINT, which quit the event loop) the open session is ended and
    // the day saved.
    if (QCoreApplication::instance()) {
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, m_appUsage,
                &AppUsageTrackingService::stopTracking);
    }
}

AppUsageTrackingService* PendlowApp::buildOwnUsageTracker() {
    m_usageStorage = std::make_unique<AppUsageStorageService>();
    m_frontApps = std::make_unique<X11FrontAppSource>();
    m_idle = std::make_unique<X11IdleSource>();
    m_privacy = std::make_unique<PrivacyRedaction>(m_settings);
    m_firefoxTabs = std::make_unique<FirefoxSessionStore>();
    m_chromiumTabs = std::make_unique<ChromiumSessionFile>(ChromiumSessionFile::defaultFolders(),
                                                           std::make_unique<ChromiumDevTools>());
    m_mailSubjects = std::make_unique<MailClientSubjects>();
    m_deepContext = std::make_unique<DeepContextService>(
        m_settings, *m_privacy,
        DeepContextService::Sources{m_firefoxTabs.get(), m_chromiumTabs.get(), m_mailSubjects.get()});
    m_browserUrlProbe = std::make_unique<BrowserUrlProbe>(
        QList<BrowserTabSource*>{m_firefoxTabs.get(), m_chromiumTabs.get()}, *m_privacy, m_frontApps.get());
    m_accessibility = std::make_unique<WindowTitleCaptureService>(*m_frontApps, m_settings, *m_privacy,
                                                                  m_deepContext.get());
    m_ownedAppUsage = std::make_unique<AppUsageTrackingService>(*m_usageStorage, *m_frontApps, *m_idle,
                                                                *m_accessibility, m_settings);
    return m_ownedAppUsage.get();
}

void PendlowApp::buildReports() {
    // The report windows read and delete the stored days through the tracker's own storage.
    m_usageDayLoader = std::make_unique<UsageDayLoader>(m_appUsage->storage(), m_appUsage);
    m_reportContext = std::make_unique<ReportContext>();
    m_reportContext->loader = m_usageDayLoader.get();
    m_reportContext->settings = &m_settings;
    m_reportContext->worklog = m_appState->worklogState();
    m_reportContext->dayPlan = m_appState->dayPlanningState();
    m_reportContext->makePlanningView = [appState = m_appState](QWidget* parent) {
        return new DayPlanningView(dayPlanningSourcesOf(*appState), parent);
    };
    if (const FrontAppSource* frontApps = m_frontApps.get()) {
        m_reportContext->windowTitlesReadable = [frontApps] { return frontApps->canReadWindowTitles(); };
    }
    m_reportWindows = std::make_unique<ReportWindowManager>(*m_reportContext);
    m_usageReportWindows = std::make_unique<AppUsageReportOpener>(*m_reportContext, *m_reportWindows);
}

void PendlowApp::followDebugLogSetting() {
    // The debug switch of the log follows the setting.
    UserDefaultsService& settings = m_settings;
    Log::setDebugEnabled(settings.debugLoggingEnabled());
    connect(&settings, &UserDefaultsService::settingChanged, this, [&settings](const QString& key) {
        if (key == u"debugLoggingEnabled") {
            Log::setDebugEnabled(settings.debugLoggingEnabled());
        }
    });
}

void PendlowApp::buildExport(const Services& services) {
    m_openAIService = new OpenAIService(services.keychainService, m_settings, openAIBaseUrl(), this);
    m_grouping = std::make_unique<ActivityGrouping>(m_settings);
    m_reportContext->showExport = [openAI = m_openAIService, grouping = m_grouping.get()](
                                      const DailyUsageSummary& summary, QWidget* parent) {
        auto* dialog = new ExportView(summary, *openAI, *grouping, parent);
        dialog->open();
    };
}

void PendlowApp::buildEmailForwarding(const Services& services) {
    ForwardingClient* forwarding = services.emailForwarding;
    if (!forwarding) {
        m_clientWindows = std::make_unique<X11ClientWindows>();
        m_clipboard = std::make_unique<SystemClipboard>();
        // No browser-address source yet: webmail links come from the clipboard.
        m_emailCapture = std::make_unique<EmailCapture>(*m_clientWindows, *m_clipboard, nullptr);
        m_ownedEmailForwarding =
            std::make_unique<EmailForwardingService>(services.keychainService, m_settings, *m_emailCapture);
        forwarding = m_ownedEmailForwarding.get();
    }
    m_appState->emailForwarder().setService(forwarding);
}

void PendlowApp::connectPopoverOpeners(const Services& services) {
    connect(m_tray, &TrayIcon::activated, this, [this](QRect anchor) { popover().toggleAt(anchor); });
    connect(m_tray, &TrayIcon::shownChanged, this, [this](bool shown) {
        if (shown) {
            startStartupTask();
        }
    });
    connect(&AlertHub::instance(), &AlertHub::openPopoverRequested, this,
            [this] { popover().showAt(m_tray->anchor()); });
    // A click on the no-timer warning opens the popover too.
    if (auto* notifications = dynamic_cast<NotificationService*>(&services.notificationService)) {
        connect(notifications, &NotificationService::openPopoverRequested, this,
                [this] { popover().showAt(m_tray->anchor()); });
    }
}

void PendlowApp::startClock() {
    // The application's clock: it redraws the tray label and nothing else.
    m_clock.setInterval(clockIntervalMs);
    // Very coarse: it fires on whole seconds, together with the popover's own clock, so the process
    // wakes once a second for both.
    m_clock.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_clock, &QTimer::timeout, this, [this] {
        m_refreshTrigger = !m_refreshTrigger;
        m_menuBarIcon->setRefreshTrigger(m_refreshTrigger);
        emit refreshTriggerChanged();
    });
    m_clock.start();
}

void PendlowApp::pausePulsesWhileScreenSaverActive(const Services& services) {
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

PendlowApp::PendlowApp(std::unique_ptr<ClickUpClient> ownedClickUpAPI, QObject* parent)
    : PendlowApp(Services{KeychainService::shared(), *ownedClickUpAPI, UserDefaultsService::shared(),
                          NotificationService::shared()},
                 parent) {
    m_ownedClickUpAPI = std::move(ownedClickUpAPI);
}

PendlowApp::~PendlowApp() {
    // The settings pages read the root state and the services.
    m_settingsWindow.reset();
    // The views and the label read the root state, and the states hold the client: let them go in
    // that order.
    m_usageReportWindows.reset();
    m_reportWindows.reset();
    m_popover.reset();
    delete m_menuBarIcon;
    m_menuBarIcon = nullptr;
    delete m_appState;
    m_appState = nullptr;
    // The forwarding service reads through the capture: let it go first.
    m_ownedEmailForwarding.reset();
    if (m_appUsage) {
        m_appUsage->stopTracking();
    }
    // The delegate uses the update service, which may be ours.
    delete m_appDelegate;
    m_appDelegate = nullptr;
}

PopoverWindow& PendlowApp::popover() {
    if (!m_popover) {
        m_popover =
            std::make_unique<PopoverWindow>(*m_appState, m_settings, *m_toastAlerts, *m_floatingAlerts);
        AppUsageReportOpener* reports = m_usageReportWindows.get();
        m_popover->content()->appUsageSection()->setReportOpener([reports] { reports->showReport(); });
        UpdateService* updates = &m_appDelegate->updateService();
        FooterView* footer = m_popover->content()->footerView();
        footer->setUpdateChecker([updates] { updates->checkForUpdatesManually(); });
        footer->setSettingsAction([this] { openSettings(); });
    }
    return *m_popover;
}

SettingsWindow& PendlowApp::settingsWindow() {
    if (!m_settingsWindow) {
        m_settingsWindow = std::make_unique<SettingsWindow>(makeSettingsPages());
    }
    return *m_settingsWindow;
}

void PendlowApp::openSettings() {
    settingsWindow().present();
}

QList<SettingsPage*> PendlowApp::makeSettingsPages() {
    AppState& state = *m_appState;
    SecretStore& keychain = state.keychainService();
    SettingsStore& settings = state.userDefaultsService();
    const auto reloadConfiguration = [&state] { return state.loadConfiguration(); };
    QList<SettingsPage*> pages{
        new ClickUpSettingsTab(keychain, settings,
                               ClickUpSettingsTab::Actions{
                                   .configuredTeamId = [&state] { return state.configuration().teamId; },
                                   .reloadConfiguration = reloadConfiguration,
                                   .refresh = [&state] { return state.refresh(); },
                               }),
        new ToolsSettingsTab(keychain, settings, *m_ownedToolsAuth,
                             ToolsSettingsTab::Actions{
                                 .reloadConfiguration = reloadConfiguration,
                                 .fetchPlanning = [&state] { return state.fetchPlanning(); },
                             }),
        new AlertsSettingsTab(settings, *state.refreshService(), *m_floatingAlerts, *m_toastAlerts),
    };
    m_launchAtLogin = std::make_unique<LaunchAtLogin>();
    AppUsageSwitch& usage = state.appUsageSwitch();
    SilentMode& silentMode = state.silentMode();
    PreferencesTab::Services preferences{
        .settings = settings,
        .usageStorage = m_appUsage->storage(),
        .launchAtLogin = *m_launchAtLogin,
        .tracker = m_appUsage,
        .trackingActive = WatchedFlag::of(usage, &AppUsageSwitch::isActive, &AppUsageSwitch::activeChanged),
        .setTracking = [&usage](bool enabled) { usage.setEnabled(enabled); },
        .silentModeActive = WatchedFlag::of(silentMode, &SilentMode::isActive, &SilentMode::activeChanged),
        .enableSilentMode = [&silentMode](double seconds) { return silentMode.enable(seconds); },
        .disableSilentMode = [&silentMode] { return silentMode.disable(); },
        .windowTitlesReadable = m_reportContext->windowTitlesReadable,
    };
    if (BrowserUrlProbe* probe = m_browserUrlProbe.get()) {
        preferences.browserUrlProbe = [probe] { return probe->run(); };
    }
    pages.append(new PreferencesTab(preferences));
    pages.append(new AISettingsTab(keychain, settings, *m_openAIService));
    if (ForwardingClient* forwarding = state.emailForwarder().service()) {
        pages.append(new N8NSettingsTab(keychain, settings, *forwarding));
    }
    pages.append(new AboutTab);
    return pages;
}

void PendlowApp::launch() {
    QTimer::singleShot(0, this, &PendlowApp::finishLaunching);
}

void PendlowApp::finishLaunching() {
    // The tray item first: everything else can follow it.
    m_tray->show();
    m_appDelegate->applicationDidFinishLaunching();
    // The popover is built at its first opening (about 8 MB that a tray item nobody clicks never
    // needs).
    // Starting (the first refreshes' replies and decoding, the start of the tracker) leaves freed heap
    // behind that glibc would keep for the rest of the day: give it back once things have settled.
    QTimer::singleShot(startupTrimDelayMs, this, [] { HeapTrim::releaseFreeMemory(); });
    if (!m_tray->isShown()) {
        // No tray yet: the item shows when one appears; start without waiting for it.
        startStartupTask();
    }
}

void PendlowApp::startStartupTask() {
    runDetached(whileAlive(QPointer<PendlowApp>(this), [](PendlowApp& app) { return app.runStartupTask(); }),
                QStringLiteral("Start-up failed"), Log::Category::general);
}

QCoro::Task<> PendlowApp::runStartupTask() {
    if (m_hasStartedMonitoring) {
        co_return;
    }
    m_hasStartedMonitoring = true;
    emit hasStartedMonitoringChanged();

    QPointer<PendlowApp> self(this);
    // One refresh now, then one every "timerReminderInterval" seconds; scheduled first, so that a
    // first refresh held up by a slow server is abandoned at the next tick like any other.
    TimerRefreshScheduler* const refreshService = m_appState->refreshService();
    refreshService->start(TimerRefreshScheduler::RunNow::no);
    co_await refreshService->performRefresh();
    if (!self) {
        co_return;
    }
    m_appState->appUsageSwitch().startIfEnabled();
    emit startupFinished();
}
