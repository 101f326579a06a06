#include "services/clickup/WorklogState.h"

#include "core/Clock.h"
#include "core/Formatting.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "services/clickup/CaughtError.h"
#include "services/clickup/ClickUpClient.h"

#include <QPointer>

#include <algorithm>

namespace {
constexpr auto category = Log::Category::api;
} // namespace

WorklogState::WorklogState(ClickUpClient& clickUpAPI, QObject* parent)
    : QObject(parent)
    , m_clickUpAPI(clickUpAPI) {}

void WorklogState::setTimeEntries(const QList<TimeEntry>& entries) {
    setIfChanged(m_timeEntries, entries, this, &WorklogState::timeEntriesChanged);
}

void WorklogState::setIsLoading(bool loading) {
    setIfChanged(m_isLoading, loading, this, &WorklogState::isLoadingChanged);
}

void WorklogState::setError(const std::optional<APIError>& error) {
    m_error = error;
    emit errorChanged();
}

QCoro::Task<> WorklogState::fetchTimeEntries(QString teamId) {
    QPointer<WorklogState> self(this);
    Log::debug(QStringLiteral("fetchTimeEntries() called with teamId: ") + teamId, category);
    setIsLoading(true);
    const QDateTime startOfToday = Clock::now().date().startOfDay();
    const quint64 fetch = ++m_fetches;

    QList<TimeEntry> entries;
    std::exception_ptr failure;
    try {
        entries = co_await m_clickUpAPI.getTimeEntries(teamId, startOfToday);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (fetch != m_fetches) {
        // The newer fetch publishes, and ends the loading.
        Log::debug(QStringLiteral("A newer fetch of the time entries started; this one's answer is dropped"),
                   category);
        co_return;
    }

    if (!failure) {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const TimeEntry& a, const TimeEntry& b) { return a.startTime > b.startTime; });
        setTimeEntries(entries);
        setError(std::nullopt);
        Log::info(QStringLiteral("Fetched %1 time entries").arg(entries.size()), category);
    } else {
        const CaughtError caught = CaughtError::from(failure);
        Log::error((caught.isAPIError ? QStringLiteral("Failed to fetch time entries: ")
                                      : QStringLiteral("Unexpected error fetching time entries: ")) +
                       caught.description,
                   category);
        setError(caught.apiError);
    }
    setIsLoading(false);
}

double WorklogState::totalDuration() const {
    double total = 0;
    for (const TimeEntry& entry : m_timeEntries) {
        total += entry.effectiveDuration();
    }
    return total;
}

QString WorklogState::totalTimeText() const {
    return hoursMinutesText(totalDuration());
}

QList<TimeEntry> WorklogState::filteredEntries(const QString& searchText) const {
    if (searchText.isEmpty()) {
        return m_timeEntries;
    }
    const QString needle = searchText.toLower();
    QList<TimeEntry> matching;
    for (const TimeEntry& entry : m_timeEntries) {
        if (entry.taskName.toLower().contains(needle) || entry.taskId.toLower().contains(needle)) {
            matching.append(entry);
        }
    }
    return matching;
}
