// The day dashboard on a heavy day (2,000 sessions, 20,000 window captures over about eleven
// hours): one repaint of the timeline (target: at most 8 ms), building the whole dashboard with its
// cards and laying it out, its first paint, and narrowing it to a range and back.
#include "core/Clock.h"
#include "services/clickup/TimeEntry.h"
#include "services/usage/DailyUsageSummary.h"
#include "ui/reports/DashboardView.h"
#include "ui/reports/TimelineSectionWithSelection.h"

#include <QApplication>
#include <QImage>
#include <QLayout>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {
const QDate kDay(2025, 3, 14);

// A vocabulary of 400 words, so that the keyword card lists a few hundred.
const QStringList& words() {
    static const QStringList list = [] {
        QStringList result;
        static const char* stems[] = {"invoice",  "roadmap", "release",  "review",  "client",
                                      "planning", "budget",  "design",   "sprint",  "report",
                                      "backlog",  "meeting", "support",  "ticket",  "deploy",
                                      "metrics",  "hiring",  "contract", "pricing", "launch"};
        for (const char* stem : stems) {
            for (int i = 0; i < 20; ++i) {
                result << QString::fromLatin1(stem) + QString::number(i);
            }
        }
        return result;
    }();
    return list;
}

// As read from a day file, the times are UTC; with localTimes, as the tracker holds today's
// sessions in memory (local times, each conversion a time-zone lookup).
QList<AppUsageSession> heavySessions(bool localTimes) {
    QRandomGenerator random(7);
    static const QStringList apps{
        QStringLiteral("com.google.Chrome"),    QStringLiteral("org.mozilla.firefox"),
        QStringLiteral("com.microsoft.VSCode"), QStringLiteral("com.apple.Terminal"),
        QStringLiteral("com.apple.mail"),       QStringLiteral("com.tinyspeck.slackmacgap"),
        QStringLiteral("com.figma.Desktop"),    QStringLiteral("com.jetbrains.PhpStorm"),
        QStringLiteral("org.gnome.Nautilus"),   QStringLiteral("org.libreoffice.Calc"),
        QStringLiteral("com.spotify.Client"),   QStringLiteral("org.keepassxc.KeePassXC")};
    static const QStringList extensions{QStringLiteral(".ts"),    QStringLiteral(".py"),
                                        QStringLiteral(".swift"), QStringLiteral(".md"),
                                        QStringLiteral(".json"),  QStringLiteral(".js")};
    QDateTime time(kDay, QTime(7, 0));
    if (!localTimes) {
        time = time.toUTC();
    }
    QList<AppUsageSession> sessions;
    sessions.reserve(2000);
    for (int i = 0; i < 2000; ++i) {
        AppUsageSession session;
        session.id = QUuid::createUuid();
        session.appId = apps[i % apps.size()];
        session.appName = session.appId.section(QLatin1Char('.'), -1);
        session.startTime = time;
        time = time.addSecs(10 + qint64(random.bounded(21)));
        session.endTime = time;
        if (i % 3 != 0) {
            session.clickUpTaskId = QStringLiteral("86c%1").arg(i % 17);
        }
        const bool browser = i % apps.size() < 2;
        const bool editor = session.appId.contains(QLatin1String("VSCode")) ||
                            session.appId.contains(QLatin1String("PhpStorm"));
        for (int c = 0; c < 10; ++c) {
            WindowTitleCapture capture;
            capture.id = QUuid::createUuid();
            capture.capturedAt = session.startTime.addSecs(c);
            const QString a = words()[int(random.bounded(words().size()))];
            const QString b = words()[int(random.bounded(words().size()))];
            if (editor) {
                capture.title =
                    QStringLiteral("~/src/project%1/%2%3 - %4")
                        .arg(random.bounded(30))
                        .arg(a, extensions[int(random.bounded(extensions.size()))], session.appName);
            } else {
                capture.title = a + QStringLiteral(" - ") + b + QStringLiteral(" | ") + session.appName;
            }
            if (browser) {
                capture.url =
                    QStringLiteral("https://www.site%1.example/%2/%3").arg(random.bounded(200)).arg(a, b);
            }
            capture.isRedacted = (i * 10 + c) % 20 == 0;
            session.addCapture(capture);
        }
        sessions.append(session);
    }
    return sessions;
}

const DailyUsageSummary& heavyDay() {
    static const DailyUsageSummary summary{kDay, heavySessions(false), std::nullopt, std::nullopt};
    return summary;
}

