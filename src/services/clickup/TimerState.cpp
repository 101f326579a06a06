#include "services/clickup/TimerState.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "core/SettingsStore.h"
#include "services/alerts/FloatingAlerts.h"
#include "services/alerts/Notifier.h"
#include "services/alerts/ToastAlerts.h"
#include "services/clickup/CaughtError.h"
#include "services/clickup/ClickUpClient.h"

#include <QPointer>
#include <QTimer>

namespace {
constexpr auto category = Log::Category::timer;
constexpr int activeTimerToastSeconds = 5;

} // namespace

TimerState::TimerState(ClickUpClient& clickUpAPI, Notifier& notificationService,
                       SettingsStore& userDefaultsService, ToastAlerts& toastAlerts,
                       FloatingAlerts& floatingAlerts, QObject* parent)
    : QObject(parent)
    , m_clickUpAPI(clickUpAPI)
    , m_notificationService(notificationService)
    , m_userDefaultsService(userDefaultsService)
    , m_toastAlerts(toastAlerts)
    , m_floatingAlerts(floatingAlerts) {}

TimerState::~TimerState() = default;

void TimerState::setActiveTimer(const std::optional<ActiveTimer>& timer) {
    setIfChanged(m_activeTimer, timer, this, &TimerState::activeTimerChanged);
}

void TimerState::setIsLoading(bool loading) {
    setIfChanged(m_isLoading, loading, this, &TimerState::isLoadingChanged);
}

void TimerState::setError(const std::optional<APIError>& error) {
    m_error = error;
    emit errorChanged();
}

void TimerState::setLastReminderDate(const std::optional<QDateTime>& date) {
    setIfChanged(m_lastReminderDate, date, this, &TimerState::lastReminderDateChanged);
}

void TimerState::notifyTimerChanged() {
    if (m_onTimerChanged) {
        m_onTimerChanged(m_activeTimer);
    }
}

