// Cost of the usage data layer on a heavy synthetic day: saving and loading the day file, every
// member of the day summary, the Markdown report, and the popover's summary of a smaller day.
#include "services/usage/ActivityGroupingService.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/DailyUsageSummary.h"
#include "support/TestSettings.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
const QDate kDay(2025, 3, 14);

QString textOfLength(QRandomGenerator& random, int length) {
    static const QStringList words{
        QStringLiteral("invoice"),  QStringLiteral("pendlow"),    QStringLiteral("review"),
        QStringLiteral("main.py"),  QStringLiteral("roadmap"),    QStringLiteral("Docs"),
        QStringLiteral("-"),        QStringLiteral("|"),          QStringLiteral("client"),
        QStringLiteral("planning"), QStringLiteral("src/app.ts"), QStringLiteral("Q3")};
    QString text;
    while (text.size() < length) {
        text += words[int(random.bounded(words.size()))] + QLatin1Char(' ');
    }
    text.truncate(length);
    return text;
}

// sessionCount sessions of captureCount / sessionCount captures each, back to back from 07:00: 60 % of
// the captures with an address, 10 % with e-mail fields, 5 % redacted, titles of 40-120 characters.
QList<AppUsageSession> syntheticDay(int sessionCount, int captureCount) {
    QRandomGenerator random(42);
    static const QStringList apps{
        QStringLiteral("com.google.Chrome"),       QStringLiteral("org.mozilla.firefox"),
        QStringLiteral("com.microsoft.VSCode"),    QStringLiteral("com.apple.Terminal"),
        QStringLiteral("org.mozilla.thunderbird"), QStringLiteral("com.tinyspeck.slackmacgap"),
        QStringLiteral("org.gnome.gedit"),         QStringLiteral("com.jetbrains.PhpStorm")};
    const int perSession = captureCount / sessionCount;
    QDateTime time(kDay, QTime(7, 0));
    QList<AppUsageSession> sessions;
    sessions.reserve(sessionCount);
    int captureIndex = 0;
    for (int i = 0; i < sessionCount; ++i) {
        AppUsageSession session;
        session.id = QUuid::createUuid();
        session.bundleIdentifier = apps[i % apps.size()];
        session.appName = session.bundleIdentifier.section(QLatin1Char('.'), -1);
        session.startTime = time;
        time = time.addSecs(15 + qint64(random.bounded(40)));
        session.endTime = time;
        if (i % 3 != 0) {
            session.clickUpTaskId = QStringLiteral("86c%1").arg(i % 17);
        }
        for (int c = 0; c < perSession; ++c, ++captureIndex) {
            WindowTitleCapture capture;
            capture.id = QUuid::createUuid();
            capture.capturedAt = session.startTime.addSecs(c);
            capture.isRedacted = captureIndex % 20 == 0;
            capture.title = capture.isRedacted ? QStringLiteral("[Redacted]")
                                               : textOfLength(random, 40 + int(random.bounded(81)));
            if (captureIndex % 10 < 6) {
                capture.url = QStringLiteral("https://site%1.example.org/path/%2?q=%3")
                                  .arg(captureIndex % 37)
                                  .arg(captureIndex)
                                  .arg(random.bounded(1000));
            }
            if (captureIndex % 10 == 6) {
                capture.emailSubject = textOfLength(random, 30);
                capture.emailSender = QStringLiteral("Ann Lee <ann@example.org>");
                capture.emailMailbox = QStringLiteral("Inbox");
            }
            session.addCapture(capture);
        }
        sessions.append(std::move(session));
    }
    return sessions;
}

const QList<AppUsageSession>& heavyDay() {
    static const QList<AppUsageSession> day = syntheticDay(2000, 20000);
    return day;
}

void BM_UsageSave(benchmark::State& state) {
    QTemporaryDir folder;
    AppUsageStorageService storage(folder.path());
    for (auto _ : state) {
        storage.save(heavyDay(), kDay);
    }
    state.counters["bytes"] = double(QFileInfo(storage.fileURL(kDay)).size());
}
BENCHMARK(BM_UsageSave)->Unit(benchmark::kMillisecond);

void BM_UsageLoad(benchmark::State& state) {
    QTemporaryDir folder;
    AppUsageStorageService storage(folder.path());
    storage.save(heavyDay(), kDay);
    for (auto _ : state) {
        benchmark::DoNotOptimize(storage.load(kDay));
    }
}
BENCHMARK(BM_UsageLoad)->Unit(benchmark::kMillisecond);

void readEveryMember(const DailyUsageSummary& summary, const ActivityGroupingService& grouping) {
    benchmark::DoNotOptimize(summary.totalDuration());
    benchmark::DoNotOptimize(summary.trackedDuration());
    benchmark::DoNotOptimize(summary.untrackedDuration());
    benchmark::DoNotOptimize(summary.formattedTotalDuration());
    const QList<AppUsageBreakdown> apps = summary.appBreakdown();
    for (const AppUsageBreakdown& app : apps) {
        benchmark::DoNotOptimize(summary.contextDetails(app.bundleIdentifier));
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
    const ActivityGroupingService grouping(settings);
    const DailyUsageSummary summary{kDay, heavyDay(), std::nullopt, std::nullopt};
    for (auto _ : state) {
        readEveryMember(summary, grouping);
    }
}
BENCHMARK(BM_UsageSummaryAllMembers)->Unit(benchmark::kMillisecond);

// Every member once on a summary made afresh, as a window that opens on a day computes it.
void BM_UsageSummaryAllMembersFresh(benchmark::State& state) {
    TestSettings settings;
    const ActivityGroupingService grouping(settings);
    for (auto _ : state) {
        const DailyUsageSummary summary{kDay, heavyDay(), std::nullopt, std::nullopt};
        readEveryMember(summary, grouping);
    }
}
BENCHMARK(BM_UsageSummaryAllMembersFresh)->Unit(benchmark::kMillisecond);

void BM_UsageMarkdownReport(benchmark::State& state) {
    TestSettings settings;
    const ActivityGroupingService grouping(settings);
    for (auto _ : state) {
        benchmark::DoNotOptimize(grouping.generateMarkdownReport(kDay, heavyDay()));
    }
}
BENCHMARK(BM_UsageMarkdownReport)->Unit(benchmark::kMillisecond);

// What the popover's activity section computes when it is drawn.
void BM_UsagePopoverSummary(benchmark::State& state) {
    static const QList<AppUsageSession> day = syntheticDay(500, 5000);
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
