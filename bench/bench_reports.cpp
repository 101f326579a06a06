// The report windows on a heavy day (2,000 sessions with 10 window captures each, 20,000 in all):
// the time from the "View Full Report" click to the day's dashboard on screen (today: the day file
// merged with the same 2,000 sessions in the tracker's memory; a past day: its file), and the
// resident memory after five open/close cycles of every report window compared with before (the
// process cold, and after the popover has been shown).
// Runs under scripts/test-env.sh (it needs the X display).
#include "support/AppStateFixture.h"
#include "support/FakeFrontAppSource.h"
#include "support/ReportContextFill.h"
#include "support/SettleEvents.h"
#include "support/TaskAwait.h"
#include "support/TestSettings.h"

#include "core/Clock.h"
#include "platform/HeapTrim.h"
#include "services/reports/UsageDayLoader.h"
#include "services/reports/UsageReportState.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/UsageDay.h"
#include "services/usage/WindowTitleCaptureService.h"
#include "ui/menubar/AppUsageSection.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PopoverWindow.h"
#include "ui/reports/AppUsageReportOpener.h"
#include "ui/reports/AppUsageReportView.h"
#include "ui/reports/DashboardTabContent.h"
#include "ui/reports/DashboardView.h"
#include "ui/reports/DateRow.h"
#include "ui/reports/ReportWindowManager.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

namespace {
constexpr int sessionCount = 2000;
constexpr int capturesPerSession = 10;

QList<AppUsageSession> heavyDay(QDate day) {
    static const QStringList apps{"firefox",     "code",  "org.gnome.Terminal",
                                  "thunderbird", "slack", "libreoffice"};
    QList<AppUsageSession> sessions;
    const QDateTime first = usageday::start(day).addSecs(6 * 3600);
    for (int i = 0; i < sessionCount; ++i) {
        AppUsageSession session;
        session.id = QUuid::createUuid();
        session.appId = apps.at(i % apps.size());
        session.appName = session.appId;
        session.startTime = first.addSecs(qint64(i) * 30);
        session.endTime = session.startTime.addSecs(28);
        if (i % 3 == 0) {
            session.clickUpTaskId = QStringLiteral("task%1").arg(i % 40);
        }
        for (int c = 0; c < capturesPerSession; ++c) {
            WindowTitleCapture capture;
            capture.id = QUuid::createUuid();
            capture.capturedAt = session.startTime.addSecs(c * 2);
            capture.title = QStringLiteral("Project %1 - report_%2.cpp - Editor window number %3")
                                .arg(i % 50)
                                .arg(c)
                                .arg(i);
            if (i % apps.size() == 0) {
                capture.url = QStringLiteral("https://example.org/path/%1/page%2").arg(i % 30).arg(c);
            }
            session.addCapture(capture);
        }
        sessions.append(session);
    }
    return sessions;
}

struct Setup {
    Setup()
        : privacy(settings)
        , accessibility(front, settings, privacy)
        , tracker(storage, front, idle, accessibility, settings)
        , loader(storage, &tracker) {
        const QDate today = usageday::of(Clock::now());
        const QList<AppUsageSession> todays = heavyDay(today);
        storage.save(todays, today);
        storage.save(heavyDay(today.addDays(-1)), today.addDays(-1));
        tracker.setTodaySessions(todays);
        fillReportContext(context, app.state());
        context.loader = &loader;
    }
    AppStateFixture app;
    QTemporaryDir folder;
    TestSettings settings;
    FakeFrontAppSource front;
    FakeIdleSource idle;
    PrivacyRedaction privacy;
    AppUsageStorageService storage{folder.path()};
    WindowTitleCaptureService accessibility;
    AppUsageTrackingService tracker;
    UsageDayLoader loader;
    ReportContext context;
};

std::unique_ptr<Setup> shared;

Setup& setup() {
    if (!shared) {
        shared = std::make_unique<Setup>();
    }
    return *shared;
}

bool dashboardShown(const AppUsageReportView* report) {
    return report && !report->state().isLoading() && report->dashboardTab()->dashboardView() &&
           report->dashboardTab()->dashboardView()->isVisible();
}

// The resident memory in all, its anonymous part (heap and other private pages) and its file-backed
// part (mapped files: the code of the libraries and the font files).
struct Resident {
    double all = 0;
    double anonymous = 0;
    double files = 0;
};

Resident resident() {
    Resident result;
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return result;
    }
    const auto megabytes = [](const QByteArray& line) {
        return line.mid(line.indexOf(':') + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    };
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            result.all = megabytes(line);
        } else if (line.startsWith("RssAnon:")) {
            result.anonymous = megabytes(line);
        } else if (line.startsWith("RssFile:")) {
            result.files = megabytes(line);
        }
    }
    return result;
}

void openAndCloseAll(ReportWindowManager& windows, AppUsageReportOpener& reports) {
    reports.showReport();
    while (!dashboardShown(reports.window())) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    windows.openSideBySide();
    (void)QTest::qWaitForWindowExposed(windows.timelineWindow());
    settleEvents(20);
    reports.window()->close();
    windows.dashboardWindow()->close();
    windows.timelineWindow()->close();
    settleEvents(20);
}

// Shows the popover on its activity tab (today's heavy day, the "View Full Report" button) and
// hides it again, as a user does before opening the report; the popover stays built, as in the
// application. Tracking, which showing the popover starts, is stopped again.
void showAndHidePopover(Setup& s, PopoverWindow& popover) {
    popover.showAt(QRect(1800, 0, 24, 24));
    (void)QTest::qWaitForWindowExposed(&popover);
    while (!popover.content()->appUsageSection()->findChild<QToolButton*>(
        QStringLiteral("viewFullReportButton"))) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    settleEvents(20);
    popover.hide();
    s.tracker.stopTracking();
    settleEvents(20);
}

