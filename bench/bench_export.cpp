// Building each text of the export dialog for a heavy day (2,000 sessions, 20,000 window captures):
// the three whole-day formats of the preview and "Copy All", and the three quick copies. Target:
// 20 ms each.
#include "services/reports/UsageExport.h"
#include "services/usage/ActivityGrouping.h"
#include "services/usage/DailyUsageSummary.h"
#include "support/SyntheticUsageDay.h"
#include "support/TestSettings.h"

#include <QCoreApplication>
#include <QLocale>

#include <benchmark/benchmark.h>

namespace {
const DailyUsageSummary& heavyDay() {
    static const DailyUsageSummary summary{syntheticusage::day(), syntheticusage::sessions(2000, 20000),
                                           std::nullopt, std::nullopt};
    return summary;
}

template <typename Build>
void measure(benchmark::State& state, Build build) {
    TestSettings settings;
    const ActivityGrouping grouping(settings);
    const UsageExport exporter(grouping);
    const DailyUsageSummary& day = heavyDay();
    qsizetype size = 0;
    for (auto _ : state) {
        const QString text = build(exporter, day);
        size = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.counters["chars"] = double(size);
}

void BM_ExportMarkdown(benchmark::State& state) {
    measure(state, [](const UsageExport& e, const DailyUsageSummary& d) {
        return e.exportText(ExportFormat::markdown, d);
    });
}
BENCHMARK(BM_ExportMarkdown)->Unit(benchmark::kMillisecond);

void BM_ExportPlainText(benchmark::State& state) {
    measure(state, [](const UsageExport& e, const DailyUsageSummary& d) {
        return e.exportText(ExportFormat::plainText, d);
    });
}
BENCHMARK(BM_ExportPlainText)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    measure(state, [](const UsageExport& e, const DailyUsageSummary& d) { return e.csvExport(d); });
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

void BM_ExportTimelineOnly(benchmark::State& state) {
    measure(state, [](const UsageExport& e, const DailyUsageSummary& d) { return e.timelineText(d); });
}
BENCHMARK(BM_ExportTimelineOnly)->Unit(benchmark::kMillisecond);

void BM_ExportTasksOnly(benchmark::State& state) {
    measure(state, [](const UsageExport& e, const DailyUsageSummary& d) { return e.byTaskText(d); });
}
BENCHMARK(BM_ExportTasksOnly)->Unit(benchmark::kMillisecond);

void BM_ExportSummaryOnly(benchmark::State& state) {
    measure(state, [](const UsageExport& e, const DailyUsageSummary& d) { return e.summaryText(d); });
}
BENCHMARK(BM_ExportSummaryOnly)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The texts follow the default locale; pin it, so that every run builds the same texts.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
