#pragma once

#include <QCoroTask>
#include <QObject>
#include <QTimer>
#include <QUrl>

#include <memory>

class WindowTitleCaptureService;
class ActivityGrouping;
class AppDelegate;
class AppUsageReportOpener;
class ReportWindowManager;
class UsageDayLoader;
struct ReportContext;
class AppState;
class AppUsageStorageService;
class AppUsageTrackingService;
class BrowserTabSource;
class BrowserUrlProbe;
class DeepContextService;
class MailSubjectSource;
class FrontAppSource;
class IdleSource;
class PrivacyRedaction;
class ClickUpClient;
class EmailCapture;
class ForwardingClient;
class FloatingAlerts;
class SecretStore;
class LaunchAtLogin;
class MenuBarIcon;
class Notifier;
class OpenAIService;
class PopoverWindow;
class ToastAlerts;
class SystemClipboard;
class ToolsClient;
class TrayIcon;
class X11ClientWindows;
class UpdateService;
class PopupBrowserService;
class SettingsPage;
class SettingsWindow;
class ToolsAuthService;
class UserDefaultsService;

// The application: builds the services and the one root state, the tray item with its label and the
// popover, drives the one-second clock the label redraws on, and runs the start-up task once: when
// the tray item is first shown, or at once after launch when no tray is there yet.
//
// Launch (launch(), then the event loop): the launch-end work of AppDelegate (updater, notification
// permission); the tray item; the start-up task, which awaits one refresh and then starts the
// periodic refresh, which refreshes once more at once: a launch performs two refreshes in a row.
// A click on the tray item opens or closes the popover; AlertHub::openPopoverRequested and a click on
// the no-timer notification (NotificationService::openPopoverRequested) open it.
class PendlowApp : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool refreshTrigger READ refreshTrigger NOTIFY refreshTriggerChanged)
    Q_PROPERTY(bool hasStartedMonitoring READ hasStartedMonitoring NOTIFY hasStartedMonitoringChanged)

public:
    // The services the application is built from (tests give their own).
    struct Services {
        SecretStore& keychainService;
        ClickUpClient& clickUpAPI;
        UserDefaultsService& userDefaultsService;
        Notifier& notificationService;
        ToastAlerts* toastAlerts = nullptr;       // the shared one when none
        FloatingAlerts* floatingAlerts = nullptr; // the shared one when none
        // When none, the application makes one Tools client, with its sign-in service, over
        // keychainService and userDefaultsService.
        ToolsClient* toolsAPI = nullptr;
        // When none, the application makes one over the build's feed address.
        UpdateService* updateService = nullptr;
        // When none, the application makes its own over the X11 front-window and idle sources.
        AppUsageTrackingService* appUsageService = nullptr;
        // When none, the application makes one over keychainService and userDefaultsService that
        // reads the e-mail from the desktop's windows and clipboard.
        ForwardingClient* emailForwarding = nullptr;
    };

    // The ClickUp API address: the environment's PENDLOW_CLICKUP_API_URL when set, else
    // "https://api.clickup.com/api/v2".
    static QUrl clickUpBaseUrl();
    // The OpenAI API address: the environment's PENDLOW_OPENAI_API_URL when set, else
    // OpenAIService::defaultBaseUrl.
    static QUrl openAIBaseUrl();

    // The application as it runs: the process-wide secret store, one ClickUp client on
    // clickUpBaseUrl() (the process's only one), the process-wide settings store and notification
    // service, in this order, and the shared alert windows.
    explicit PendlowApp(QObject* parent = nullptr);
    explicit PendlowApp(const Services& services, QObject* parent = nullptr);
    ~PendlowApp() override;

    AppState& appState() const { return *m_appState; }
    AppDelegate& appDelegate() const { return *m_appDelegate; }
    TrayIcon& tray() const { return *m_tray; }
    MenuBarIcon& menuBarIcon() const { return *m_menuBarIcon; }
    // The popover, built on first use (the first click on the tray item), so that the tray item
    // comes up without waiting for it and an unopened popover costs no memory.
    PopoverWindow& popover();
    bool hasPopover() const { return m_popover != nullptr; }
    // The application's OpenAI client, on openAIBaseUrl().
    OpenAIService& openAIService() const { return *m_openAIService; }
    // The settings window's browser-address test; none when the caller gave its own tracker.
    BrowserUrlProbe* browserUrlProbe() const { return m_browserUrlProbe.get(); }
    const QTimer& clock() const { return m_clock; }
    // The settings window, built on first use with its pages; the one window the footer's Settings
    // opens.
    SettingsWindow& settingsWindow();
    // Shows the settings window, or brings it to the front when it is open already.
    void openSettings();
    // The report windows: "App Usage Report" (the popover's "View Full Report") and the dashboard and
    // day-plan windows it opens.
    AppUsageReportOpener& usageReportWindows() const { return *m_usageReportWindows; }
    ReportWindowManager& reportWindows() const { return *m_reportWindows; }

    // Flips every second; the tray label redraws on it.
    bool refreshTrigger() const { return m_refreshTrigger; }
    // The start-up task has begun (it never runs twice).
    bool hasStartedMonitoring() const { return m_hasStartedMonitoring; }

    // Queues the launch for when the event loop runs.
    void launch();
    // The start-up task: returns at once after its first run.
    QCoro::Task<> runStartupTask();