void putCounters(benchmark::State& state, const char* name, const Resident& from, const Resident& to) {
    state.counters[std::string(name)] = to.all - from.all;
    state.counters["anon_" + std::string(name)] = to.anonymous - from.anonymous;
    state.counters["file_" + std::string(name)] = to.files - from.files;
}

// Resident memory after six open/close cycles of all three report windows (the first, then five
// more), against two starting points: the process cold, before any window was shown; and after the
// popover, from which "View Full Report" opens the report, has been shown and hidden, so that the
// fonts, the style and the widget code it shares with the report windows are already loaded, as they
// are in the application at the click. Each growth is given in all, in its anonymous part (what the
// windows may keep) and in its file-backed part (library code and font files mapped once per process:
// shared with other processes and reclaimable, not memory the windows keep).
// Building the heavy days and the popover leaves free heap behind that the windows did not use: it is
// given back before each starting point is read, so that what the windows' manager gives back after
// the last window does not count it.
void BM_ReportWindowsMemory(benchmark::State& state) {
    Setup& s = setup();
    s.app.settings.setIsAppUsageTrackingEnabled(true);
    MenuBarView::setSelectedTab(s.app.settings, QStringLiteral("activity"));
    s.app.state().setAppUsageService(&s.tracker);
    (void)awaitTask(s.app.state().loadConfiguration());
    ReportWindowManager windows(s.context);
    // Given back as soon as the last window has gone, not after the application's delay, so that the
    // cycles run back to back.
    windows.setReleaseDelay(std::chrono::milliseconds(0));
    AppUsageReportOpener reports(s.context, windows);
    settleEvents(20);
    for (auto _ : state) {
        HeapTrim::releaseFreeMemory();
        const Resident cold = resident();
        // Built after the cold reading: its code and fonts are part of what the first figure measures.
        PopoverWindow popover(s.app.state(), s.app.settings, s.app.toasts, s.app.panels);
        AppUsageReportOpener* opener = &reports;
        popover.content()->appUsageSection()->setReportOpener([opener] { opener->showReport(); });
        showAndHidePopover(s, popover);
        HeapTrim::releaseFreeMemory();
        const Resident afterPopover = resident();
        openAndCloseAll(windows, reports);
        const Resident afterFirst = resident();
        for (int cycle = 0; cycle < 5; ++cycle) {
            openAndCloseAll(windows, reports);
        }
        const Resident after = resident();
        state.counters["rss_cold_mb"] = cold.all;
        state.counters["rss_after_popover_mb"] = afterPopover.all;
        state.counters["rss_after_6_cycles_mb"] = after.all;
        putCounters(state, "growth_from_cold_mb", cold, after);
        putCounters(state, "growth_from_popover_mb", afterPopover, after);
        putCounters(state, "growth_over_5_cycles_mb", afterFirst, after);
    }
}
BENCHMARK(BM_ReportWindowsMemory)->Unit(benchmark::kMillisecond)->Iterations(1);
// From the click to today's dashboard in a new report window, opened again within the release
// delay of the last one (the heap it filled still there), or after its memory was given back (its
// pages fault in again).
void reportOpensOnToday(benchmark::State& state, bool afterRelease) {
    Setup& s = setup();
    ReportWindowManager windows(s.context);
    if (afterRelease) {
        windows.setReleaseDelay(std::chrono::milliseconds(0));
        ReportWindowManager::releaseMemory();
    }
    AppUsageReportOpener reports(s.context, windows);
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        reports.showReport();
        while (!dashboardShown(reports.window())) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        (void)QTest::qWaitForWindowExposed(reports.window());
        QCoreApplication::processEvents();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.counters["sessions"] = double(reports.window()->state().selectedSummary()->sessions.size());
        QPointer<AppUsageReportView> window = reports.window();
        window->close();
        while (window) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        settleEvents(20);
    }
}
void BM_ReportOpensOnToday(benchmark::State& state) {
    reportOpensOnToday(state, false);
}
BENCHMARK(BM_ReportOpensOnToday)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);
void BM_ReportOpensOnTodayAfterRelease(benchmark::State& state) {
    reportOpensOnToday(state, true);
}
BENCHMARK(BM_ReportOpensOnTodayAfterRelease)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

// From a click on yesterday's row to its dashboard.
void BM_SelectHeavyPastDay(benchmark::State& state) {
    Setup& s = setup();
    ReportWindowManager windows(s.context);
    AppUsageReportOpener reports(s.context, windows);
    reports.showReport();
    AppUsageReportView* report = reports.window();
    while (!dashboardShown(report)) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const QDate yesterday = usageday::of(Clock::now()).addDays(-1);
    const QDate today = yesterday.addDays(1);
    bool toYesterday = true;
    for (auto _ : state) {
        const QDate target = toYesterday ? yesterday : today;
        toYesterday = !toYesterday;
        DateRow* row = nullptr;
        for (DateRow* candidate : report->dashboardTab()->dateRows()) {
            if (candidate->date() == target) {
                row = candidate;
            }
        }
        QElapsedTimer timer;
        timer.start();
        QTest::mouseClick(row, Qt::LeftButton);
        while (!dashboardShown(report) || report->state().selectedSummary()->date != target) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        QCoreApplication::processEvents();
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_SelectHeavyPastDay)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(10);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shared.reset();
    return 0;
}
