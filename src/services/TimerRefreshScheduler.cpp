#include "services/TimerRefreshScheduler.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "core/SettingsStore.h"

#include <QPointer>
#include <QtGlobal>

#include <optional>

namespace {
constexpr int defaultIntervalSeconds = 60;

// The soak benchmark (bench/refresh-soak.sh) runs the real binary through thousands of refreshes:
// PENDLOW_REFRESH_INTERVAL_MS, when set to a positive number, replaces the period from the settings.
std::optional<std::chrono::milliseconds> benchmarkPeriod() {
    bool isNumber = false;
    const int milliseconds = qEnvironmentVariableIntValue("PENDLOW_REFRESH_INTERVAL_MS", &isNumber);
    if (!isNumber || milliseconds <= 0) {
        return std::nullopt;
    }
    return std::chrono::milliseconds(milliseconds);
}
} // namespace

TimerRefreshScheduler::TimerRefreshScheduler(SettingsStore& userDefaultsService, QObject* parent)
    : QObject(parent)
    , m_userDefaultsService(userDefaultsService) {}

TimerRefreshScheduler::~TimerRefreshScheduler() = default;

std::chrono::milliseconds TimerRefreshScheduler::intervalFor(int settingSeconds) {
    const int seconds = settingSeconds > 0 && settingSeconds <= longestIntervalSeconds
                            ? settingSeconds
                            : defaultIntervalSeconds;
    return std::chrono::seconds(seconds);
}

void TimerRefreshScheduler::setIsRefreshing(bool refreshing) {
    setIfChanged(m_isRefreshing, refreshing, this, &TimerRefreshScheduler::isRefreshingChanged);
}

void TimerRefreshScheduler::start(RunNow runNow) {
    m_refreshTimer.reset();
    auto timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::CoarseTimer);
    timer->setInterval(
        benchmarkPeriod().value_or(intervalFor(m_userDefaultsService.timerReminderInterval())));
    connect(timer.get(), &QTimer::timeout, this, &TimerRefreshScheduler::tick);
    timer->start();
    m_refreshTimer = std::move(timer);
    emit refreshTimerChanged();
    if (runNow == RunNow::yes) {
        tick();
    }
}

void TimerRefreshScheduler::tick() {
    runDetached(whileAlive(QPointer<TimerRefreshScheduler>(this),
                           [](TimerRefreshScheduler& service) { return service.performRefresh(); }),
                QStringLiteral("Refresh failed"), Log::Category::general);
}

QCoro::Task<> TimerRefreshScheduler::performRefresh() {
    if (m_isRefreshing) {
        const std::chrono::milliseconds period =
            m_refreshTimer ? m_refreshTimer->intervalAsDuration() : intervalFor(0);
        if (Clock::nowMSecs() - m_runStartedMSecs < period.count()) {
            co_return;
        }
        // One slow request must not hold every later refresh back: the run is left to finish on
        // its own, and what it still brings in lands where it lands; this run no longer waits on it.
        Log::info(QStringLiteral("The previous refresh is still running after %1 s; starting afresh")
                      .arg(double(period.count()) / 1000.0),
                  Log::Category::general);
    }
    QPointer<TimerRefreshScheduler> self(this);
    const quint64 run = ++m_runs;
    m_runStartedMSecs = Clock::nowMSecs();
    setIsRefreshing(true);
    if (m_onRefresh) {
        const RefreshCallback onRefresh = m_onRefresh;
        const QString failure = QStringLiteral("Refresh failed");
        co_await settled(onRefresh(), failure, Log::Category::general);
    }
    if (self && run == m_runs) {
        setIsRefreshing(false);
    }
}
