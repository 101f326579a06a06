#include "app/AppState.h"

#include "alerts/NotificationServiceProtocol.h"
#include "app/Clock.h"
#include "app/Log.h"
#include "app/Observable.h"
#include "app/TimerRefreshService.h"
#include "app/UserDefaultsServiceProtocol.h"
#include "clickup/SearchState.h"
#include "clickup/TimerState.h"
#include "clickup/WorklogState.h"
#include "planning/PlanningState.h"
#include "services/forwarding/EmailForwardingError.h"
#include "services/forwarding/EmailForwardingServiceProtocol.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
constexpr auto category = Log::Category::api;
// Longest silent mode taken as given (ten years); longer ones are cut to it.
constexpr double longestSilentModeSeconds = 10.0 * 366 * 24 * 3600;

// The callbacks hold the root state weakly and do nothing once it is gone.
QCoro::Task<> refreshIfAlive(QPointer<AppState> state) {
    if (state) {
        co_await state->refresh();
    }
}

QCoro::Task<> reloadTimeEntriesIfAlive(QPointer<AppState> state) {
    if (state) {
        co_await state->worklogState()->fetchTimeEntries(state->configuration().teamId);
    }
}

QCoro::Task<> enableSilentModeIfAlive(QPointer<AppState> state, double seconds) {
    if (state) {
        co_await state->enableSilentMode(seconds);
    }
}

// One fetch of a refresh, already running: awaited so that whatever it throws stays with it.
QCoro::Task<> settled(QCoro::Task<> fetch) {
    try {
        co_await std::move(fetch);
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Refresh fetch failed"), category, error);
    } catch (...) {
        Log::error(QStringLiteral("Refresh fetch failed"), category);
    }
}
} // namespace

AppState::AppState(ClickUpAPIServiceProtocol& clickUpAPI, ToolsAPIServiceProtocol& toolsAPI,
                   KeychainServiceProtocol& keychainService, UserDefaultsServiceProtocol& userDefaultsService,
                   NotificationServiceProtocol& notificationService, ToastAlertServiceProtocol* toastAlerts,
                   FloatingAlertServiceProtocol* floatingAlerts, QObject* parent)
    : QObject(parent)
    , m_keychainService(keychainService)
    , m_userDefaultsService(userDefaultsService)
    , m_notificationService(notificationService)
    , m_refreshService(new TimerRefreshService(userDefaultsService, this))
    , m_timerState(new TimerState(clickUpAPI, notificationService, userDefaultsService, toastAlerts,
                                  floatingAlerts, this))
    , m_worklogState(new WorklogState(clickUpAPI, this))
    , m_planningState(new PlanningState(toolsAPI, this))
    , m_searchState(new SearchState(clickUpAPI, this)) {
    QPointer<AppState> self(this);
    m_timerState->setOnTimerStopped([self] { return reloadTimeEntriesIfAlive(self); });
    m_refreshService->setOnRefresh([self] { return refreshIfAlive(self); });

    connect(m_timerState, &TimerState::isLoadingChanged, this, &AppState::updateIsLoading);
    connect(m_worklogState, &WorklogState::isLoadingChanged, this, &AppState::updateIsLoading);
    connect(m_planningState, &PlanningState::isLoadingChanged, this, &AppState::updateIsLoading);
    connect(m_worklogState, &WorklogState::timeEntriesChanged, this, &AppState::totalTimeTodayChanged);
}

AppState::~AppState() {
    // The planning state holds the Tools client, which may be ours: let it go first.
    delete m_planningState;
    m_planningState = nullptr;
}

bool AppState::isLoading() const {
    return m_timerState->isLoading() || m_worklogState->isLoading() || m_planningState->isLoading();
}

double AppState::totalTimeToday() const {
    return m_worklogState->totalDuration();
}

void AppState::updateIsLoading() {
    setIfChanged(m_isLoading, isLoading(), this, &AppState::isLoadingChanged);
}

void AppState::setIsPopoverVisible(bool visible) {
    setIfChanged(m_isPopoverVisible, visible, this, &AppState::isPopoverVisibleChanged);
}

void AppState::setConfiguration(const AppConfiguration& configuration) {
    m_configuration = configuration;
    emit configurationChanged();
}

void AppState::setSilentModeActive(bool active) {
    setIfChanged(m_silentModeActive, active, this, &AppState::silentModeActiveChanged);
}

void AppState::setAppUsageTrackingActive(bool active) {
    setIfChanged(m_appUsageTrackingActive, active, this, &AppState::appUsageTrackingActiveChanged);
}

void AppState::updateSilentModeState() {
    const std::optional<QDateTime> end = m_userDefaultsService.silentModeEnd();
    setSilentModeActive(end && Clock::now() < *end);
}

QCoro::Task<> AppState::loadConfiguration() {
    QPointer<AppState> self(this);
    const AppConfiguration loaded = co_await AppConfiguration::load(m_keychainService, m_userDefaultsService);
    if (!self) {
        co_return;
    }
    setConfiguration(loaded);
    updateSilentModeState();
    setAppUsageTrackingActive(m_userDefaultsService.isAppUsageTrackingEnabled());
}

