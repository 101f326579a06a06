#pragma once

#include "platform/SecretStore.h"
#include "services/AppConfiguration.h"
#include "services/TimerRefreshScheduler.h"
#include "services/clickup/AvatarImageCache.h"
#include "services/clickup/SearchState.h"
#include "services/clickup/TimerState.h"
#include "services/clickup/WorklogState.h"
#include "services/dayplan/DayPlanningState.h"
#include "services/dayplan/DayPlanningStorageService.h"
#include "services/tools/PlanningState.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class AppUsageSwitch;
class AppUsageTrackingService;
class ClickUpClient;
class EmailForwarder;
class FloatingAlerts;
class Notifier;
class SilentMode;
class ToastAlerts;
class ToolsClient;
class SettingsStore;

// The root state: made once at start-up and kept for the life of the process. Owns the feature
// states and the periodic refresh, holds the last loaded configuration and the flags the tray and the
// popover read, and runs the refresh. It also owns silent mode, the e-mail forward and the app-usage
// switch, which a configuration load brings up to date; views take those objects themselves. GUI
// thread only; no operation throws.
//
// The flags notify only when their value changes; a newly loaded configuration always notifies.
class AppState : public QObject {
    Q_OBJECT
    Q_PROPERTY(TimerState* timerState READ timerState CONSTANT)
    Q_PROPERTY(WorklogState* worklogState READ worklogState CONSTANT)
    Q_PROPERTY(PlanningState* planningState READ planningState CONSTANT)
    Q_PROPERTY(SearchState* searchState READ searchState CONSTANT)
    Q_PROPERTY(DayPlanningState* dayPlanningState READ dayPlanningState CONSTANT)
    Q_PROPERTY(TimerRefreshScheduler* refreshService READ refreshService CONSTANT)
    Q_PROPERTY(AppConfiguration configuration READ configuration NOTIFY configurationChanged)
    Q_PROPERTY(
        bool isPopoverVisible READ isPopoverVisible WRITE setIsPopoverVisible NOTIFY isPopoverVisibleChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(double totalTimeToday READ totalTimeToday NOTIFY totalTimeTodayChanged)

public:
    // Opens a web address for the user under a window title (the in-app browser).
    using PageOpener = std::function<void(const QUrl& url, const QString& title)>;

    // The planning state holds the Tools client.
    AppState(ClickUpClient& clickUpAPI, ToolsClient& toolsAPI, SecretStore& keychainService,
             SettingsStore& userDefaultsService, Notifier& notificationService, ToastAlerts& toastAlerts,
             FloatingAlerts& floatingAlerts, QObject* parent = nullptr);
    ~AppState() override;

    TimerState* timerState() const { return m_timerState; }
    WorklogState* worklogState() const { return m_worklogState; }
    PlanningState* planningState() const { return m_planningState; }
    SearchState* searchState() const { return m_searchState; }
    // The day plan; its store keeps the plan files in $XDG_DATA_HOME/Pendlow/planning.
    DayPlanningState* dayPlanningState() const { return m_dayPlanningState; }
    TimerRefreshScheduler* refreshService() const { return m_refreshService; }
    SecretStore& keychainService() const { return m_keychainService; }
    SettingsStore& userDefaultsService() const { return m_userDefaultsService; }
    Notifier& notificationService() const { return m_notificationService; }
    // Profile pictures of ClickUp users, shared by every row that shows them.
    AvatarImageCache& avatarImages() { return m_avatarImages; }

    // How the views open task pages and other web addresses; the application sets the in-app
    // browser. Without one, openPage only logs.
    void setPageOpener(PageOpener opener) { m_pageOpener = std::move(opener); }
    void openPage(const QUrl& url, const QString& title) const;

    // Silent mode; a configuration load looks at its end again, and its changes reload the
    // configuration.
    SilentMode& silentMode() const { return *m_silentMode; }
    // The e-mail forward; it opens the task through openPage.
    EmailForwarder& emailForwarder() const { return *m_emailForwarder; }
    // The app-usage switch; a configuration load sets its flag from the setting.
    AppUsageSwitch& appUsageSwitch() const { return *m_appUsageSwitch; }

    // Gives the app-usage switch its tracker; from then on the running timer's task id is handed to it on
    // every change.
    void setAppUsageService(AppUsageTrackingService* service);

    const AppConfiguration& configuration() const { return m_configuration; }
    bool isPopoverVisible() const { return m_isPopoverVisible; }
    // A state is fetching (the timer, today's entries or the planning).
    bool isLoading() const;
    // Milliseconds logged today (running entries count up to now, never below 0).
    double totalTimeToday() const;

    // Whether the secret store could be read at the last configuration load: locked (the user
    // cancelled the unlock prompt) or missing altogether explains why nothing loads.
    SecretStore::Access keychainAccess() const { return m_keychainAccess; }

    // Set by the popover when it is shown and hidden. Showing it lets the secret store ask the user
    // to unlock it again.
    void setIsPopoverVisible(bool visible);

    // Reloads the configuration from the secret store and the settings, then the silent-mode flag
    // and the usage-tracking flag.
    QCoro::Task<> loadConfiguration();
    // Loads the configuration; without a ClickUp token and team id it logs "ClickUp not configured,
    // skipping refresh" (at error level once, then at debug level; only at debug level while the
    // secret store is locked or missing) and stops, leaving the states' errors as they are. Otherwise clears
    // the states' errors, fetches the running timer, today's entries and, when the Tools server is
    // configured, the planning together (each keeps its own outcome), then checks the no-timer
    // warning and the active-timer reminder. It ends once the ClickUp part is over: the planning
    // lands in its state whenever its server answers, and while one planning fetch is under way a
    // refresh starts no other.
    QCoro::Task<> refresh();
    // Fetches the planning when the Tools server is configured; otherwise logs (debug) "Tools not
    // configured, skipping planning fetch". Uses the configuration as last loaded.
    QCoro::Task<> fetchPlanning();

Q_SIGNALS:
    void configurationChanged();
    void isPopoverVisibleChanged();
    void isLoadingChanged();
    void totalTimeTodayChanged();
    void keychainAccessChanged();

private:
    // What one refresh fetches with, taken once from the configuration.
    struct RefreshSnapshot {
        QString teamId;
        bool isToolsConfigured = false;
        QString toolsUrl;
        QString userKey;
        std::optional<QString> toolsWSToken;
    };

    // Starts the fetches of one refresh together; each keeps its own outcome in its state, so one
    // failing stops none of the others: the timer, today's entries and, when the snapshot says the
    // Tools server is configured, the planning.
    std::vector<QCoro::Task<>> startRefreshFetches(const RefreshSnapshot& snapshot);
    void startPlanningFetch(const RefreshSnapshot& snapshot);
    void setConfiguration(const AppConfiguration& configuration);
    void updateIsLoading();

    AppConfiguration m_configuration;
    bool m_isPopoverVisible = false;
    bool m_isLoading = false;
    // "ClickUp not configured" was logged since ClickUp was last configured.
    bool m_reportedNotConfigured = false;
    SecretStore::Access m_keychainAccess = SecretStore::Access::available;
    SecretStore& m_keychainService;
    SettingsStore& m_userDefaultsService;
    Notifier& m_notificationService;
    AvatarImageCache m_avatarImages;
    PageOpener m_pageOpener;
    TimerRefreshScheduler* m_refreshService;
    TimerState* m_timerState;
    WorklogState* m_worklogState;
    PlanningState* m_planningState;
    SearchState* m_searchState;
    std::unique_ptr<DayPlanningStorageService> m_dayPlanningStorage;
    DayPlanningState* m_dayPlanningState;
    SilentMode* m_silentMode;
    EmailForwarder* m_emailForwarder;
    AppUsageSwitch* m_appUsageSwitch;
};
