#include "support/FakeUsageDayLoader.h"

#include "services/usage/UsageDay.h"
#include "services/usage/UsageStorageError.h"
#include "support/TestData.h"

#include <QCoroTimer>

#include <chrono>

QCoro::Task<QList<QDate>> FakeUsageDayLoader::availableDates() {
    if (listingFails) {
        throw UsageStorageError(UsageStorageError::Kind::folderUnavailable, onHeap(u"/nowhere/usage"),
                                onHeap(u"the folder does not exist"));
    }
    co_return QList<QDate>(dates);
}

QCoro::Task<std::optional<DailyUsageSummary>> FakeUsageDayLoader::loadDay(QDate day) {
    loads.append(day);
    const int delay = loadDelayMs.value(day);
    if (delay > 0) {
        co_await QCoro::sleepFor(std::chrono::milliseconds(delay));
    }
    const auto found = summaries.constFind(day);
    if (found == summaries.constEnd()) {
        co_return std::nullopt;
    }
    co_return DailyUsageSummary(*found);
}

QCoro::Task<> FakeUsageDayLoader::deleteDay(QDate day) {
    deletes.append(day);
    if (deleteDelayMs > 0) {
        co_await QCoro::sleepFor(std::chrono::milliseconds(deleteDelayMs));
    }
    if (deleteFailure) {
        throw UsageStorageError(UsageStorageError::Kind::unremovable, onHeap(u"/data/usage/day.json"),
                                *deleteFailure);
    }
    dates.removeAll(day);
    summaries.remove(day);
}

DailyUsageSummary FakeUsageDayLoader::summaryWith(QDate day, int sessions) {
    DailyUsageSummary summary{day, {}, std::nullopt, std::nullopt};
    for (int i = 0; i < sessions; ++i) {
        AppUsageSession session;
        session.id = QUuid::createUuid();
        session.appId = onHeap(u"org.example.editor");
        session.appName = onHeap(u"Editor");
        session.startTime = usageday::start(day).addSecs(8 * 3600 + i * 3600);
        session.endTime = session.startTime.addSecs(3600);
        summary.sessions.append(session);
    }
    return summary;
}
