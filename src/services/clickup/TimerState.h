#pragma once

#include "services/clickup/APIError.h"
#include "services/clickup/ActiveTimer.h"

#include <QCoroTask>
#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class ClickUpClient;
class FloatingAlerts;
class Notifier;
class ToastAlerts;
class SettingsStore;

// The one timer that may run in ClickUp for the user: reads it, starts and stops timers, tells the
// user about starts and stops, and on every refresh decides whether to warn that no timer runs and
// whether to remind the user of the one that does.
//
// Lives on the GUI thread. No operation throws: every failure ends in `error`. activeTimer, isLoading
// and lastReminderDate notify only when their value changes; every assignment of error notifies.
class TimerState : public QObject {
    Q_OBJECT
    Q_PROPERTY(std::optional<ActiveTimer> activeTimer READ activeTimer NOTIFY activeTimerChanged)
    Q_PROPERTY(bool hasActiveTimer READ hasActiveTimer NOTIFY activeTimerChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(std::optional<APIError> error READ error NOTIFY errorChanged)
    Q_PROPERTY(std::optional<QDateTime> lastReminderDate READ lastReminderDate NOTIFY lastReminderDateChanged)

public:
    // Told the timer after successful fetches, starts and stops.
    using TimerChangedCallback = std::function<void(const std::optional<ActiveTimer>&)>;
    // Awaited after a successful stop.
    using TimerStoppedCallback = std::function<QCoro::Task<>()>;
    // The snooze of a no-timer alert, given the seconds the user chose.
    using DismissCallback = std::function<QCoro::Task<>(double seconds)>;

    TimerState(ClickUpClient& clickUpAPI, Notifier& notificationService, SettingsStore& userDefaultsService,
               ToastAlerts& toastAlerts, FloatingAlerts& floatingAlerts, QObject* parent = nullptr);
    ~TimerState() override;

    const std::optional<ActiveTimer>& activeTimer() const { return m_activeTimer; }
    bool hasActiveTimer() const { return m_activeTimer.has_value(); }
    bool isLoading() const { return m_isLoading; }
    const std::optional<APIError>& error() const { return m_error; }
    const std::optional<QDateTime>& lastReminderDate() const { return m_lastReminderDate; }

    void setActiveTimer(const std::optional<ActiveTimer>& timer);
    void setIsLoading(bool loading);
    // Always notifies, also for an equal value.
    void setError(const std::optional<APIError>& error);
    void setLastReminderDate(const std::optional<QDateTime>& date);

    void setOnTimerChanged(TimerChangedCallback callback) { m_onTimerChanged = std::move(callback); }
    void setOnTimerStopped(TimerStoppedCallback callback) { m_onTimerStopped = std::move(callback); }

    // Reads the running timer from ClickUp and publishes it. A reply that cannot be decoded means
    // that no timer runs. A running timer (started here or elsewhere) withdraws a no-timer warning
    // sent before. A fetch that a later one started after it (the refresh gave up waiting for it)
    // has its answer dropped, so a slow reply never overwrites a newer one.
    QCoro::Task<> fetchActiveTimer(QString teamId);
    // Starts a timer on the task (ClickUp stops whatever runs first). Unless silent, tells the user;
    // withdraws the no-timer warning and reads the running timer again. A task id that is empty is
    // refused without sending anything: `error` tells why.
    QCoro::Task<> startTimer(QString teamId, QString taskId, bool silent);
    // Stops the running timer; with no timer held nothing is sent. Unless silent, tells the user the
    // elapsed time; then awaits the stopped callback.
    QCoro::Task<> stopTimer(QString teamId, bool silent);
    // Shows the no-timer alerts when no timer runs, silent mode is off, the popover is hidden, the
    // warning is not switched off and the current time lies within the working hours; otherwise
    // closes the floating panel and the toast.
    QCoro::Task<> showNoTimerAlertIfNeeded(bool silent, bool popoverVisible, bool disableTimerWarning,
                                           DismissCallback onDismiss);
    // Reminds of the running timer with a toast, at most once per "activeTimerReminderInterval"
    // minutes, never while the popover is open or silent mode is on.
    QCoro::Task<> checkActiveTimerReminder(bool popoverVisible, bool silent);

Q_SIGNALS:
    void activeTimerChanged();
    void isLoadingChanged();
    void errorChanged();
    void lastReminderDateChanged();

private:
    void notifyTimerChanged();

    std::optional<ActiveTimer> m_activeTimer;
    // Counts starts and stops, as they begin and as they end: a fetch of the running timer that one
    // of them overtook answers for a state that is gone, and its answer is dropped.
    quint64 m_timerChanges = 0;
    // Counts the fetches started: only the newest publishes its answer.
    quint64 m_fetches = 0;
    bool m_isLoading = false;
    std::optional<APIError> m_error;
    std::optional<QDateTime> m_lastReminderDate;
    // A no-timer warning was sent and not withdrawn since.
    bool m_noTimerWarningSent = false;
    ClickUpClient& m_clickUpAPI;
    Notifier& m_notificationService;
    SettingsStore& m_userDefaultsService;
    ToastAlerts& m_toastAlerts;
    FloatingAlerts& m_floatingAlerts;
    TimerChangedCallback m_onTimerChanged;
    TimerStoppedCallback m_onTimerStopped;
};
