// An eight-hour working day of the real tracker driven through the clock seam: a window switch every
// 30 s (960 sessions) and a title capture every 30 s (the switch's own capture and the timer's, 15 s
// later), 60 % of them in browsers with an address, the 300-s save running as it would. Prints the
// resident memory the day added, the time the 300-s saves take on the GUI thread (the last one writes
// the whole day; the writing and flushing of the file run on the storage's writer thread) and the
// time of the same save written before it returns (the save at quit), and fails when the day adds
// more than 5 MB or the last 300-s save takes more than 20 ms of the GUI thread.
// Usage: bench_usage_day [hours]
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/DeepContext.h"
#include "services/usage/FrontApplication.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/UsageDayFile.h"
#include "services/usage/WindowTitleCaptureService.h"
#include "support/FakeClock.h"
#include "support/FakeFrontAppSource.h"
#include "support/TestSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {
constexpr double maxAddedMegabytes = 5.0;
constexpr double maxSaveMilliseconds = 20.0;

long residentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return 0;
}

// Browsers answer with the address of a page that differs per title.
class SampleDeepContext : public DeepContextSource {
public:
    QCoro::Task<std::optional<DeepContext>> getContext(QString appId, QString windowTitle) override {
        if (appId != u"org.mozilla.firefox" && appId != u"com.google.Chrome") {
            co_return std::nullopt;
        }
        co_return DeepContext{QStringLiteral("https://docs.example.org/d/%1?tab=t.0").arg(qHash(windowTitle)),
                              std::nullopt, std::nullopt, std::nullopt};
    }
};

struct App {
    const char* desktopId;
    const char* name;
    const char* titleFormat;
};
const App apps[] = {
    {"firefox", "Firefox", "Sprint %1 planning board - Project Atlas — Mozilla Firefox"},
    {"google-chrome", "Google Chrome", "Design review notes %1 - Google Docs - Google Chrome"},
    {"code", "Visual Studio Code", "planner%1.ts - pendlow - Visual Studio Code"},
    {"org.gnome.Terminal", "Terminal", "dev@host: ~/src/pendlow/build-%1"},
    {"org.mozilla.thunderbird", "Thunderbird", "Re: Quarterly numbers %1 - Mozilla Thunderbird"},
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int hours = argc > 1 ? std::max(1, atoi(argv[1])) : 8;
    QTemporaryDir folder;
    TestSettings settings;
    FakeFrontAppSource front;
    FakeIdleSource idle;
    SampleDeepContext deepContext;
    PrivacyRedaction privacy(settings);
    AppUsageStorageService storage(folder.path() + QStringLiteral("/usage"));
    WindowTitleCaptureService accessibility(front, settings, privacy, &deepContext);
    AppUsageTrackingService tracker(storage, front, idle, accessibility, settings);
    FakeClock clock(QDateTime(QDate(2025, 3, 14), QTime(9, 0)));

    // Quiet: the tracker's console lines are not what is measured.
    std::freopen("/dev/null", "w", stdout);
    tracker.startTracking();
    QCoreApplication::processEvents();
    const long before = residentKilobytes();

    QList<double> saves;
    const int switches = hours * 3600 / 30;
    for (int i = 0; i < switches; ++i) {
        const App& a = apps[i % std::size(apps)];
        const FrontWindow window = front.window(QString::fromLatin1(a.desktopId), QString::fromLatin1(a.name),
                                                QString::fromUtf8(a.titleFormat).arg(i % 97));
        front.activate(window); // ends the last session, opens this one and captures its title
        clock.advance(15);
        accessibility.captureWindowTitle(FrontApplication::from(window)); // the timer's capture
        clock.advance(15);
        if ((i + 1) % 10 == 0) { // every 300 s
            QElapsedTimer timer;
            timer.start();
            tracker.saveDataInBackground();
            saves.append(timer.nsecsElapsed() / 1e6);
        }
        QCoreApplication::processEvents();
    }
    storage.waitForWrites();
    QCoreApplication::processEvents();
    const long after = residentKilobytes();
    // The same whole day written before the call returns, as at quit.
    QElapsedTimer synchronous;
    synchronous.start();
    tracker.saveData();
    const double synchronousMilliseconds = synchronous.nsecsElapsed() / 1e6;
    // The whole day's encoding alone, to tell it from the file's write and sync.
    QElapsedTimer encoding;
    encoding.start();
    const QByteArray encoded = UsageDayFile{QStringLiteral("2025-03-14"), tracker.todaySessions()}.toJson();
    const double encodeMilliseconds = encoding.nsecsElapsed() / 1e6;
    tracker.stopTracking();

    const double added = (after - before) / 1024.0;
    QList<double> sorted = saves;
    std::sort(sorted.begin(), sorted.end());
    const double last = saves.isEmpty() ? 0 : saves.last();
    std::fprintf(
        stderr,
        "%d h simulated: %d sessions, %lld ended in memory\n"
        "resident memory added: %.2f MB (budget %.1f MB)\n"
        "300-s saves on the GUI thread: %lld, median %.2f ms, slowest %.2f ms, last (whole day) %.2f ms "
        "(budget %.0f ms)\n"
        "the whole day written before the call returns (the save at quit): %.2f ms\n"
        "the whole day encoded alone: %.2f ms, %lld KB\n",
        hours, switches, qsizetype(tracker.todaySessions().size()), added, maxAddedMegabytes,
        qsizetype(saves.size()), sorted.isEmpty() ? 0 : sorted[sorted.size() / 2],
        sorted.isEmpty() ? 0 : sorted.last(), last, maxSaveMilliseconds, synchronousMilliseconds,
        encodeMilliseconds, qsizetype(encoded.size() / 1024));
    return added <= maxAddedMegabytes && last <= maxSaveMilliseconds ? 0 : 1;
}