const DailyUsageSummary& heavyDayInLocalTimes() {
    static const DailyUsageSummary summary{kDay, heavySessions(true), std::nullopt, std::nullopt};
    return summary;
}

QList<TimeEntry> heavyEntries() {
    QList<TimeEntry> entries;
    QDateTime time(kDay, QTime(7, 0));
    for (int i = 0; i < 40; ++i) {
        TimeEntry entry;
        entry.id = QString::number(i);
        entry.taskName = QStringLiteral("Client %1 - Task with a longer name to elide %2").arg(i % 5).arg(i);
        entry.startTime = time;
        time = time.addSecs(900);
        entry.endTime = time;
        entry.duration = 900000;
        entries.append(entry);
    }
    return entries;
}

void BM_DashboardTimelineRepaint(benchmark::State& state) {
    TimelineSectionWithSelection timeline;
    timeline.resize(int(state.range(0)), 84);
    timeline.setContent(heavyDay(), heavyDay(), heavyEntries(), true);
    QImage image(timeline.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        image.fill(Qt::white);
        timeline.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["blocks"] = double(timeline.blocks().size());
}
BENCHMARK(BM_DashboardTimelineRepaint)->Arg(900)->Arg(1800)->Unit(benchmark::kMillisecond);

// What the dashboard asks of the day summary (the usage layer's share of building it).
void BM_DashboardAnalytics(benchmark::State& state) {
    const DailyUsageSummary& day = heavyDay();
    for (auto _ : state) {
        benchmark::DoNotOptimize(day.websiteUsage());
        benchmark::DoNotOptimize(day.pathUsage());
        benchmark::DoNotOptimize(day.keywordUsage());
        benchmark::DoNotOptimize(day.timelineBlocks());
        const QList<AppUsageBreakdown> apps = day.appBreakdown();
        for (qsizetype i = 0; i < apps.size() && i < 8; ++i) {
            benchmark::DoNotOptimize(day.contextDetails(apps[i].appId));
        }
    }
}
BENCHMARK(BM_DashboardAnalytics)->Unit(benchmark::kMillisecond);

void BM_DashboardContextDetails(benchmark::State& state) {
    const DailyUsageSummary& day = heavyDay();
    const QList<AppUsageBreakdown> apps = day.appBreakdown();
    for (auto _ : state) {
        for (qsizetype i = 0; i < apps.size() && i < 8; ++i) {
            benchmark::DoNotOptimize(day.contextDetails(apps[i].appId));
        }
    }
}
BENCHMARK(BM_DashboardContextDetails)->Unit(benchmark::kMillisecond);

void BM_DashboardBuild(benchmark::State& state) {
    const QList<TimeEntry> entries = heavyEntries();
    for (auto _ : state) {
        DashboardView view(heavyDay(), entries);
        view.resize(900, 600);
        view.layout()->activate();
        benchmark::DoNotOptimize(view.sizeHint());
    }
}
BENCHMARK(BM_DashboardBuild)->Unit(benchmark::kMillisecond);

void BM_DashboardBuildInLocalTimes(benchmark::State& state) {
    const QList<TimeEntry> entries = heavyEntries();
    for (auto _ : state) {
        DashboardView view(heavyDayInLocalTimes(), entries);
        view.resize(900, 600);
        view.layout()->activate();
        benchmark::DoNotOptimize(view.sizeHint());
    }
}
BENCHMARK(BM_DashboardBuildInLocalTimes)->Unit(benchmark::kMillisecond);

void BM_DashboardBuildAndFirstPaint(benchmark::State& state) {
    const QList<TimeEntry> entries = heavyEntries();
    for (auto _ : state) {
        DashboardView view(heavyDay(), entries);
        view.resize(900, 600);
        benchmark::DoNotOptimize(view.grab());
    }
}
BENCHMARK(BM_DashboardBuildAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_DashboardFilterAndClear(benchmark::State& state) {
    DashboardView view(heavyDay(), heavyEntries());
    view.resize(900, 600);
    const QDateTime from(kDay, QTime(10, 0));
    for (auto _ : state) {
        view.setFilter(from, from.addSecs(3600));
        view.clearFilter();
    }
}
BENCHMARK(BM_DashboardFilterAndClear)->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    // Open sessions would count up to now; pin it after the heavy day.
    const QDateTime now(kDay, QTime(23, 0));
    Clock::setSource([now] { return now; });
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
