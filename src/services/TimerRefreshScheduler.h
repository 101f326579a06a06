#pragma once

#include <QCoroTask>
#include <QObject>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>

class SettingsStore;

// Repeats one piece of work (the root state's refresh) every "timerReminderInterval" seconds. A
// tick that finds a run still going is dropped, not queued, unless that run started a full period
// ago or more: then it is abandoned (left to end on its own, no longer awaited or counted) and a new
// run starts, so one slow request never holds the refresh back longer than a period. Each start()
// replaces the schedule and, unless told otherwise, runs the work once at once, so the next tick
// comes a full period later. There is no stop: the schedule ends with the service. GUI thread only.
class TimerRefreshScheduler : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRefreshing READ isRefreshing NOTIFY isRefreshingChanged)
    Q_PROPERTY(bool isScheduled READ isScheduled NOTIFY refreshTimerChanged)

public:
    using RefreshCallback = std::function<QCoro::Task<>()>;

    explicit TimerRefreshScheduler(SettingsStore& userDefaultsService, QObject* parent = nullptr);
    ~TimerRefreshScheduler() override;

    // Longest period taken from the setting: a day.
    static constexpr int longestIntervalSeconds = 24 * 3600;

    // The period for a "timerReminderInterval" setting: that many seconds when it lies between 1 and
    // longestIntervalSeconds, otherwise 60 (a period of 0 or below would make the timer fire without
    // pause or not at all, and one beyond what QTimer's int milliseconds hold overflows).
    static std::chrono::milliseconds intervalFor(int settingSeconds);

    bool isRefreshing() const { return m_isRefreshing; }
    bool isScheduled() const { return m_refreshTimer != nullptr; }
    // The current schedule, or none before the first start().
    const QTimer* refreshTimer() const { return m_refreshTimer.get(); }

    // The work to repeat. Whatever it throws is logged and goes no further.
    void setOnRefresh(RefreshCallback callback) { m_onRefresh = std::move(callback); }

    enum class RunNow { no, yes };
    // (Re)starts the schedule with the current setting and runs the work once at once unless told
    // not to (the caller has just run it).
    void start(RunNow runNow = RunNow::yes);
    // Runs the work unless a run started here less than a period ago is still under way. isRefreshing
    // follows the newest run. Never throws.
    QCoro::Task<> performRefresh();
    // What each period does: starts performRefresh() without waiting for it.
    void tick();

Q_SIGNALS:
    void isRefreshingChanged();
    void refreshTimerChanged();

private:
    void setIsRefreshing(bool refreshing);

    std::unique_ptr<QTimer> m_refreshTimer;
    bool m_isRefreshing = false;
    // The newest run: its number and when it started (Clock milliseconds).
    quint64 m_runs = 0;
    qint64 m_runStartedMSecs = 0;
    RefreshCallback m_onRefresh;
    SettingsStore& m_userDefaultsService;
};
