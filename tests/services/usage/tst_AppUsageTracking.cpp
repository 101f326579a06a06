// The tracker with a fake front-application source, idle source and deep context: sessions on
// switches, excluded applications, idle, the minimum length, saves, midnight, stop and start, task
// ids, and the captures with their redaction.
#include "support/TestMain.h"

#include "services/usage/AppUsageStorageService.h"
#include "services/usage/AppUsageTrackingService.h"
#include "services/usage/DeepContext.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/UsageDay.h"
#include "services/usage/UsageDayFile.h"
#include "services/usage/WindowTitleCaptureService.h"
#include "support/FakeClock.h"
#include "support/FakeFrontAppSource.h"
#include "support/LogCapture.h"
#include "support/OutputCapture.h"
#include "support/SyntheticUsageDay.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestSettings.h"
#include "support/UsageSamples.h"

#include <QCoroTimer>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace usagesamples;
using namespace Qt::StringLiterals;

namespace {
// Answers at once, or, with delayMs, after that long on the event loop (as the real sources do).
class FakeDeepContext : public DeepContextSource {
public:
    QCoro::Task<std::optional<DeepContext>> getContext(QString appId, QString) override {
        ++calls;
        lastAppId = appId;
        if (delayMs > 0) {
            QTimer timer;
            timer.setSingleShot(true);
            timer.start(delayMs);
            co_await qCoro(timer).waitForTimeout();
        }
        co_return std::optional<DeepContext>(answer);
    }
    std::optional<DeepContext> answer;
    int delayMs = 0;
    int calls = 0;
    QString lastAppId;
};

// One tracker over fakes, with its day files in a folder of its own.
struct Rig {
    QTemporaryDir folder;
    TestSettings settings;
    FakeFrontAppSource front;
    FakeIdleSource idle;
    FakeDeepContext deepContext;
    PrivacyRedaction privacy{settings};
    AppUsageStorageService storage{folder.path() + QStringLiteral("/usage")};
    WindowTitleCaptureService accessibility{front, settings, privacy, &deepContext};
    AppUsageTrackingService tracker{storage, front, idle, accessibility, settings};

    QStringList appsOfToday() const {
        QStringList names;
        for (const AppUsageSession& session : tracker.todaySessions()) {
            names << session.appName;
        }
        return names;
    }
    QList<AppUsageSession> stored(QDate day) {
        AppUsageStorageService reader(storage.usageDirectory());
        return reader.load(day);
    }
};
} // namespace

