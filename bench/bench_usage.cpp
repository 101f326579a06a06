// Cost of the usage data layer on a heavy synthetic day: saving (before the call returns, and the
// calling thread's part of a save on the writer thread) and loading the day file, every
// member of the day summary, the Markdown report, and the popover's summary of a smaller day.
#include "services/usage/ActivityGrouping.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/DailyUsageSummary.h"
#include "support/SyntheticUsageDay.h"
#include "support/TestSettings.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
const QDate kDay = syntheticusage::day();

const QList<AppUsageSession>& heavyDay() {
    static const QList<AppUsageSession> day = syntheticusage::sessions(2000, 20000);
    return day;
}

void BM_UsageSave(benchmark::State& state) {
    QTemporaryDir folder;
    AppUsageStorageService storage(folder.path());
    for (auto _ : state) {
        storage.save(heavyDay(), kDay);
    }
    state.counters["bytes"] = double(QFileInfo(storage.filePath(kDay)).size());
}
BENCHMARK(BM_UsageSave)->Unit(benchmark::kMillisecond);

// The periodic save: what the calling (GUI) thread spends on it; the write and its flushes run on the
// storage's writer thread, waited for outside the measured time.
void BM_UsageSaveInBackground(benchmark::State& state) {
    QTemporaryDir folder;
    AppUsageStorageService storage(folder.path());
    QObject context;
    for (auto _ : state) {
        storage.saveInBackground(heavyDay(), kDay, &context, {});
        state.PauseTiming();
        storage.waitForWrites();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UsageSaveInBackground)->Unit(benchmark::kMillisecond);

void BM_UsageLoad(benchmark::State& state) {
    QTemporaryDir folder;
    AppUsageStorageService storage(folder.path());
    storage.save(heavyDay(), kDay);
    for (auto _ : state) {
        benchmark::DoNotOptimize(storage.load(kDay));
    }
}
BENCHMARK(BM_UsageLoad)->Unit(benchmark::kMillisecond);

void readEveryMember(const DailyUsageSummary& summary, const ActivityGrouping& grouping) {
    benchmark::DoNotOptimize(summary.totalDuration());
    benchmark::DoNotOptimize(summary.trackedDuration());
    benchmark::DoNotOptimize(summary.untrackedDuration());
    benchmark::DoNotOptimize(summary.formattedTotalDuration());
    const QList<AppUsageBreakdown> apps = summary.appBreakdown();
    for (const AppUsageBreakdown& app : apps) {
        benchmark::DoNotOptimize(summary.contextDetails(app.appId));
    }
    benchmark::DoNotOptimize(summary.allContexts());
    benchmark::DoNotOptimize(summary.websiteUsage());
    benchmark::DoNotOptimize(summary.pathUsage());
    benchmark::DoNotOptimize(summary.keywordUsage());
    benchmark::DoNotOptimize(summary.timelineBlocks());
    benchmark::DoNotOptimize(summary.timelineHours());
    benchmark::DoNotOptimize(
        summary.withTimeFilter(QDateTime(kDay, QTime(9, 0)), QDateTime(kDay, QTime(12, 0))));
    benchmark::DoNotOptimize(summary.generateTextReport(grouping));
}

// Every member again on the same summary, as a shown day is drawn again.
void BM_UsageSummaryAllMembers(benchmark::State& state) {
    TestSettings settings;
    const ActivityGrouping grouping(settings);
    const DailyUsageSummary summary{kDay, heavyDay(), std::nullopt, std::nullopt};
    for (auto _ : state) {
        readEveryMember(summary, grouping);
    }
}
BENCHMARK(BM_UsageSummaryAllMembers)->Unit(benchmark::kMillisecond);

// Every member once on a summary made afresh, as a window that opens on a day computes it.
void BM_UsageSummaryAllMembersFresh(benchmark::State& state) {
    TestSettings settings;
    const ActivityGrouping grouping(settings);
    for (auto _ : state) {
        const DailyUsageSummary summary{kDay, heavyDay(), std::nullopt, std::nullopt};
        readEveryMember(summary, grouping);
    }
}
BENCHMARK(BM_UsageSummaryAllMembersFresh)->Unit(benchmark::kMillisecond);

void BM_UsageMarkdownReport(benchmark::State& state) {
    TestSettings settings;
    const ActivityGrouping grouping(settings);
    for (auto _ : state) {
        benchmark::DoNotOptimize(grouping.generateMarkdownReport(kDay, heavyDay()));
    }
}
BENCHMARK(BM_UsageMarkdownReport)->Unit(benchmark::kMillisecond);

// What the popover's activity section computes when it is drawn.
void BM_UsagePopoverSummary(benchmark::State& state) {
    static const QList<AppUsageSession> day = syntheticusage::sessions(500, 5000);
    for (auto _ : state) {
        const DailyUsageSummary summary{kDay, day, std::nullopt, std::nullopt};
        benchmark::DoNotOptimize(summary.formattedTotalDuration());
        benchmark::DoNotOptimize(summary.appBreakdown());
        benchmark::DoNotOptimize(summary.allContexts());
    }
}
BENCHMARK(BM_UsagePopoverSummary)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
