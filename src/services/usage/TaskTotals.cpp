#include "services/usage/TaskTotals.h"

void TaskTotals::add(const QString& taskId, double seconds) {
    const auto found = m_index.constFind(taskId);
    if (found == m_index.cend()) {
        m_index.insert(taskId, m_totals.size());
        m_totals.append({taskId, seconds});
    } else {
        m_totals[*found].second += seconds;
    }
}

std::optional<QString> TaskTotals::dominant() const {
    std::optional<QString> best;
    double bestSeconds = 0;
    for (const auto& [taskId, seconds] : m_totals) {
        if (!best || seconds > bestSeconds) {
            best = taskId;
            bestSeconds = seconds;
        }
    }
    return best;
}
