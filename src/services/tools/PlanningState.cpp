#include "services/tools/PlanningState.h"

#include "core/Clock.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "services/clickup/TaskNameCleaner.h"

#include <QMap>
#include <QPointer>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
void debug(const QString& message) {
    Log::debug(message, Log::Category::api);
}

bool isDropped(const PlanningTask& task) {
    return task.taskStatus() == TaskStatus::needsClarification ||
           task.name.toLower().contains("projectinfo"_L1);
}

bool matches(const PlanningTask& task, const QString& loweredSearch) {
    return cleanTaskName(task.name).toLower().contains(loweredSearch) ||
           task.clickUpTaskId.toLower().contains(loweredSearch);
}
} // namespace

PlanningState::PlanningState(ToolsClient& toolsAPI, QObject* parent)
    : QObject(parent)
    , m_toolsAPI(toolsAPI) {}

void PlanningState::clearError() {
    setError(std::nullopt);
}

void PlanningState::setExpandedWeeks(const QSet<int>& weeks) {
    setIfChanged(m_expandedWeeks, weeks, this, &PlanningState::expandedWeeksChanged);
}

void PlanningState::setWeekPlans(QList<WeekPlan> plans) {
    setIfChanged(m_weekPlans, std::move(plans), this, &PlanningState::weekPlansChanged);
}

void PlanningState::setIsLoading(bool loading) {
    setIfChanged(m_isLoading, loading, this, &PlanningState::isLoadingChanged);
}

void PlanningState::setError(std::optional<APIError> error) {
    m_error = std::move(error);
    Q_EMIT errorChanged();
}

void PlanningState::setServerVersion(std::optional<QString> version) {
    setIfChanged(m_serverVersion, std::move(version), this, &PlanningState::serverVersionChanged);
}

QCoro::Task<> PlanningState::fetchPlanning(QString toolsUrl, QString userKey,
                                           std::optional<QString> toolsWSToken) {
    debug(u"fetchPlanning() called"_s);
    debug(u"toolsUrl = "_s + toolsUrl + u", userKey = "_s + Log::redacted(userKey));
    debug(u"toolsWSToken = "_s + (toolsWSToken ? Log::redacted(*toolsWSToken) : u"nil"_s));

    QPointer<PlanningState> self(this);
    setIsLoading(true);
    std::optional<PersonalPlanning> planning;
    std::optional<APIError> failure;
    try {
        planning = co_await m_toolsAPI.getPersonalPlanning();
    } catch (const APIError& error) {
        Log::error(u"Planning API error"_s, Log::Category::api, error);
        failure = error;
    } catch (const std::exception& error) {
        Log::error(u"Planning error"_s, Log::Category::api, error);
        failure = APIError::networkError(error);
    } catch (...) {
        Log::error(u"Planning error"_s, Log::Category::api);
        failure = APIError::networkError(u"Unknown error"_s);
    }
    if (!self) {
        co_return;
    }
    if (failure) {
        setError(std::move(failure));
        setIsLoading(false);
        co_return;
    }

    Log::info(u"Received %1 tasks from API"_s.arg(planning->tasks.size()), Log::Category::api);
    setWeekPlans(groupIntoWeekPlans(planning->tasks));
    debug(u"Grouped into %1 week plans"_s.arg(m_weekPlans.size()));
    setServerVersion(planning->serverVersion);
    if (currentWeekPlan()) {
        QSet<int> expanded = m_expandedWeeks;
        expanded.insert(currentWeek());
        setExpandedWeeks(expanded);
    }
    setError(std::nullopt);
    setIsLoading(false);
}

QList<WeekPlan> PlanningState::filteredWeekPlans(const QString& searchText) const {
    if (searchText.isEmpty()) {
        return m_weekPlans;
    }
    const QString lowered = searchText.toLower();
    QList<WeekPlan> filtered;
    for (const WeekPlan& plan : m_weekPlans) {
        WeekPlan kept{plan.weekNumber, {}};
        std::copy_if(plan.tasks.begin(), plan.tasks.end(), std::back_inserter(kept.tasks),
                     [&](const PlanningTask& task) { return matches(task, lowered); });
        if (!kept.tasks.isEmpty()) {
            filtered.append(std::move(kept));
        }
    }
    return filtered;
}

std::optional<WeekPlan> PlanningState::currentWeekPlan() const {
    const int week = currentWeek();
    for (const WeekPlan& plan : m_weekPlans) {
        if (plan.weekNumber == week) {
            return plan;
        }
    }
    return std::nullopt;
}

std::optional<WeekPlan> PlanningState::unscheduledPlan() const {
    for (const WeekPlan& plan : m_weekPlans) {
        if (plan.weekNumber == WeekPlan::unscheduled) {
            return plan;
        }
    }
    return std::nullopt;
}

QList<WeekPlan> PlanningState::groupIntoWeekPlans(const QList<PlanningTask>& tasks) const {
    const int week = currentWeek();
    QMap<int, QList<PlanningTask>> byWeek;
    for (const PlanningTask& task : tasks) {
        if (!isDropped(task)) {
            byWeek[task.firstWeek(week)].append(task);
        }
    }
    QList<WeekPlan> plans;
    plans.reserve(byWeek.size());
    for (auto it = byWeek.begin(); it != byWeek.end(); ++it) {
        plans.append({it.key(), it.value()});
    }
    std::sort(plans.begin(), plans.end(), [week](const WeekPlan& a, const WeekPlan& b) {
        return isWeekOrderedBefore(a.weekNumber, b.weekNumber, week);
    });
    return plans;
}

int PlanningState::currentWeek() {
    return Clock::now().date().weekNumber();
}

bool PlanningState::isWeekOrderedBefore(int a, int b, int currentWeek) {
    if (a == WeekPlan::unscheduled) {
        return false;
    }
    if (b == WeekPlan::unscheduled) {
        return true;
    }
    return b != currentWeek && (a == currentWeek || a < b);
}