std::vector<QCoro::Task<>> AppState::startRefreshFetches(const RefreshSnapshot& snapshot) {
    std::vector<QCoro::Task<>> fetches;
    fetches.push_back(settled(m_timerState->fetchActiveTimer(snapshot.teamId)));
    fetches.push_back(settled(m_worklogState->fetchTimeEntries(snapshot.teamId)));
    if (snapshot.isToolsConfigured) {
        fetches.push_back(settled(
            m_planningState->fetchPlanning(snapshot.toolsUrl, snapshot.userKey, snapshot.toolsWSToken)));
    }
    return fetches;
}

QCoro::Task<> AppState::refresh() {
    QPointer<AppState> self(this);
    co_await loadConfiguration();
    if (!self) {
        co_return;
    }
    if (!m_configuration.isClickUpConfigured()) {
        Log::warning(QStringLiteral("ClickUp not configured, skipping refresh"), category);
        co_return;
    }

    m_timerState->setError(std::nullopt);
    m_worklogState->setError(std::nullopt);
    m_planningState->clearError();

    const RefreshSnapshot snapshot{m_configuration.teamId, m_configuration.isToolsConfigured(),
                                   m_configuration.toolsUrl, m_configuration.userKey,
                                   m_configuration.toolsWSToken};
    std::vector<QCoro::Task<>> fetches = startRefreshFetches(snapshot);
    for (QCoro::Task<>& fetch : fetches) {
        co_await std::move(fetch);
    }
    if (!self) {
        co_return;
    }

    // The snooze of a no-timer alert switches silent mode on for the chosen time.
    TimerState::DismissCallback snooze = [self](double seconds) {
        return enableSilentModeIfAlive(self, seconds);
    };
    co_await m_timerState->showNoTimerAlertIfNeeded(m_silentModeActive, m_isPopoverVisible,
                                                    m_configuration.disableTimerWarning, std::move(snooze));
    if (!self) {
        co_return;
    }
    co_await m_timerState->checkActiveTimerReminder(m_isPopoverVisible, m_silentModeActive);
}

QCoro::Task<> AppState::fetchPlanning() {
    if (!m_configuration.isToolsConfigured()) {
        Log::debug(QStringLiteral("Tools not configured, skipping planning fetch"), category);
        co_return;
    }
    co_await m_planningState->fetchPlanning(m_configuration.toolsUrl, m_configuration.userKey,
                                            m_configuration.toolsWSToken);
}

QCoro::Task<> AppState::enableSilentMode(double seconds) {
    QPointer<AppState> self(this);
    const double bounded = std::isfinite(seconds)
                               ? std::clamp(seconds, -longestSilentModeSeconds, longestSilentModeSeconds)
                               : 0.0;
    m_userDefaultsService.setSilentModeEnd(Clock::now().addMSecs(qint64(bounded * 1000)));
    setSilentModeActive(true);
    co_await loadConfiguration();
    if (!self) {
        co_return;
    }
    if (const std::optional<QDateTime> end = m_userDefaultsService.silentModeEnd()) {
        co_await m_notificationService.sendSilentModeActivated(*end);
    }
}

QCoro::Task<> AppState::disableSilentMode() {
    m_userDefaultsService.setSilentModeEnd(std::nullopt);
    setSilentModeActive(false);
    co_await loadConfiguration();
}

QCoro::Task<> AppState::forwardCurrentEmail() {
    QPointer<AppState> self(this);
    std::optional<QString> taskUrl;
    try {
        if (!m_emailForwardingService) {
            throw EmailForwardingError::notConfigured();
        }
        taskUrl = co_await m_emailForwardingService->forwardCurrentEmail();
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Email forwarding failed"), category, error);
        if (self) {
            emit emailForwardingFinished(Error::describe(error), false);
        }
        co_return;
    }
    if (!self) {
        co_return;
    }
    Log::info(QStringLiteral("Email forwarded successfully to n8n"), category);
    if (!taskUrl || taskUrl->isEmpty()) {
        Log::info(QStringLiteral("No task URL returned from n8n"), category);
        emit emailForwardingFinished(QStringLiteral("Email sent to n8n"), true);
        co_return;
    }
    const QUrl url(*taskUrl, QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QStringLiteral("http") && scheme != QStringLiteral("https"))) {
        // Only web addresses are opened: the webhook's reply is outside input.
        Log::error(QStringLiteral("Invalid task URL format"), category);
        emit emailForwardingFinished(QStringLiteral("Email sent to n8n"), true);
        co_return;
    }
    Log::info(QStringLiteral("🌐 Opening ClickUp task in browser: ") + *taskUrl, category);
    emit emailForwardingFinished(QStringLiteral("Email sent to n8n; opening the ClickUp task"), true);
    QTimer::singleShot(taskOpenDelayMs, this, [this, url] {
        if (m_taskOpener) {
            m_taskOpener(url, QStringLiteral("ClickUp Task"));
        }
    });
}
