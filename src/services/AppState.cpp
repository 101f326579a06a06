#include "services/AppState.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "core/UserDefaultsServiceProtocol.h"
#include "services/TimerRefreshService.h"
#include "services/alerts/NotificationServiceProtocol.h"
#include "services/clickup/SearchState.h"
#include "services/clickup/TimerState.h"
#include "services/clickup/WorklogState.h"
#include "services/forwarding/EmailForwardingError.h"
#include "services/forwarding/EmailForwardingServiceProtocol.h"
#include "services/tools/PlanningState.h"
#include "services/usage/AppUsageTrackingService.h"

#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {
constexpr auto category = Log::Category::api;
// Longest silent mode taken as given (ten years); longer ones are cut to it.
constexpr double longestSilentModeSeconds = 10.0 * 366 * 24 * 3600;

} // namespace

AppState::AppState(ClickUpAPIServiceProtocol& clickUpAPI, ToolsAPIServiceProtocol& toolsAPI,
                   KeychainServiceProtocol& keychainService, UserDefaultsServiceProtocol& userDefaultsService,
                   NotificationServiceProtocol& notificationService, ToastAlertServiceProtocol& toastAlerts,
                   FloatingAlertServiceProtocol& floatingAlerts, QObject* parent)
    : QObject(parent)
    , m_keychainService(keychainService)
    , m_userDefaultsService(userDefaultsService)
    , m_notificationService(notificationService)
    , m_refreshService(new TimerRefreshService(userDefaultsService, this))
    , m_timerState(new TimerState(clickUpAPI, notificationService, userDefaultsService, toastAlerts,
                                  floatingAlerts, this))
    , m_worklogState(new WorklogState(clickUpAPI, this))
    , m_planningState(new PlanningState(toolsAPI, this))
    , m_searchState(new SearchState(clickUpAPI, this))
    , m_dayPlanningStorage(
          std::make_unique<DayPlanningStorageService>(DayPlanningStorageService::defaultDirectory()))
    , m_dayPlanningState(new DayPlanningState(clickUpAPI, *m_dayPlanningStorage, *m_planningState, this)) {
    QPointer<AppState> self(this);
    m_timerState->setOnTimerStopped([self] {
        return whileAlive(self, [](AppState& state) {
            return state.worklogState()->fetchTimeEntries(state.configuration().teamId);
        });
    });
    m_refreshService->setOnRefresh(
        [self] { return whileAlive(self, [](AppState& state) { return state.refresh(); }); });
    m_timerState->setOnTimerChanged([self](const std::optional<ActiveTimer>& timer) {
        if (self && self->m_appUsageService) {
            self->m_appUsageService->setCurrentClickUpTaskId(timer ? std::optional<QString>(timer->taskId)
                                                                   : std::nullopt);
        }
    });

    connect(m_timerState, &TimerState::isLoadingChanged, this, &AppState::updateIsLoading);
    connect(m_worklogState, &WorklogState::isLoadingChanged, this, &AppState::updateIsLoading);
    connect(m_planningState, &PlanningState::isLoadingChanged, this, &AppState::updateIsLoading);
    connect(m_worklogState, &WorklogState::timeEntriesChanged, this, &AppState::totalTimeTodayChanged);
}

void AppState::openPage(const QUrl& url, const QString& title) const {
    if (!m_pageOpener) {
        Log::info(QStringLiteral("No browser to open %1 in").arg(url.toDisplayString()), category);
        return;
    }
    m_pageOpener(url, title);
}

