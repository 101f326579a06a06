#include "services/AppState.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "core/SettingsStore.h"
#include "services/TimerRefreshScheduler.h"
#include "services/alerts/SilentMode.h"
#include "services/clickup/SearchState.h"
#include "services/clickup/TimerState.h"
#include "services/clickup/WorklogState.h"
#include "services/forwarding/EmailForwarder.h"
#include "services/tools/PlanningState.h"
#include "services/usage/AppUsageSwitch.h"
#include "services/usage/AppUsageTrackingService.h"

#include <QPointer>

namespace {
constexpr auto category = Log::Category::api;
} // namespace

AppState::AppState(ClickUpClient& clickUpAPI, ToolsClient& toolsAPI, SecretStore& keychainService,
                   SettingsStore& userDefaultsService, Notifier& notificationService,
                   ToastAlerts& toastAlerts, FloatingAlerts& floatingAlerts, QObject* parent)
    : QObject(parent)
    , m_keychainService(keychainService)
    , m_userDefaultsService(userDefaultsService)
    , m_notificationService(notificationService)
    , m_refreshService(new TimerRefreshScheduler(userDefaultsService, this))
    , m_timerState(new TimerState(clickUpAPI, notificationService, userDefaultsService, toastAlerts,
                                  floatingAlerts, this))
    , m_worklogState(new WorklogState(clickUpAPI, this))
    , m_planningState(new PlanningState(toolsAPI, this))
    , m_searchState(new SearchState(clickUpAPI, this))
    , m_dayPlanningStorage(
          std::make_unique<DayPlanningStorageService>(DayPlanningStorageService::defaultDirectory()))
    , m_dayPlanningState(new DayPlanningState(clickUpAPI, *m_dayPlanningStorage, *m_planningState, this))
    , m_silentMode(new SilentMode(userDefaultsService, notificationService, this))
    , m_emailForwarder(
          new EmailForwarder([this](const QUrl& url, const QString& title) { openPage(url, title); }, this))
    , m_appUsageSwitch(new AppUsageSwitch(userDefaultsService, this)) {
    QPointer<AppState> self(this);
    m_timerState->setOnTimerStopped([self] {
        return whileAlive(self, [](AppState& state) {
            return state.worklogState()->fetchTimeEntries(state.configuration().teamId);
        });
    });
    m_refreshService->setOnRefresh(
        [self] { return whileAlive(self, [](AppState& state) { return state.refresh(); }); });
    m_timerState->setOnTimerChanged([self](const std::optional<ActiveTimer>& timer) {
        if (AppUsageTrackingService* tracker = self ? self->appUsageSwitch().tracker() : nullptr) {
            tracker->setCurrentClickUpTaskId(timer ? std::optional<QString>(timer->taskId) : std::nullopt);
        }
    });
    // A new silent-mode end is part of the configuration.
    m_silentMode->setAfterChange(
        [self] { return whileAlive(self, [](AppState& state) { return state.loadConfiguration(); }); });

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

void AppState::setAppUsageService(AppUsageTrackingService* service) {
    if (m_appUsageSwitch->tracker() == service) {
        return;
    }
    if (service) {
        const std::optional<ActiveTimer>& timer = m_timerState->activeTimer();
        service->setCurrentClickUpTaskId(timer ? std::optional<QString>(timer->taskId) : std::nullopt);
    }
    m_appUsageSwitch->setTracker(service);
}

QCoro::Task<> AppState::loadConfiguration() {
    QPointer<AppState> self(this);
    const AppConfiguration loaded = co_await AppConfiguration::load(m_keychainService, m_userDefaultsService);
    if (!self) {
        co_return;
    }
    setConfiguration(loaded);
    setIfChanged(m_keychainAccess, m_keychainService.access(), this, &AppState::keychainAccessChanged);
    m_silentMode->update();
    m_appUsageSwitch->update();
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
        if (m_keychainAccess != SecretStore::Access::available) {
            Log::debug(message, category);
        } else if (!m_reportedNotConfigured) {
            Log::warning(message, category);
        } else {
            Log::debug(message, category);
        }
        m_reportedNotConfigured = m_keychainAccess == SecretStore::Access::available;
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
        return whileAlive(self, [seconds](AppState& state) { return state.silentMode().enable(seconds); });
    };
    co_await m_timerState->showNoTimerAlertIfNeeded(m_silentMode->isActive(), m_isPopoverVisible,
                                                    m_configuration.disableTimerWarning, std::move(snooze));
    if (!self) {
        co_return;
    }
    co_await m_timerState->checkActiveTimerReminder(m_isPopoverVisible, m_silentMode->isActive());
}

QCoro::Task<> AppState::fetchPlanning() {
    if (!m_configuration.isToolsConfigured()) {
        Log::debug(QStringLiteral("Tools not configured, skipping planning fetch"), category);
        co_return;
    }
    co_await m_planningState->fetchPlanning(m_configuration.toolsUrl, m_configuration.userKey,
                                            m_configuration.toolsWSToken);
}
