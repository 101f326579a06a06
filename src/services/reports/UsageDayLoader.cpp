#include "services/reports/UsageDayLoader.h"

#include "core/Clock.h"
#include "core/Error.h"
#include "core/Log.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/UsageConsole.h"
#include "services/usage/UsageDay.h"

#include <QHash>

#include <algorithm>

UsageDayLoader::UsageDayLoader(AppUsageStorageService& storage, AppUsageTrackingService* tracker)
    : m_storage(storage)
    , m_tracker(tracker) {}

QList<QDate> UsageDayLoader::readAvailableDates() const {
    return m_storage.availableDates();
}

DailyUsageSummary UsageDayLoader::readToday(QDate today) const {
    QList<AppUsageSession> stored;
    try {
        stored = m_storage.load(today);
    } catch (const std::exception& error) {
        Log::warning(QStringLiteral("Today's usage file cannot be read; the report shows the sessions in "
                                    "memory: ") +
                         Error::describe(error),
                     Log::Category::storage);
    }
    QList<AppUsageSession> memory;
    if (m_tracker) {
        memory = m_tracker->sessionsStartedToday();
    }
    QHash<QUuid, qsizetype> indexById;
    QList<AppUsageSession> merged;
    merged.reserve(stored.size() + memory.size());
    for (const AppUsageSession& session : stored) {
        if (usageday::of(session.startTime) != today) {
            continue;
        }
        indexById.insert(session.id, merged.size());
        merged.append(session);
    }
    for (const AppUsageSession& session : memory) {
        const auto found = indexById.constFind(session.id);
        if (found != indexById.constEnd()) {
            merged[*found] = session;
        } else {
            indexById.insert(session.id, merged.size());
            merged.append(session);
        }
    }
    std::stable_sort(merged.begin(), merged.end(), [](const AppUsageSession& a, const AppUsageSession& b) {
        return a.startTime < b.startTime;
    });
    return DailyUsageSummary{today, merged, std::nullopt, std::nullopt};
}

std::optional<DailyUsageSummary> UsageDayLoader::readDay(QDate day) const {
    const QDate today = usageday::of(Clock::now());
    if (day == today) {
        return readToday(today);
    }
    QList<AppUsageSession> stored;
    try {
        stored = m_storage.load(day);
    } catch (const std::exception& error) {
        Log::warning(QStringLiteral("A usage day cannot be read: ") + Error::describe(error),
                     Log::Category::storage);
        return std::nullopt;
    }
    QList<AppUsageSession> sessions;
    sessions.reserve(stored.size());
    for (const AppUsageSession& session : stored) {
        if (usageday::of(session.startTime) == day) {
            sessions.append(session);
        }
    }
    if (sessions.isEmpty()) {
        return std::nullopt;
    }
    return DailyUsageSummary{day, sessions, std::nullopt, std::nullopt};
}

void UsageDayLoader::removeDay(QDate day) {
    // First the file: when it stays, nothing else changes.
    m_storage.deleteData(day);
    if (!m_tracker || day != usageday::of(Clock::now())) {
        return;
    }
    // Sessions of an earlier day still waiting for their save are not today's: they stay.
    QList<AppUsageSession> kept;
    for (const AppUsageSession& session : m_tracker->todaySessions()) {
        if (usageday::of(session.startTime) != day) {
            kept.append(session);
        }
    }
    m_tracker->setTodaySessions(kept);
    m_tracker->setCurrentSession(std::nullopt);
    usageconsole::tracking(QStringLiteral("Cleared today's sessions from memory"));
}

QCoro::Task<QList<QDate>> UsageDayLoader::availableDates() {
    co_return readAvailableDates();
}

QCoro::Task<std::optional<DailyUsageSummary>> UsageDayLoader::loadDay(QDate day) {
    co_return readDay(day);
}

QCoro::Task<> UsageDayLoader::deleteDay(QDate day) {
    removeDay(day);
    co_return;
}