AppState::~AppState() {
    // The day plan reads the planning state; the planning state holds the Tools client, which may be
    // ours: let them go first.
    delete m_dayPlanningState;
    m_dayPlanningState = nullptr;
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
    if (visible && !m_isPopoverVisible) {
        m_keychainService.allowUnlockPrompt();
    }
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

void AppState::setAppUsageService(AppUsageTrackingService* service) {
    if (m_appUsageService == service) {
        return;
    }
    m_appUsageService = service;
    if (m_appUsageService) {
        const std::optional<ActiveTimer>& timer = m_timerState->activeTimer();
        m_appUsageService->setCurrentClickUpTaskId(timer ? std::optional<QString>(timer->taskId)
                                                         : std::nullopt);
    }
    emit appUsageServiceChanged();
}

void AppState::setAppUsageTracking(bool enabled) {
    if (m_userDefaultsService.isAppUsageTrackingEnabled() == enabled) {
        return;
    }
    m_userDefaultsService.setIsAppUsageTrackingEnabled(enabled);
    setAppUsageTrackingActive(enabled);
    if (enabled) {
        startAppUsageTrackingIfEnabled();
    } else if (m_appUsageService) {
        m_appUsageService->stopTracking();
    }
}

void AppState::startAppUsageTrackingIfEnabled() {
    if (!m_userDefaultsService.isAppUsageTrackingEnabled() || !m_appUsageService) {
        return;
    }
    m_appUsageService->startTracking();
    m_appUsageService->cleanupOldData(m_userDefaultsService.appUsageRetentionDays());
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
    setIfChanged(m_keychainAccess, m_keychainService.access(), this, &AppState::keychainAccessChanged);
    updateSilentModeState();
    setAppUsageTrackingActive(m_userDefaultsService.isAppUsageTrackingEnabled());
}

std::vector<QCoro::Task<>> AppState::startRefreshFetches(const RefreshSnapshot& snapshot) {
    std::vector<QCoro::Task<>> fetches;
    // One fetch failing stops none of the others: each keeps whatever it throws.
    const QString failure = QStringLiteral("Refresh fetch failed");
    fetches.push_back(settled(m_timerState->fetchActiveTimer(snapshot.teamId), failure, category));
    fetches.push_back(settled(m_worklogState->fetchTimeEntries(snapshot.teamId), failure, category));
    return fetches;
}

void AppState::startPlanningFetch(const RefreshSnapshot& snapshot) {
    if (!snapshot.isToolsConfigured) {
        return;
    }
    if (m_planningState->isLoading()) {
        Log::debug(QStringLiteral("Planning fetch still under way, not starting another"), category);
        return;
    }
    // Not awaited: a slow Tools server holds back neither the ClickUp part nor the next refresh.
    runDetached(
        whileAlive(QPointer<PlanningState>(m_planningState),
                   [toolsUrl = snapshot.toolsUrl, userKey = snapshot.userKey, token = snapshot.toolsWSToken](
                       PlanningState& planning) { return planning.fetchPlanning(toolsUrl, userKey, token); }),
        QStringLiteral("Refresh fetch failed"), category);
}

QCoro::Task<> AppState::refresh() {
    QPointer<AppState> self(this);
    co_await loadConfiguration();
    if (!self) {
        co_return;
    }
    if (!m_configuration.isClickUpConfigured()) {
        // Said once, not at every refresh; while the keyring is locked the popover says why instead.
        const QString message = QStringLiteral("ClickUp not configured, skipping refresh");
        if (m_keychainAccess != KeychainServiceProtocol::Access::available) {
            Log::debug(message, category);
        } else if (!m_reportedNotConfigured) {
            Log::warning(message, category);
        } else {
            Log::debug(message, category);
        }
        m_reportedNotConfigured = m_keychainAccess == KeychainServiceProtocol::Access::available;
        co_return;
    }
    m_reportedNotConfigured = false;

    m_timerState->setError(std::nullopt);
    m_worklogState->setError(std::nullopt);
    m_planningState->clearError();

    const RefreshSnapshot snapshot{m_configuration.teamId, m_configuration.isToolsConfigured(),
                                   m_configuration.toolsUrl, m_configuration.userKey,
                                   m_configuration.toolsWSToken};
    std::vector<QCoro::Task<>> fetches = startRefreshFetches(snapshot);
    startPlanningFetch(snapshot);
    for (QCoro::Task<>& fetch : fetches) {
        co_await std::move(fetch);
    }
    if (!self) {
        co_return;
    }

    // The snooze of a no-timer alert switches silent mode on for the chosen time.
    TimerState::DismissCallback snooze = [self](double seconds) {
        return whileAlive(self, [seconds](AppState& state) { return state.enableSilentMode(seconds); });
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
    // The task opens through the page opener, in the in-app browser.
    QTimer::singleShot(taskOpenDelayMs, this, [this, url] { openPage(url, QStringLiteral("ClickUp Task")); });
}