QCoro::Task<> TimerState::fetchActiveTimer(QString teamId) {
    QPointer<TimerState> self(this);
    Log::debug(QStringLiteral("fetchActiveTimer() called with teamId: ") + teamId, category);
    setIsLoading(true);
    const quint64 changesBefore = m_timerChanges;
    const quint64 fetch = ++m_fetches;

    std::optional<ActiveTimer> timer;
    std::exception_ptr failure;
    try {
        timer = co_await m_clickUpAPI.getCurrentTimer(teamId);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (fetch != m_fetches) {
        // The newer fetch publishes, and ends the loading.
        Log::debug(QStringLiteral("A newer fetch of the timer started; this one's answer is dropped"),
                   category);
        co_return;
    }
    if (changesBefore != m_timerChanges) {
        Log::debug(QStringLiteral("A timer start or stop overtook the fetch; its answer is dropped"),
                   category);
        setIsLoading(false);
        co_return;
    }

    if (!failure) {
        Log::debug(QStringLiteral("Received timer from API: ") + QLatin1String(timer ? "YES" : "NO"),
                   category);
        setActiveTimer(timer);
        setError(std::nullopt);
        notifyTimerChanged();
    } else {
        const CaughtError caught = CaughtError::from(failure);
        if (caught.isAPIError) {
            Log::error(QStringLiteral("APIError caught: ") + caught.description, category);
            if (caught.apiError.kind() == APIError::Kind::decodingError) {
                // ClickUp's reply without a readable timer means that none runs.
                setActiveTimer(std::nullopt);
                setError(std::nullopt);
            } else {
                setError(caught.apiError);
            }
        } else {
            Log::error(QStringLiteral("Unexpected error: ") + caught.description, category);
            setError(caught.apiError);
        }
    }
    Log::debug(QStringLiteral("fetchActiveTimer() completed. hasActiveTimer: ") +
                   QLatin1String(m_activeTimer ? "true" : "false"),
               category);
    setIsLoading(false);
    if (m_activeTimer && m_noTimerWarningSent) {
        // A timer runs, perhaps started elsewhere: the warning has lost its reason.
        m_noTimerWarningSent = false;
        co_await m_notificationService.removeNoTimerWarning();
    }
}

QCoro::Task<> TimerState::startTimer(QString teamId, QString taskId, bool silent) {
    QPointer<TimerState> self(this);
    if (taskId.isEmpty()) {
        // ClickUp would first stop the running timer and then refuse the start: send nothing.
        Log::warning(QStringLiteral("Not starting a timer: the entry has no task"), category);
        setError(APIError::requestFailed(QStringLiteral("This entry has no task to start a timer on.")));
        co_return;
    }
    setError(std::nullopt);

    ++m_timerChanges;
    std::optional<ActiveTimer> started;
    std::exception_ptr failure;
    try {
        started = co_await m_clickUpAPI.startTimer(teamId, taskId);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    ++m_timerChanges;

    if (failure) {
        const CaughtError caught = CaughtError::from(failure);
        // The start may have gone through all the same: what runs now decides.
        co_await fetchActiveTimer(teamId);
        if (!self) {
            co_return;
        }
        if (!m_activeTimer) {
            setError(caught.apiError);
        }
        co_return;
    }

    setActiveTimer(started);
    if (m_activeTimer && !silent) {
        co_await m_notificationService.sendTimerStarted(m_activeTimer->taskName);
        if (!self) {
            co_return;
        }
    }
    m_noTimerWarningSent = false;
    co_await m_notificationService.removeNoTimerWarning();
    if (!self) {
        co_return;
    }
    co_await fetchActiveTimer(teamId);
    if (!self) {
        co_return;
    }
    notifyTimerChanged();
}

QCoro::Task<> TimerState::stopTimer(QString teamId, bool silent) {
    QPointer<TimerState> self(this);
    if (!m_activeTimer) {
        co_return;
    }
    const QString duration = m_activeTimer->elapsedTimeString();

    ++m_timerChanges;
    std::exception_ptr failure;
    try {
        co_await m_clickUpAPI.stopTimer(teamId);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    ++m_timerChanges;
    if (failure) {
        setError(CaughtError::from(failure).apiError);
        co_return;
    }

    setActiveTimer(std::nullopt);
    notifyTimerChanged();
    if (!silent) {
        co_await m_notificationService.sendTimerStopped(duration);
        if (!self) {
            co_return;
        }
    }
    if (m_onTimerStopped) {
        const TimerStoppedCallback onStopped = m_onTimerStopped;
        co_await onStopped();
    }
}

QCoro::Task<> TimerState::showNoTimerAlertIfNeeded(bool silent, bool popoverVisible, bool disableTimerWarning,
                                                   DismissCallback onDismiss) {
    const bool due = !m_activeTimer && !silent && !popoverVisible && !disableTimerWarning &&
                     m_userDefaultsService.isWithinWorkingHours();
    if (!due) {
        m_floatingAlerts.dismissAlert();
        m_toastAlerts.dismissToast();
        co_return;
    }

    const int seconds = m_userDefaultsService.alertAutoDismissSeconds();
    QPointer<TimerState> self(this);
    const auto snooze = [self, onDismiss](double duration) {
        if (!self || !onDismiss) {
            return;
        }
        // The snooze runs in a task of its own, so the alert that reported it does not wait for it.
        QTimer::singleShot(0, self.data(), [onDismiss, duration] {
            runDetached(onDismiss(duration), QStringLiteral("Snooze failed"), category);
        });
    };
    m_toastAlerts.setOnDismissWithDuration(snooze);

    const bool floating = m_userDefaultsService.useFloatingAlert();
    const bool toast = m_userDefaultsService.useToastAlert();
    const bool pulsing = m_userDefaultsService.useMenuBarPulsing();
    if (floating) {
        m_floatingAlerts.showAlert(
            seconds, [] {}, snooze);
    }
    if (toast) {
        m_toastAlerts.showToast(seconds);
    }
    if (!floating && !toast && !pulsing) {
        m_noTimerWarningSent = true;
        co_await m_notificationService.sendNoTimerWarning();
    }
}

QCoro::Task<> TimerState::checkActiveTimerReminder(bool popoverVisible, bool silent) {
    if (!m_activeTimer || silent || popoverVisible || !m_userDefaultsService.showActiveTimerReminder()) {
        co_return;
    }
    const qint64 intervalMs = qint64(m_userDefaultsService.activeTimerReminderInterval()) * 60 * 1000;
    const QDateTime now = Clock::now();
    if (m_lastReminderDate && m_lastReminderDate->msecsTo(now) < intervalMs) {
        co_return;
    }
    m_toastAlerts.showActiveTimerToast(m_activeTimer->taskName, m_activeTimer->elapsedTimeString(),
                                       activeTimerToastSeconds);
    setLastReminderDate(now);
}