Q_SIGNALS:
    void refreshTriggerChanged();
    void hasStartedMonitoringChanged();
    // The start-up task has finished its work.
    void startupFinished();

private:
    // The production services around a ClickUp client this object owns.
    PendlowApp(std::unique_ptr<ClickUpClient> ownedClickUpAPI, QObject* parent);

    // The constructor's sections, one per area, in the order the constructor runs them.
    void buildToolsClient(const Services& services);
    void buildUpdatesAndWebHelper(const Services& services);
    void buildRootState(const Services& services);
    void buildTray();
    void buildUsageTracking(const Services& services);
    // The tracker over the X11 front-window and idle sources, when the caller gives none.
    AppUsageTrackingService* buildOwnUsageTracker();
    void buildReports();
    void followDebugLogSetting();
    void buildExport(const Services& services);
    void buildEmailForwarding(const Services& services);
    void connectPopoverOpeners(const Services& services);
    void startClock();
    void pausePulsesWhileScreenSaverActive(const Services& services);

    void finishLaunching();
    void startStartupTask();
    // The settings window's pages, in their order.
    QList<SettingsPage*> makeSettingsPages();

    std::unique_ptr<ClickUpClient> m_ownedClickUpAPI;
    std::unique_ptr<ToolsAuthService> m_ownedToolsAuth;
    std::unique_ptr<ToolsClient> m_ownedToolsAPI;
    std::unique_ptr<UpdateService> m_ownedUpdateService;
    PopupBrowserService* m_popupBrowser = nullptr;
    // App-usage tracking, when the caller gives no tracker.
    std::unique_ptr<AppUsageStorageService> m_usageStorage;
    std::unique_ptr<FrontAppSource> m_frontApps;
    std::unique_ptr<IdleSource> m_idle;
    std::unique_ptr<PrivacyRedaction> m_privacy;
    std::unique_ptr<BrowserTabSource> m_firefoxTabs;
    std::unique_ptr<BrowserTabSource> m_chromiumTabs;
    std::unique_ptr<MailSubjectSource> m_mailSubjects;
    std::unique_ptr<DeepContextService> m_deepContext;
    std::unique_ptr<BrowserUrlProbe> m_browserUrlProbe;
    std::unique_ptr<WindowTitleCaptureService> m_accessibility;
    std::unique_ptr<AppUsageTrackingService> m_ownedAppUsage;
    AppUsageTrackingService* m_appUsage = nullptr;
    std::unique_ptr<X11ClientWindows> m_clientWindows;
    std::unique_ptr<SystemClipboard> m_clipboard;
    std::unique_ptr<EmailCapture> m_emailCapture;
    std::unique_ptr<ForwardingClient> m_ownedEmailForwarding;
    OpenAIService* m_openAIService = nullptr;
    AppDelegate* m_appDelegate = nullptr;
    AppState* m_appState = nullptr;
    TrayIcon* m_tray = nullptr;
    MenuBarIcon* m_menuBarIcon = nullptr;
    std::unique_ptr<PopoverWindow> m_popover;
    UserDefaultsService& m_settings;
    ToastAlerts* m_toastAlerts = nullptr;
    FloatingAlerts* m_floatingAlerts = nullptr;
    std::unique_ptr<LaunchAtLogin> m_launchAtLogin;
    std::unique_ptr<SettingsWindow> m_settingsWindow;
    std::unique_ptr<ActivityGrouping> m_grouping;
    std::unique_ptr<UsageDayLoader> m_usageDayLoader;
    std::unique_ptr<ReportContext> m_reportContext;
    std::unique_ptr<ReportWindowManager> m_reportWindows;
    std::unique_ptr<AppUsageReportOpener> m_usageReportWindows;
    QTimer m_clock;
    bool m_refreshTrigger = false;
    bool m_hasStartedMonitoring = false;
};
