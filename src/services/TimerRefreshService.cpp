#include "services/TimerRefreshService.h"

#include "core/DetachedTask.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "core/UserDefaultsServiceProtocol.h"

#include <QPointer>

namespace {
constexpr int defaultIntervalSeconds = 60;

} // namespace

TimerRefreshService::TimerRefreshService(UserDefaultsServiceProtocol& userDefaultsService, QObject* parent)
    : QObject(parent)
    , m_userDefaultsService(userDefaultsService) {}

TimerRefreshService::~TimerRefreshService() = default;

std::chrono::milliseconds TimerRefreshService::intervalFor(int settingSeconds) {
    const int seconds = settingSeconds > 0 ? settingSeconds : defaultIntervalSeconds;
    return std::chrono::seconds(seconds);
}

void TimerRefreshService::setIsRefreshing(bool refreshing) {
    setIfChanged(m_isRefreshing, refreshing, this, &TimerRefreshService::isRefreshingChanged);
}

void TimerRefreshService::start() {
    m_refreshTimer.reset();
    auto timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::CoarseTimer);
    timer->setInterval(intervalFor(m_userDefaultsService.timerReminderInterval()));
    connect(timer.get(), &QTimer::timeout, this, &TimerRefreshService::tick);
    timer->start();
    m_refreshTimer = std::move(timer);
    emit refreshTimerChanged();
    tick();
}

void TimerRefreshService::tick() {
    runDetached(whileAlive(QPointer<TimerRefreshService>(this),
                           [](TimerRefreshService& service) { return service.performRefresh(); }),
                QStringLiteral("Refresh failed"), Log::Category::general);
}

QCoro::Task<> TimerRefreshService::performRefresh() {
    if (m_isRefreshing) {
        co_return;
    }
    QPointer<TimerRefreshService> self(this);
    setIsRefreshing(true);
    if (m_onRefresh) {
        const RefreshCallback onRefresh = m_onRefresh;
        co_await settled(onRefresh(), QStringLiteral("Refresh failed"), Log::Category::general);
    }
    if (self) {
        setIsRefreshing(false);
    }
}
