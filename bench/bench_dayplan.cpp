// Day planning: the timeline's blocks and their column layout for a crowded day, and a sync of 50
// new entries against a loopback ClickUp that answers each request after 20 ms.
#include "support/FakeClickUpAPI.h"
#include "support/FakeClickUpServer.h"
#include "support/FakeToolsAPI.h"
#include "support/InMemoryKeychain.h"
#include "support/TaskAwait.h"

#include "core/Clock.h"
#include "platform/KeychainItem.h"
#include "services/clickup/ClickUpAPIService.h"
#include "services/dayplan/DayPlanningState.h"
#include "services/dayplan/DayPlanningStorageService.h"
#include "services/dayplan/QuarterHour.h"
#include "services/dayplan/TimelineColumnLayout.h"
#include "services/tools/PlanningState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
// count planned entries of the day; every third one overlaps its neighbour, so columns form.
QList<PlannedTimeEntry> crowdedDay(const QDate& day, int count, SyncStatus status) {
    QList<PlannedTimeEntry> entries;
    const QDateTime first = localTimeOfDay(day, 7);
    for (int i = 0; i < count; ++i) {
        PlannedTimeEntry entry;
        entry.id = QUuid::createUuid();
        entry.taskId = QStringLiteral("task-%1").arg(i);
        entry.taskName = QStringLiteral("Client %1 - Task %2").arg(i % 7).arg(i);
        entry.startTime = first.addSecs(qint64(i) * 240);
        entry.endTime = entry.startTime.addSecs(i % 3 == 0 ? 900 : 225);
        entry.syncStatus = status;
        entry.createdAt = first;
        entry.modifiedAt = first;
        entries.append(entry);
    }
    return entries;
}

void BM_TimelineEntriesAndColumns(benchmark::State& state) {
    QTemporaryDir dir;
    DayPlanningStorageService store(dir.path());
    FakeClickUpAPI clickUp;
    FakeToolsAPI tools;
    PlanningState planning(tools);
    DayPlanningState dayPlan(clickUp, store, planning);
    const QDate day = Clock::now().date();
    store.saveEntries(crowdedDay(day, int(state.range(0)), SyncStatus::local), day.startOfDay());
    awaitTask(dayPlan.setSelectedDate(day.startOfDay()));
    for (auto _ : state) {
        const QList<TimelineEntry> blocks = dayPlan.timelineEntries();
        const TimelineColumnLayout layout = TimelineColumnLayout::compute(blocks);
        benchmark::DoNotOptimize(layout.columnCounts.size());
    }
}
BENCHMARK(BM_TimelineEntriesAndColumns)->Arg(200)->Unit(benchmark::kMicrosecond);

void BM_SyncFiftyEntries(benchmark::State& state) {
    constexpr int entryCount = 50;
    constexpr int latencyMs = 20;
    FakeClickUpServer server;
    server.latencyMs = latencyMs;
    InMemoryKeychain keychain;
    keychain.putItem(KeychainItem::clickUpAPIToken, QStringLiteral("pk_81234567_BENCHMARKTOKEN"));
    ClickUpAPIService client(keychain, server.apiUrl());
    FakeToolsAPI tools;
    PlanningState planning(tools);
    QTemporaryDir dir;
    DayPlanningStorageService store(dir.path());
    const QDate day = Clock::now().date();
    qint64 totalMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        server.timeEntries = {};
        store.saveEntries(crowdedDay(day, entryCount, SyncStatus::local), day.startOfDay());
        DayPlanningState dayPlan(client, store, planning);
        awaitTask(dayPlan.setSelectedDate(day.startOfDay()));
        // The sync sends to the team whose entries the state loaded.
        awaitTask(dayPlan.loadExistingEntries(QString::number(9012345678LL)));
        state.ResumeTiming();
        QElapsedTimer elapsed;
        elapsed.start();
        awaitTask(dayPlan.syncToClickUp(), 60000);
        totalMs += elapsed.elapsed();
        if (dayPlan.entriesNeedingSync() != 0) {
            state.SkipWithError("the sync left entries unsynced");
            break;
        }
    }
    state.counters["max_concurrent_requests"] = double(server.maxConcurrentRequests());
    state.counters["ms_per_entry"] = double(totalMs) / double(state.iterations()) / entryCount;
}
BENCHMARK(BM_SyncFiftyEntries)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