class AppUsageTracking : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void switchesOpenAndEndSessions() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.front.activate(rig.front.window(QStringLiteral("firefox"), QStringLiteral("Firefox"),
                                            QStringLiteral("Docs - Mozilla Firefox")));
        OutputCapture out;
        rig.tracker.startTracking();
        QVERIFY(rig.tracker.isTracking());
        QVERIFY(rig.front.isObserving());
        QCOMPARE(rig.tracker.currentSession()->appId, QStringLiteral("firefox"));
        QCOMPARE(rig.tracker.currentSession()->windowCaptures.size(), 1);
        QCOMPARE(rig.tracker.currentSession()->windowCaptures[0].title,
                 QStringLiteral("Docs - Mozilla Firefox"));

        clock.advance(600);
        rig.front.activate(
            rig.front.window(QStringLiteral("org.gnome.gedit"), QStringLiteral("Text Editor")));
        const QString printed = out.text();
        QCOMPARE(rig.appsOfToday(), QStringList{QStringLiteral("Firefox")});
        const AppUsageSession ended = rig.tracker.todaySessions()[0];
        QCOMPARE(ended.endTime, at(QStringLiteral("09:10")));
        QCOMPARE(ended.projectContext, QStringLiteral("Docs"));
        QCOMPARE(rig.tracker.currentSession()->appName, QStringLiteral("Text Editor"));
        QVERIFY(rig.tracker.currentSession()->windowCaptures.isEmpty()); // no title: no capture
        QVERIFY2(
            printed.contains(QStringLiteral("\U0001F4CA [AppUsageTracking] Loaded 0 sessions from disk\n")),
            qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral("\U0001F4CA [AppUsageTracking] Started session: Firefox\n")));
        QVERIFY(
            printed.contains(QStringLiteral("\U0001F4CA [AppUsageTracking] Ended session: Firefox (10m)\n")));
        QVERIFY(printed.contains(QStringLiteral("\U0001F4CA [AppUsageTracking] Started tracking\n")));
        rig.tracker.stopTracking();
    }

    void excludedApplicationsExtendTheOpenSession() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.settings.setExcludedAppsFromTracking({QStringLiteral("org.keepassxc.KeePassXC")});
        rig.tracker.startTracking();
        rig.front.activate(rig.front.window(QStringLiteral("code"), QStringLiteral("Code"),
                                            QStringLiteral("a.py - Visual Studio Code")));
        clock.advance(60);
        const FrontWindow vault = rig.front.window(QStringLiteral("org.keepassxc.KeePassXC"),
                                                   QStringLiteral("KeePassXC"), QStringLiteral("Vault"));
        rig.front.activate(vault);
        QCOMPARE(rig.tracker.currentSession()->appName, QStringLiteral("Code"));
        rig.accessibility.captureWindowTitle(
            FrontApplication::from(vault)); // a capture of the excluded app is dropped
        QCOMPARE(rig.tracker.currentSession()->windowCaptures.size(), 1);
        clock.advance(120);
        rig.front.activate(rig.front.window(QStringLiteral("firefox"), QStringLiteral("Firefox")));
        QCOMPARE(rig.appsOfToday(), QStringList{QStringLiteral("Code")});
        QCOMPARE(rig.tracker.todaySessions()[0].duration(), 180.0);
        rig.tracker.stopTracking();
    }

    void sessionsOfOneSecondOrLessAreDropped_data() {
        QTest::addColumn<int>("milliseconds");
        QTest::addColumn<bool>("kept");
        QTest::newRow("1.000 s") << 1000 << false;
        QTest::newRow("1.001 s") << 1001 << true;
    }

    void sessionsOfOneSecondOrLessAreDropped() {
        QFETCH(int, milliseconds);
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.tracker.startTracking();
        rig.front.activate(rig.front.window(QStringLiteral("a"), QStringLiteral("A")));
        clock.advanceMSecs(milliseconds);
        rig.front.activate(rig.front.window(QStringLiteral("b"), QStringLiteral("B")));
        QTEST(rig.tracker.todaySessions().size() == 1, "kept");
        rig.tracker.stopTracking();
    }

    void idleEndsTheSessionAndReturnOpensANewOne() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.front.activate(rig.front.window(QStringLiteral("a"), QStringLiteral("A")));
        rig.tracker.startTracking();
        clock.advance(600);
        rig.idle.seconds = 300; // exactly the threshold is not idle
        rig.tracker.checkIdleState();
        QVERIFY(!rig.tracker.isUserIdle());
        QVERIFY(rig.tracker.currentSession().has_value());

        rig.idle.seconds = 300.5;
        rig.tracker.checkIdleState();
        QVERIFY(rig.tracker.isUserIdle());
        QVERIFY(!rig.tracker.currentSession().has_value());
        QCOMPARE(rig.tracker.todaySessions()[0].endTime, at(QStringLiteral("09:10")));

        rig.front.activate(rig.front.window(QStringLiteral("b"), QStringLiteral("B")));
        QVERIFY(!rig.tracker.currentSession().has_value()); // no session while idle

        clock.advance(900);
        rig.idle.seconds = 2;
        rig.tracker.checkIdleState();
        QVERIFY(!rig.tracker.isUserIdle());
        QCOMPARE(rig.tracker.currentSession()->appName, QStringLiteral("B"));
        QCOMPARE(rig.tracker.currentSession()->startTime, at(QStringLiteral("09:25")));
        rig.tracker.stopTracking();
    }

    void timersAndCaptureInterval_data() {
        QTest::addColumn<int>("setting");
        QTest::addColumn<int>("interval");
        QTest::newRow("unset") << 0 << 30000;
        QTest::newRow("10 s") << 10 << 10000;
    }

    void timersAndCaptureInterval() {
        QFETCH(int, setting);
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.settings.setWindowTitleCaptureInterval(setting);
        rig.tracker.startTracking();
        QVERIFY(rig.accessibility.isCapturing());
        QTEST(rig.accessibility.intervalMSecs(), "interval");
        QCOMPARE(rig.tracker.idleTimer().interval(), 30000);
        QCOMPARE(rig.tracker.saveTimer().interval(), 300000);
        QVERIFY(rig.tracker.idleTimer().isActive() && rig.tracker.saveTimer().isActive());
        rig.tracker.stopTracking();
        QVERIFY(!rig.accessibility.isCapturing());
        QVERIFY(!rig.tracker.idleTimer().isActive() && !rig.tracker.saveTimer().isActive());
    }

    void theSaveWritesEndedSessionsOnly() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.front.activate(rig.front.window(QStringLiteral("a"), QStringLiteral("A")));
        rig.tracker.startTracking();
        clock.advance(120);
        rig.front.activate(rig.front.window(QStringLiteral("b"), QStringLiteral("B")));
        clock.advance(180);
        // What the 300-s timer does: today's file is written on the storage's writer thread, which a
        // read waits for.
        rig.tracker.saveTimer().setInterval(1);
        QTRY_COMPARE(rig.stored(day()).size(), 1);
        rig.tracker.saveTimer().stop();
        QCOMPARE(rig.stored(day())[0].appName, QStringLiteral("A"));
        QVERIFY(rig.tracker.currentSession().has_value());
        rig.tracker.stopTracking(); // ends B and saves it
        QCOMPARE(rig.stored(day()).size(), 2);
        QVERIFY(!rig.tracker.isTracking());
    }

    // A save that fails (a full disk; here a file stands in the usage folder's place, since the tests
    // may run as root, whom a read-only folder does not stop) loses nothing: the sessions stay in memory,
    // the failure is logged as an error and kept for the popover, and the next save that succeeds
    // writes them all and clears it.
    void aFailedSaveKeepsTheSessionsUntilASaveSucceeds() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        LogCapture log;
        QSignalSpy errorChanged(&rig.tracker, &AppUsageTrackingService::saveErrorChanged);
        rig.front.activate(rig.front.window(QStringLiteral("a"), QStringLiteral("A")));
        rig.tracker.startTracking();
        const QString path = rig.storage.usageDirectory();
        QFile blocker(path);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        clock.advance(120);
        rig.front.activate(rig.front.window(QStringLiteral("b"), QStringLiteral("B")));
        clock.advance(60);

        rig.tracker.saveData();
        QVERIFY(!rig.tracker.saveError().isEmpty());
        QVERIFY2(rig.tracker.saveError().contains(path), qPrintable(rig.tracker.saveError()));
        QCOMPARE(errorChanged.size(), 1);
        QCOMPARE(log.lines(Log::Level::error).size(), 1);
        QVERIFY(log.lines(Log::Level::error)[0].contains(QStringLiteral("Usage data could not be saved: ")));

        rig.front.activate(rig.front.window(QStringLiteral("c"), QStringLiteral("C")));
        clock.advance(60);
        rig.tracker.saveTimer().setInterval(1); // the background save fails alike
        QTRY_VERIFY(log.lines(Log::Level::error).size() >= 2);
        rig.tracker.saveTimer().stop();
        QVERIFY(!rig.tracker.saveError().isEmpty());
        QCOMPARE(rig.appsOfToday(), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));

        QVERIFY(QFile::remove(path)); // room again
        rig.tracker.stopTracking();
        QVERIFY(rig.tracker.saveError().isEmpty());
        QStringList stored;
        for (const AppUsageSession& session : rig.stored(day())) {
            stored << session.appName;
        }
        QCOMPARE(stored, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    }

    // The day read at the start is kept in the tracker's compact form: saved again, the file is the
    // same to the byte, sessions with window titles of their own and without any among them.
    void aDayReadAtTheStartIsWrittenBackUnchanged() {
        FakeClock clock(at(QStringLiteral("23:00")));
        Rig rig;
        QList<AppUsageSession> sessions = syntheticusage::sessions(60, 600);
        sessions[1].windowTitles =
            QStringList{onHeap(u"A title of its own"), sessions[0].windowCaptures[1].title};
        sessions[2].windowTitles.reset();
        sessions[3].windowCaptures[0].url = onHeap(u"");
        rig.storage.save(sessions, day());
        const QByteArray written = readTestFile(rig.storage.filePath(day()));

        rig.tracker.startTracking();
        QCOMPARE(rig.tracker.todaySessions(), sessions);
        rig.tracker.stopTracking();
        QCOMPARE(readTestFile(rig.storage.filePath(day())), written);
    }

    // The save at quit and the periodic one alike; today's file is written from the compact form.
    void sessionsGoToTheFileOfTheDayTheyStarted_data() {
        QTest::addColumn<bool>("inBackground");
        QTest::newRow("at once") << false;
        QTest::newRow("on the writer thread") << true;
    }
    void sessionsGoToTheFileOfTheDayTheyStarted() {
        QFETCH(bool, inBackground);
        FakeClock clock(QDateTime(day(), QTime(23, 50)));
        Rig rig;
        rig.front.activate(rig.front.window(QStringLiteral("a"), QStringLiteral("A")));
        rig.tracker.startTracking();
        clock.set(QDateTime(day(), QTime(23, 55)));
        rig.front.activate(rig.front.window(QStringLiteral("b"), QStringLiteral("B")));
        clock.set(QDateTime(day().addDays(1), QTime(0, 5))); // B runs over midnight
        rig.front.activate(rig.front.window(QStringLiteral("c"), QStringLiteral("C")));
        clock.set(QDateTime(day().addDays(1), QTime(0, 7)));
        rig.front.activate(rig.front.window(QStringLiteral("d"), QStringLiteral("D")));
        QVERIFY(rig.tracker.sessionsStartedToday().size() == 1); // C; A and B belong to the day before

        if (inBackground) {
            rig.tracker.saveDataInBackground();
            rig.storage.waitForWrites();
        } else {
            rig.tracker.saveData();
        }
        QStringList earlier;
        for (const AppUsageSession& s : rig.stored(day())) {
            earlier << s.appName;
        }
        QCOMPARE(earlier, (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
        QCOMPARE(rig.stored(day().addDays(1)).size(), 1);
        QCOMPARE(rig.appsOfToday(), QStringList{QStringLiteral("C")}); // the earlier day left memory
        const QString today = usageday::key(day().addDays(1));
        QCOMPARE(readTestFile(rig.storage.filePath(day().addDays(1))),
                 (UsageDayFile{today, rig.tracker.todaySessions()}.toJson()));
        // Saving again does not write them twice.
        rig.tracker.saveData();
        QCOMPARE(rig.stored(day()).size(), 2);
        clock.advance(60);
        rig.tracker.stopTracking();
        QCOMPARE(rig.stored(day().addDays(1)).size(), 2);
    }

    void stopLeavesNothingThatOpensASession() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.front.activate(rig.front.window(QStringLiteral("a"), QStringLiteral("A")));
        rig.tracker.startTracking();
        rig.tracker.startTracking(); // a second start changes nothing
        clock.advance(60);
        rig.tracker.stopTracking();
        QVERIFY(!rig.front.isObserving());
        QVERIFY(!rig.tracker.currentSession().has_value());
        QCOMPARE(rig.stored(day()).size(), 1);
        // An activation after the stop (a late event) opens nothing.
        Q_EMIT rig.front.activated(rig.front.window(QStringLiteral("b"), QStringLiteral("B")));
        QVERIFY(!rig.tracker.currentSession().has_value());
        rig.tracker.stopTracking(); // a second stop changes nothing

        // Started again, it reads the day back and goes on.
        clock.advance(60);
        rig.tracker.startTracking();
        QCOMPARE(rig.tracker.todaySessions().size(), 1);
        QCOMPARE(rig.tracker.currentSession()->appName, QStringLiteral("A"));
        clock.advance(60);
        rig.tracker.stopTracking();
        QCOMPARE(rig.stored(day()).size(), 2);
    }

    void sessionsTakeTheTaskRunningWhenTheyStart() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.tracker.setCurrentClickUpTaskId(QStringLiteral("86abc"));
        rig.front.activate(rig.front.window(QStringLiteral("a"), QStringLiteral("A")));
        rig.tracker.startTracking();
        rig.tracker.setCurrentClickUpTaskId(std::nullopt);
        QCOMPARE(rig.tracker.currentSession()->clickUpTaskId, QStringLiteral("86abc"));
        clock.advance(60);
        rig.front.activate(rig.front.window(QStringLiteral("b"), QStringLiteral("B")));
        QCOMPARE(rig.tracker.currentSession()->clickUpTaskId, std::nullopt);
        rig.tracker.stopTracking();
    }

    void capturesAreRedactedBeforeTheyAreKept() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.deepContext.answer = DeepContext{
            QStringLiteral("https://auth.example.com/login?token=x"), QStringLiteral("Invoice 42"),
            QStringLiteral("Ann <ann@example.org>"), QStringLiteral("Inbox")};
        const FrontWindow browser = rig.front.window(QStringLiteral("firefox"), QStringLiteral("Firefox"),
                                                     QStringLiteral("Roadmap - Firefox"));
        rig.front.activate(browser);
        rig.tracker.startTracking();
        const WindowTitleCapture first = rig.tracker.currentSession()->windowCaptures.last();
        QCOMPARE(first.url, QStringLiteral("auth.example.com")); // a redacted address keeps its host
        QCOMPARE(first.emailSubject, std::nullopt);              // "invoice" is a title keyword
        QCOMPARE(first.emailSender, QStringLiteral("Ann <ann@example.org>"));

        // A redacted title keeps nothing: no address, no e-mail fields.
        rig.front.setTitle(browser.windowId, QStringLiteral("Bank login - Firefox"));
        const auto secret = *awaitTask(rig.accessibility.captureWindowTitle()).value;
        QVERIFY(secret.has_value());
        QVERIFY(secret->first.isRedacted);
        QCOMPARE(secret->first.title, QStringLiteral("[Redacted]"));
        QCOMPARE(secret->first.url, std::nullopt);
        QCOMPARE(secret->first.emailSender, std::nullopt);
        QCOMPARE(secret->first.emailMailbox, std::nullopt);

        // An unchanged title is captured again without asking for deep context.
        const int calls = rig.deepContext.calls;
        const auto again = *awaitTask(rig.accessibility.captureWindowTitle()).value;
        QCOMPARE(rig.deepContext.calls, calls);
        QCOMPARE(again->first.url, std::nullopt);
        rig.tracker.stopTracking();
    }

    // Deep context is awaited off the GUI thread's work: the capture arrives once it is known; one
    // begun before a stop is not delivered into the session of the next start.
    void capturesWaitForDeepContext() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.deepContext.delayMs = 50;
        rig.deepContext.answer = DeepContext{onHeap(u"https://docs.example.org/a"), {}, {}, {}};
        const FrontWindow browser = rig.front.window(QStringLiteral("firefox"), QStringLiteral("Firefox"),
                                                     QStringLiteral("Docs - Mozilla Firefox"));
        rig.front.activate(browser);
        rig.tracker.startTracking();
        QVERIFY(rig.tracker.currentSession()->windowCaptures.isEmpty()); // still asking
        QTRY_COMPARE(rig.tracker.currentSession()->windowCaptures.size(), 2);
        QCOMPARE(rig.tracker.currentSession()->windowCaptures[0].url,
                 QStringLiteral("https://docs.example.org/a"));

        rig.accessibility.captureWindowTitle(FrontApplication::from(browser)); // still waiting at the stop
        rig.tracker.stopTracking();
        rig.tracker.startTracking();
        QTest::qWait(200);
        QCOMPARE(rig.tracker.currentSession()->windowCaptures.size(), 2); // the start's two, not three
        rig.tracker.stopTracking();
    }

    // A browser that does not know the tab yet (Firefox saves it some seconds later) is asked again on
    // the next capture; once it answered, an unchanged title is not asked about again.
    void titlesWithoutContextAreAskedAgain() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.front.activate(rig.front.window(QStringLiteral("firefox"), QStringLiteral("Firefox"),
                                            QStringLiteral("New - Mozilla Firefox")));
        auto capture = [&rig] { return *awaitTask(rig.accessibility.captureWindowTitle()).value; };
        QCOMPARE(capture()->first.url, std::nullopt);
        QCOMPARE(capture()->first.url, std::nullopt);
        QCOMPARE(rig.deepContext.calls, 2);
        rig.deepContext.answer = DeepContext{onHeap(u"https://new.example.org/"), {}, {}, {}};
        QCOMPARE(capture()->first.url, QStringLiteral("https://new.example.org/"));
        QCOMPARE(capture()->first.url, std::nullopt);
        QCOMPARE(rig.deepContext.calls, 3);
    }

    // Titles of any size and any bytes pass through capture, redaction, save and reload; tracking
    // goes on.
    void oddTitlesDoNotStopTracking_data() {
        QTest::addColumn<QString>("title");
        QTest::newRow("100 KB") << QString(100 * 1024, u'a');
        QTest::newRow("100 KB with a keyword at the end") << QString(100 * 1024, u'b') + u"password"_s;
        QTest::newRow("invalid UTF-8") << QString::fromUtf8("\xff\xfe Budget \xc3\x28 \xed\xa0\x80");
        QTest::newRow("lone surrogate") << QString(QChar(0xD800)) + u" half"_s;
        QTest::newRow("control characters") << QString::fromUtf8("a\x01\x1b[31m\tb\n\r") + QChar(0);
    }

    void oddTitlesDoNotStopTracking() {
        QFETCH(QString, title);
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.deepContext.answer = DeepContext{onHeap(u"https://x.example/"), {}, {}, {}};
        rig.front.activate(rig.front.window(QStringLiteral("firefox"), QStringLiteral("Firefox"), title));
        rig.tracker.startTracking();
        rig.accessibility.captureWindowTitle(FrontApplication::from(*rig.front.frontmostWindow()));
        QCOMPARE(rig.tracker.currentSession()->windowCaptures.size(), 2);
        clock.advance(60);
        rig.front.activate(rig.front.window(QStringLiteral("b"), QStringLiteral("B"), QStringLiteral("b")));
        clock.advance(60);
        rig.tracker.stopTracking();
        const QList<AppUsageSession> stored = rig.stored(day());
        QCOMPARE(stored.size(), 2);
        QCOMPARE(stored[0].windowCaptures.size(), 2);
        QCOMPARE(stored[0].windowCaptures[0].isRedacted, title.contains(u"password"_s));
        rig.tracker.startTracking(); // reads the day back
        QCOMPARE(rig.tracker.todaySessions().size(), 2);
        rig.tracker.stopTracking();
    }

    void noTitlesNoCapture() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        rig.front.setTitlesReadable(false);
        rig.front.activate(
            rig.front.window(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("Title")));
        OutputCapture out;
        rig.tracker.startTracking();
        QVERIFY(out.text().contains(QStringLiteral(
            "WindowTitleCaptureService: No permission for window title capture - prompting user")));
        QVERIFY(!rig.accessibility.isCapturing());
        QVERIFY(rig.tracker.currentSession()->windowCaptures.isEmpty());
        rig.tracker.stopTracking();

        Rig off;
        off.settings.setIsWindowTitleTrackingEnabled(false);
        off.front.activate(
            off.front.window(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("Title")));
        off.tracker.startTracking();
        QCOMPARE(off.front.titleReads(), 0);
        off.tracker.stopTracking();
    }

    void summariesOfStoredDays() {
        FakeClock clock(at(QStringLiteral("09:00")));
        Rig rig;
        QCOMPARE(rig.tracker.getSummary(day()), std::nullopt);
        rig.storage.save(
            {session(QStringLiteral("a"), QStringLiteral("A"), at(QStringLiteral("08:00")),
                     at(QStringLiteral("08:30"))),
             session(QStringLiteral("b"), QStringLiteral("B"), at(QStringLiteral("08:00")).addDays(-1),
                     at(QStringLiteral("08:30")).addDays(-1))},
            day());
        const std::optional<DailyUsageSummary> summary = rig.tracker.getSummary(day());
        QVERIFY(summary.has_value());
        QCOMPARE(summary->sessions.size(), 1);
        rig.storage.save({}, day().addDays(-2));
        QCOMPARE(rig.tracker.getSummary(day().addDays(-2)), std::nullopt);
    }
};

PENDLOW_TEST_MAIN(AppUsageTracking)
#include "tst_AppUsageTracking.moc"
