#pragma once

#include "app/AppConfiguration.h"
#include "app/TimerRefreshService.h"
#include "clickup/SearchState.h"
#include "clickup/TimerState.h"
#include "clickup/WorklogState.h"
#include "planning/PlanningState.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>
#include <vector>

class ClickUpAPIServiceProtocol;
class EmailForwardingServiceProtocol;
class FloatingAlertServiceProtocol;
class KeychainServiceProtocol;
class NotificationServiceProtocol;
class ToastAlertServiceProtocol;
class ToolsAPIServiceProtocol;
class UserDefaultsServiceProtocol;

// The root state: made once at start-up and kept for the life of the process. Owns the feature
// states and the periodic refresh, holds the last loaded configuration and the flags the tray and the
// popover read, runs the refresh, and switches silent mode. GUI thread only; no operation throws.
//
// The flags notify only when their value changes; a newly loaded configuration always notifies.
class AppState : public QObject {
    Q_OBJECT
    Q_PROPERTY(TimerState* timerState READ timerState CONSTANT)
    Q_PROPERTY(WorklogState* worklogState READ worklogState CONSTANT)
    Q_PROPERTY(PlanningState* planningState READ planningState CONSTANT)
    Q_PROPERTY(SearchState* searchState READ searchState CONSTANT)
    Q_PROPERTY(TimerRefreshService* refreshService READ refreshService CONSTANT)
    Q_PROPERTY(AppConfiguration configuration READ configuration NOTIFY configurationChanged)
    Q_PROPERTY(
        bool isPopoverVisible READ isPopoverVisible WRITE setIsPopoverVisible NOTIFY isPopoverVisibleChanged)
    Q_PROPERTY(bool silentModeActive READ silentModeActive NOTIFY silentModeActiveChanged)
    Q_PROPERTY(bool appUsageTrackingActive READ appUsageTrackingActive NOTIFY appUsageTrackingActiveChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(double totalTimeToday READ totalTimeToday NOTIFY totalTimeTodayChanged)

public:
    // The planning state holds the Tools client; the toast and floating-panel services default to
    // their shared instances.
    AppState(ClickUpAPIServiceProtocol& clickUpAPI, ToolsAPIServiceProtocol& toolsAPI,
             KeychainServiceProtocol& keychainService, UserDefaultsServiceProtocol& userDefaultsService,
             NotificationServiceProtocol& notificationService,
             ToastAlertServiceProtocol* toastAlerts = nullptr,
             FloatingAlertServiceProtocol* floatingAlerts = nullptr, QObject* parent = nullptr);
    ~AppState() override;

    TimerState* timerState() const { return m_timerState; }
    WorklogState* worklogState() const { return m_worklogState; }
    PlanningState* planningState() const { return m_planningState; }
    SearchState* searchState() const { return m_searchState; }
    TimerRefreshService* refreshService() const { return m_refreshService; }
    KeychainServiceProtocol& keychainService() const { return m_keychainService; }
    UserDefaultsServiceProtocol& userDefaultsService() const { return m_userDefaultsService; }
    NotificationServiceProtocol& notificationService() const { return m_notificationService; }

    const AppConfiguration& configuration() const { return m_configuration; }
    bool isPopoverVisible() const { return m_isPopoverVisible; }
    bool silentModeActive() const { return m_silentModeActive; }
    // Mirrors the setting "isAppUsageTrackingEnabled" as of the last configuration load.
    bool appUsageTrackingActive() const { return m_appUsageTrackingActive; }
    // A state is fetching (the timer, today's entries or the planning).
    bool isLoading() const;
    // Milliseconds logged today (running entries count up to now, never below 0).
    double totalTimeToday() const;

    // Set by the popover when it is shown and hidden.
    void setIsPopoverVisible(bool visible);

    // Opens an address for the user under a window title (the in-app browser).
    using UrlOpener = std::function<void(const QUrl& url, const QString& title)>;
    // E-mail forwarding; none means forwarding is not available (the footer shows no button).
    void setEmailForwardingService(EmailForwardingServiceProtocol* service) {
        m_emailForwardingService = service;
    }
    EmailForwardingServiceProtocol* emailForwardingService() const { return m_emailForwardingService; }
    // Opens the ClickUp task a forward created; nothing is opened until one is set.
    void setTaskOpener(UrlOpener opener) { m_taskOpener = std::move(opener); }
    // The wait between a successful forward and opening its task, in milliseconds.
    static constexpr int taskOpenDelayMs = 500;
    // Forwards the open e-mail. On success logs "Email forwarded successfully to n8n" and, when the
    // webhook named an http(s) task address, opens it taskOpenDelayMs later under "ClickUp Task";
    // another address is logged and not opened. Either way emailForwardingFinished reports the
    // outcome with its own text. Never throws.
    QCoro::Task<> forwardCurrentEmail();

    // Reloads the configuration from the secret store and the settings, then the silent-mode flag
    // and the usage-tracking flag.
    QCoro::Task<> loadConfiguration();
    // Loads the configuration; without a ClickUp token and team id it logs "ClickUp not configured,
    // skipping refresh" and stops, leaving the states' errors as they are. Otherwise clears the
    // states' errors, fetches the running timer, today's entries and, when the Tools server is
    // configured, the planning together (each keeps its own outcome), then checks the no-timer
    // warning and the active-timer reminder.
    QCoro::Task<> refresh();
    // Fetches the planning when the Tools server is configured; otherwise logs (debug) "Tools not
    // configured, skipping planning fetch". Uses the configuration as last loaded.
    QCoro::Task<> fetchPlanning();
    // Silent mode until now plus the seconds: stored, flagged, configuration reloaded, and the
    // silent-mode notification posted.
    QCoro::Task<> enableSilentMode(double seconds);
    // Ends silent mode without a notification.
    QCoro::Task<> disableSilentMode();
    // silentModeActive becomes whether a stored silent-mode end lies after now.
    void updateSilentModeState();

Q_SIGNALS:
    void configurationChanged();
    void isPopoverVisibleChanged();
    void silentModeActiveChanged();
    void appUsageTrackingActiveChanged();
    void isLoadingChanged();
    void totalTimeTodayChanged();
    // A forward ended: the text to show ("Email sent to n8n", or the error's description).
    void emailForwardingFinished(const QString& text, bool succeeded);

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
    void setConfiguration(const AppConfiguration& configuration);
    void setSilentModeActive(bool active);
    void setAppUsageTrackingActive(bool active);
    void updateIsLoading();

    AppConfiguration m_configuration;
    bool m_isPopoverVisible = false;
    bool m_silentModeActive = false;
    bool m_appUsageTrackingActive = false;
    bool m_isLoading = false;
    KeychainServiceProtocol& m_keychainService;
    UserDefaultsServiceProtocol& m_userDefaultsService;
    NotificationServiceProtocol& m_notificationService;
    EmailForwardingServiceProtocol* m_emailForwardingService = nullptr;
    UrlOpener m_taskOpener;
    TimerRefreshService* m_refreshService;
    TimerState* m_timerState;
    WorklogState* m_worklogState;
    PlanningState* m_planningState;
    SearchState* m_searchState;
};
