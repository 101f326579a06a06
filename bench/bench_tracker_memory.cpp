// Memory the tracker holds for a heavy day (bench_usage's synthetic day: 2,000 sessions, 20,000
// captures), reached two ways: the day file read when tracking starts (the application started again
// in the middle of a busy day), and the day handed over as a list (as the report window does after a
// change), the list dropped by the caller afterwards. Prints the growth of the heap in use (glibc's
// mallinfo2: uordblks and the mapped blocks, hblkhd) and of the resident memory (VmRSS after
// malloc_trim, so that freed heap pages do not count), and the time of what reads the kept day back:
// today's sessions, those that started today (what the popover and the report ask), the periodic
// save's part on the calling thread (encoded from the compact form; beside it, the same through the
// full records, as it was made before), a save.
// Usage: bench_tracker_memory [load|set] [budget MB]; fails when the resident growth is above the
// budget (default 6 MB).
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/WindowTitleCaptureService.h"
#include "support/FakeClock.h"
#include "support/FakeFrontAppSource.h"
#include "support/SyntheticUsageDay.h"
#include "support/TestSettings.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {
struct Memory {
    double residentMegabytes = 0;
    double heapMegabytes = 0;
};

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:")) {
                return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
            }
        }
    }
    return 0;
}

Memory memoryNow() {
    Memory memory;
    malloc_trim(0);
    memory.residentMegabytes = residentMegabytes();
    const struct mallinfo2 heap = mallinfo2();
    memory.heapMegabytes = double(heap.uordblks + heap.hblkhd) / (1024.0 * 1024.0);
    return memory;
}

// CPU time of this thread: the machine is shared, and what is measured runs on the calling thread.
double millisecondsOf(const std::function<void()>& work) {
    timespec start{};
    timespec end{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &start);
    work();
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &end);
    return double(end.tv_sec - start.tv_sec) * 1e3 + double(end.tv_nsec - start.tv_nsec) / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool viaFile = argc < 2 || std::strcmp(argv[1], "set") != 0;
    const double budgetMegabytes = argc > 2 ? std::atof(argv[2]) : 6.0;

    QTemporaryDir folder;
    TestSettings settings;
    FakeFrontAppSource front;
    FakeIdleSource idle;
    PrivacyRedaction privacy(settings);
    AppUsageStorageService storage(folder.path() + QStringLiteral("/usage"));
    WindowTitleCaptureService accessibility(front, settings, privacy, nullptr);
    AppUsageTrackingService tracker(storage, front, idle, accessibility, settings);
    const QDate day = syntheticusage::day();
    FakeClock clock(QDateTime(day, QTime(23, 0)));
    // Quiet: the tracker's console lines are not what is measured.
    std::freopen("/dev/null", "w", stdout);

    if (viaFile) {
        storage.save(syntheticusage::sessions(2000, 20000), day);
    }
    const Memory before = memoryNow();
    double handOver = 0;
    if (viaFile) {
        handOver = millisecondsOf([&] { tracker.startTracking(); });
    } else {
        QList<AppUsageSession> sessions = syntheticusage::sessions(2000, 20000);
        handOver = millisecondsOf([&] { tracker.setTodaySessions(sessions); });
    }
    QCoreApplication::processEvents();
    const Memory after = memoryNow();

    qsizetype captures = 0;
    const double read = millisecondsOf([&] {
        const QList<AppUsageSession> sessions = tracker.todaySessions();
        for (const AppUsageSession& session : sessions) {
            captures += session.windowCaptures.size();
        }
    });
    const double startedToday =
        millisecondsOf([&] { benchmark::DoNotOptimize(tracker.sessionsStartedToday()); });
    const double background = millisecondsOf([&] { tracker.saveDataInBackground(); });
    storage.waitForWrites();
    QCoreApplication::processEvents();
    // Again at once: the heap the first one freed is reused, as between saves that no trim separates.
    const double backgroundAgain = millisecondsOf([&] { tracker.saveDataInBackground(); });
    storage.waitForWrites();
    QCoreApplication::processEvents();
    // The same of records already made, as the tracker saved before it kept the compact form.
    double backgroundOfRecords = 0;
    {
        const QList<AppUsageSession> made = tracker.todaySessions();
        QObject context;
        backgroundOfRecords = millisecondsOf([&] { storage.saveInBackground(made, day, &context, {}); });
        storage.waitForWrites();
        QCoreApplication::processEvents();
    }
    // The periodic save as the tracker made it before it encoded from the compact form: the records
    // made, encoded and freed.
    double backgroundViaRecords = 0;
    {
        QObject context;
        backgroundViaRecords = millisecondsOf([&] {
            const QList<AppUsageSession> made = tracker.todaySessions();
            storage.saveInBackground(made, day, &context, {});
        });
        storage.waitForWrites();
        QCoreApplication::processEvents();
    }
    const double save = millisecondsOf([&] { tracker.saveData(); });
    const Memory afterSave = memoryNow();

    const double resident = after.residentMegabytes - before.residentMegabytes;
    std::fprintf(
        stderr,
        "day %s: %lld sessions, %lld captures held by the tracker\n"
        "heap in use added (mallinfo2 uordblks + hblkhd): %.2f MB\n"
        "resident memory added (VmRSS after malloc_trim): %.2f MB (budget %.1f MB)\n"
        "after a save: heap %+.2f MB, resident %+.2f MB against before the day\n"
        "CPU time of this thread: hand-over %.1f ms, today's sessions read back %.1f ms, those "
        "started today %.1f ms\n"
        "the periodic save's part on this thread %.1f ms, again at once %.1f ms (of records already made: "
        "%.1f ms; records made, encoded and freed: %.1f ms), "
        "a save %.1f ms\n",
        viaFile ? "read from its file" : "handed over as a list", qsizetype(tracker.todaySessions().size()),
        captures, after.heapMegabytes - before.heapMegabytes, resident, budgetMegabytes,
        afterSave.heapMegabytes - before.heapMegabytes,
        afterSave.residentMegabytes - before.residentMegabytes, handOver, read, startedToday, background,
        backgroundAgain, backgroundOfRecords, backgroundViaRecords, save);
    tracker.stopTracking();
    return resident <= budgetMegabytes ? 0 : 1;
}
