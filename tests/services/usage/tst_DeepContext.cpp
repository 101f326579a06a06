// Deep context: which script or desktop source each application is asked through, the exact script
// texts, how script failures are read and logged, the Chrome check, the mail clients' window titles,
// and that addresses and subjects reach the log only redacted and shortened.
#include "support/TestMain.h"

#include "platform/BrowserTabSource.h"
#include "services/forwarding/MailClientSubjects.h"
#include "services/usage/DeepContextService.h"
#include "services/usage/LinuxScriptRunner.h"
#include "services/usage/PrivacyRedaction.h"
#include "services/usage/ScriptRunner.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestSettings.h"

using namespace Qt::StringLiterals;

namespace {
class FakeScriptRunner : public ScriptRunner {
public:
    ScriptOutcome run(const QString& script) override {
        scripts.append(script);
        return outcome;
    }
    QStringList runningAppIds() override { return running; }

    QStringList scripts;
    ScriptOutcome outcome = ScriptOutcome::returned(std::nullopt);
    QStringList running;
};

class FakeTabSource : public BrowserTabSource {
public:
    explicit FakeTabSource(QString name)
        : m_name(std::move(name)) {}
    QString browserName() const override { return m_name; }
    QCoro::Task<BrowserTab> activeTab(QString windowTitle) override {
        askedTitles.append(windowTitle);
        co_return BrowserTab(answer);
    }

    BrowserTab answer = BrowserTab::failure(u"nothing"_s);
    QStringList askedTitles;

private:
    QString m_name;
};

struct Rig {
    TestSettings settings;
    PrivacyRedaction privacy{settings};
    FakeScriptRunner scripts;
    FakeTabSource firefox{u"Firefox"_s};
    FakeTabSource chromium{u"Chromium"_s};
    MailClientSubjects mail;
    DeepContextService service{settings, scripts, privacy, {&firefox, &chromium, &mail}};

    std::optional<DeepContext> context(const QString& appId, const QString& title = {}) {
        TaskOutcome<std::optional<DeepContext>> outcome =
            awaitTask(service.getContext(onHeap(appId), onHeap(title)));
        return outcome.value ? *outcome.value : std::nullopt;
    }
};

std::optional<QString> none() {
    return std::nullopt;
}

// The texts as the applications expect them, written out line by line.
const char16_t* const chromeActiveTab = uR"(tell application "Google Chrome"
    try
        if (count of windows) > 0 then
            return URL of active tab of front window
        end if
    on error
        return ""
    end try
end tell)";

const char16_t* const safariFrontDocument = uR"(tell application "Safari"
    try
        if (count of documents) > 0 then
            return URL of front document
        end if
    on error
        return ""
    end try
end tell)";

const char16_t* const sparkSelection = uR"(tell application "Spark"
    try
        set theSelection to selection
        if (count of theSelection) > 0 then
            set theMessage to item 1 of theSelection
            set theSubject to subject of theMessage
            set theSender to sender of theMessage
            -- Return as delimited string: subject|||sender
            return theSubject & "|||" & theSender
        end if
    on error errMsg
        -- Fallback: try to get just subject
        try
            set theSelection to selection
            if (count of theSelection) > 0 then
                return subject of item 1 of theSelection & "|||"
            end if
        on error
            return ""
        end try
    end try
end tell)";

const char16_t* const mailSelection = uR"(tell application "Mail"
    try
        set theSelection to selection
        if (count of theSelection) > 0 then
            set theMessage to item 1 of theSelection
            set theSubject to subject of theMessage
            set theSender to sender of theMessage
            set theMailbox to name of mailbox of theMessage
            -- Return as delimited string: subject|||sender|||mailbox
            return theSubject & "|||" & theSender & "|||" & theMailbox
        end if
    on error
        return ""
    end try
end tell)";

const char16_t* const sparkDesktopTitle = uR"(tell application "System Events"
    tell process "Spark Desktop"
        try
            -- Just get window title - this is fast and often contains email subject
            set winTitle to name of front window
            if winTitle is not missing value and winTitle is not "" then
                return winTitle
            end if
            return ""
        on error
            return ""
        end try
    end tell
end tell)";

const char16_t* const chromeCheckScript = uR"(tell application "Google Chrome"
    try
        if (count of windows) > 0 then
            return URL of active tab of front window
        else
            return "NO_WINDOW"
        end if
    on error errMsg
        return "ERROR:" & errMsg
    end try
end tell)";
} // namespace

Q_DECLARE_METATYPE(std::optional<QString>)

class DeepContextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void scriptTexts_data() {
        QTest::addColumn<QString>("appId");
        QTest::addColumn<QString>("script");
        QTest::newRow("Chromium family: active tab")
            << u"com.google.Chrome"_s << QString::fromUtf16(chromeActiveTab);
        QTest::newRow("Brave: its own name")
            << u"com.brave.Browser"_s
            << QString::fromUtf16(chromeActiveTab).replace(u"Google Chrome"_s, u"Brave Browser"_s);
        QTest::newRow("Safari: front document")
            << u"com.apple.Safari"_s << QString::fromUtf16(safariFrontDocument);
        QTest::newRow("Spark: selection")
            << u"com.readdle.smartemail-setapp"_s << QString::fromUtf16(sparkSelection);
        QTest::newRow("Mail") << u"com.apple.mail"_s << QString::fromUtf16(mailSelection);
        QTest::newRow("Spark Desktop: System Events")
            << u"com.readdle.SparkDesktop.appstore"_s << QString::fromUtf16(sparkDesktopTitle);
    }

    void scriptTexts() {
        QFETCH(QString, appId);
        QFETCH(QString, script);
        Rig rig;
        rig.context(appId);
        QVERIFY(!rig.scripts.scripts.isEmpty());
        QCOMPARE(rig.scripts.scripts.first(), script);
        QVERIFY(!script.endsWith(u'\n'));
    }

    void dispatch_data() {
        QTest::addColumn<QString>("appId");
        QTest::addColumn<QString>("title");
        QTest::addColumn<std::optional<QString>>("scriptAnswer");
        QTest::addColumn<int>("scriptsRun");
        QTest::addColumn<std::optional<DeepContext>>("expected");

        const DeepContext pageA{u"https://a.example.org/x"_s, none(), none(), none()};
        QTest::newRow("Chrome answers its script")
            << u"com.google.Chrome"_s << u"A - Google Chrome"_s
            << std::optional<QString>(u"https://a.example.org/x"_s) << 1 << std::optional<DeepContext>(pageA);
        QTest::newRow("Chrome window without tab")
            << u"com.google.Chrome"_s << QString() << std::optional<QString>(u""_s) << 1
            << std::optional<DeepContext>();
        QTest::newRow("Firefox: no script, its session file")
            << u"org.mozilla.firefox"_s << u"A — Mozilla Firefox"_s << std::optional<QString>(u"unused"_s)
            << 0
            << std::optional<DeepContext>(DeepContext{u"https://ff.example.org/"_s, none(), none(), none()});
        QTest::newRow("Mail: subject, sender, mailbox")
            << u"com.apple.mail"_s << QString() << std::optional<QString>(u"Hello|||Ann|||Inbox"_s) << 1
            << std::optional<DeepContext>(DeepContext{none(), u"Hello"_s, u"Ann"_s, u"Inbox"_s});
        QTest::newRow("Spark: subject only (fallback answer)")
            << u"com.readdle.smartemail"_s << QString() << std::optional<QString>(u"Hello|||"_s) << 1
            << std::optional<DeepContext>(DeepContext{none(), u"Hello"_s, none(), none()});
        QTest::newRow("Spark: empty parts still answer")
            << u"com.readdle.smartemail"_s << QString() << std::optional<QString>(u"|||"_s) << 1
            << std::optional<DeepContext>(DeepContext{});
        QTest::newRow("Spark Desktop title")
            << u"com.readdle.SparkDesktop"_s << QString() << std::optional<QString>(u"Invoice 42 - Spark"_s)
            << 1 << std::optional<DeepContext>(DeepContext{none(), u"Invoice 42"_s, none(), none()});
        QTest::newRow("Spark Desktop bare name")
            << u"com.readdle.SparkDesktop"_s << QString() << std::optional<QString>(u"Spark Desktop"_s) << 1
            << std::optional<DeepContext>();
        QTest::newRow("Thunderbird title")
            << u"org.mozilla.thunderbird"_s << u"Re: Plan for May - Mozilla Thunderbird"_s << none() << 0
            << std::optional<DeepContext>(DeepContext{none(), u"Re: Plan for May"_s, none(), none()});
        QTest::newRow("Thunderbird folder view")
            << u"org.mozilla.thunderbird"_s << u"Inbox - Local Folders - Mozilla Thunderbird"_s << none() << 0
            << std::optional<DeepContext>();
        QTest::newRow("Evolution title")
            << u"org.gnome.Evolution"_s << u"Quarterly numbers - Evolution"_s << none() << 0
            << std::optional<DeepContext>(DeepContext{none(), u"Quarterly numbers"_s, none(), none()});
        QTest::newRow("Geary title") << u"org.gnome.Geary"_s << u"Lunch? — Geary"_s << none() << 0
                                     << std::optional<DeepContext>(
                                            DeepContext{none(), u"Lunch?"_s, none(), none()});
        QTest::newRow("other application")
            << u"org.gnome.gedit"_s << u"notes.txt"_s << std::optional<QString>(u"x"_s) << 0
            << std::optional<DeepContext>();
    }

    void dispatch() {
        QFETCH(QString, appId);
        QFETCH(QString, title);
        QFETCH(std::optional<QString>, scriptAnswer);
        QFETCH(std::optional<DeepContext>, expected);
        Rig rig;
        rig.scripts.outcome = ScriptOutcome::returned(scriptAnswer);
        rig.firefox.answer = BrowserTab{u"https://ff.example.org/"_s, u"A"_s, QString()};
        QCOMPARE(rig.context(appId, title), expected);
        QTEST(int(rig.scripts.scripts.size()), "scriptsRun");
    }

    // Without scripts (this desktop) the Chromium family is read from its DevTools endpoint and Spark
    // from its window title.
    void desktopSourcesStandInForScripts() {
        Rig rig;
        LinuxScriptRunner linux;
        DeepContextService service{
            rig.settings, linux, rig.privacy, {&rig.firefox, &rig.chromium, &rig.mail}};
        rig.chromium.answer = BrowserTab{u"https://c.example.org/"_s, u"C"_s, QString()};
        const std::optional<DeepContext> chrome =
            *awaitTask(service.getContext(onHeap(u"com.google.Chrome"), onHeap(u"C - Chromium"))).value;
        QCOMPARE(chrome, (DeepContext{u"https://c.example.org/"_s, none(), none(), none()}));
        QCOMPARE(rig.chromium.askedTitles, QStringList{u"C - Chromium"_s});
        // Safari has no stand-in.
        QCOMPARE(*awaitTask(service.getContext(onHeap(u"com.apple.Safari"), onHeap(u"S"))).value,
                 std::nullopt);
        const std::optional<DeepContext> spark =
            *awaitTask(service.getContext(onHeap(u"com.readdle.smartemail"), onHeap(u"Invoice 42 - Spark")))
                 .value;
        QCOMPARE(spark, (DeepContext{none(), u"Invoice 42"_s, none(), none()}));
        // Not found anywhere: none, and the source's reason in the log.
        LogCapture log(LogCapture::Verbosity::debug);
        rig.chromium.answer = BrowserTab::failure(u"no port"_s);
        QCOMPARE(*awaitTask(service.getContext(onHeap(u"com.google.Chrome"), onHeap(u"C"))).value,
                 std::nullopt);
        QVERIFY2(log.contains(u"[DeepContext] Application not found"_s), qPrintable(log.lines().join(u'\n')));
        QVERIFY(log.contains(u"[DeepContext] Google Chrome: no port"_s));
        QVERIFY(log.contains(u"[DeepContext] Failed to get URL from browser"_s));
    }

    void switchedOffRunsNothing() {
        Rig rig;
        rig.settings.setIsDeepContextEnabled(false);
        rig.scripts.outcome = ScriptOutcome::returned(u"https://a.example.org/"_s);
        LogCapture log(LogCapture::Verbosity::debug);
        QCOMPARE(rig.context(u"com.google.Chrome"_s), std::nullopt);
        QCOMPARE(rig.context(u"org.mozilla.firefox"_s), std::nullopt);
        QVERIFY(rig.scripts.scripts.isEmpty());
        QVERIFY(rig.firefox.askedTitles.isEmpty());
        QCOMPARE(log.lines(), (QStringList{u"[DeepContext] Feature disabled in settings"_s,
                                           u"[DeepContext] Feature disabled in settings"_s}));
    }

    void scriptFailures_data() {
        QTest::addColumn<bool>("compiled");
        QTest::addColumn<std::optional<int>>("number");
        QTest::addColumn<std::optional<QString>>("message");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("logged");
        const auto error = int(Log::Level::error);
        const auto debug = int(Log::Level::debug);
        QTest::newRow("not compiled")
            << false << std::optional<int>() << none() << error << u"Failed to create AppleScript"_s;
        QTest::newRow("-1743")
            << true << std::optional<int>(-1743) << none() << error
            << u"Automation permission denied - grant in System Settings > Privacy > Automation"_s;
        QTest::newRow("-1712") << true << std::optional<int>(-1712) << none() << error
                               << u"AppleScript timed out"_s;
        QTest::newRow("-1728") << true << std::optional<int>(-1728) << none() << debug
                               << u"App not running or no window open"_s;
        QTest::newRow("-609") << true << std::optional<int>(-609) << none() << debug
                              << u"Connection invalid - app may have quit"_s;
        QTest::newRow("-600") << true << std::optional<int>(-600) << none() << debug
                              << u"Application not found"_s;
        QTest::newRow("other") << true << std::optional<int>(-2700) << std::optional<QString>(u"Oops"_s)
                               << debug << u"AppleScript error -2700: Oops"_s;
        QTest::newRow("no number, no message")
            << true << std::optional<int>() << none() << debug << u"AppleScript error 0: Unknown error"_s;
    }

    void scriptFailures() {
        QFETCH(bool, compiled);
        QFETCH(std::optional<int>, number);
        QFETCH(std::optional<QString>, message);
        QFETCH(int, level);
        QFETCH(QString, logged);
        Rig rig;
        rig.scripts.outcome =
            compiled ? ScriptOutcome::failed(number, message) : ScriptOutcome::notCompiled();
        LogCapture log(LogCapture::Verbosity::debug);
        QCOMPARE(rig.context(u"com.apple.Safari"_s), std::nullopt);
        const QStringList atLevel = log.lines(Log::Level(level));
        QVERIFY2(atLevel.contains(u"[DeepContext] "_s + logged), qPrintable(log.lines().join(u'\n')));
        QVERIFY(log.contains(u"[DeepContext] Failed to get URL from browser"_s));
    }

    void chromeCheck_data() {
        QTest::addColumn<bool>("running");
        QTest::addColumn<int>("kind"); // 0 answer, 1 error, 2 not compiled
        QTest::addColumn<std::optional<QString>>("answer");
        QTest::addColumn<std::optional<int>>("number");
        QTest::addColumn<bool>("success");
        QTest::addColumn<std::optional<QString>>("url");
        QTest::addColumn<std::optional<QString>>("error");
        const std::optional<int> noNumber;
        QTest::newRow("not running") << false << 0 << none() << noNumber << false << none()
                                     << std::optional<QString>(u"Chrome is not running"_s);
        QTest::newRow("address") << true << 0 << std::optional<QString>(u"https://x.example/"_s) << noNumber
                                 << true << std::optional<QString>(u"https://x.example/"_s) << none();
        QTest::newRow("empty address is success") << true << 0 << std::optional<QString>(u""_s) << noNumber
                                                  << true << std::optional<QString>(u""_s) << none();
        QTest::newRow("no window") << true << 0 << std::optional<QString>(u"NO_WINDOW"_s) << noNumber << false
                                   << none() << std::optional<QString>(u"Chrome has no open windows"_s);
        QTest::newRow("script error text") << true << 0 << std::optional<QString>(u"ERROR:oops"_s) << noNumber
                                           << false << none() << std::optional<QString>(u"oops"_s);
        QTest::newRow("no result") << true << 0 << none() << noNumber << false << none()
                                   << std::optional<QString>(u"No result from Chrome"_s);
        QTest::newRow("permission")
            << true << 1 << none() << std::optional<int>(-1743) << false << none()
            << std::optional<QString>(
                   u"Automation permission denied. Grant in System Settings > Privacy & Security > Automation"_s);
        QTest::newRow("other error") << true << 1 << none() << std::optional<int>(-1728) << false << none()
                                     << std::optional<QString>(u"Error -1728: Unknown error"_s);
        QTest::newRow("not compiled") << true << 2 << none() << noNumber << false << none()
                                      << std::optional<QString>(u"Failed to create AppleScript"_s);
    }

    void chromeCheck() {
        QFETCH(bool, running);
        QFETCH(int, kind);
        QFETCH(std::optional<QString>, answer);
        QFETCH(std::optional<int>, number);
        QFETCH(bool, success);
        QFETCH(std::optional<QString>, url);
        QFETCH(std::optional<QString>, error);
        Rig rig;
        if (running) {
            rig.scripts.running = {u"com.apple.finder"_s, u"com.google.Chrome"_s};
        }
        rig.scripts.outcome = kind == 0   ? ScriptOutcome::returned(answer)
                              : kind == 1 ? ScriptOutcome::failed(number, std::nullopt)
                                          : ScriptOutcome::notCompiled();
        QCOMPARE(rig.service.getChromeURL(), (DeepContextService::ChromeURLResult{success, url, error}));
        if (running) {
            QCOMPARE(rig.scripts.scripts, QStringList{QString::fromUtf16(chromeCheckScript)});
        } else {
            QVERIFY(rig.scripts.scripts.isEmpty());
        }
    }

    // The log never holds a whole address or a subject the privacy rules hide.
    void addressesAndSubjectsAreLoggedRedacted() {
        Rig rig;
        LogCapture log(LogCapture::Verbosity::debug);
        rig.scripts.outcome = ScriptOutcome::returned(u"https://docs.example.org/d/plan?token=s3cr3t#x"_s);
        QCOMPARE(rig.context(u"com.google.Chrome"_s)->url,
                 u"https://docs.example.org/d/plan?token=s3cr3t#x"_s);
        rig.scripts.outcome = ScriptOutcome::returned(u"https://auth.example.com/cb?code=abc"_s);
        rig.context(u"com.google.Chrome"_s);
        rig.scripts.outcome =
            ScriptOutcome::returned(u"Your password reset|||Ann Lee <ann@example.org>|||Inbox"_s);
        QCOMPARE(rig.context(u"com.apple.mail"_s)->emailSubject, u"Your password reset"_s);
        rig.scripts.outcome =
            ScriptOutcome::returned(u"A rather long subject line about the roadmap|||Bo <bo@example.org>"_s);
        rig.context(u"com.readdle.smartemail"_s);

        const QString all = log.lines().join(u'\n');
        QVERIFY2(log.contains(u"[DeepContext] Got URL: https://docs.example.org/…"_s), qPrintable(all));
        QVERIFY(log.contains(u"[DeepContext] Got URL: auth.example.com [Redacted]"_s));
        QVERIFY(log.contains(u"[DeepContext] Got email context - subject: [Redacted], sender: Ann Lee"_s));
        QVERIFY(log.contains(
            u"[DeepContext] Got email context - subject: A rather long subject li…, sender: Bo"_s));
        for (const QString& secret : {u"token"_s, u"s3cr3t"_s, u"code=abc"_s, u"password"_s, u"roadmap"_s,
                                      u"ann@example.org"_s, u"/d/plan"_s}) {
            QVERIFY2(!all.contains(secret), qPrintable(secret));
        }
    }
};

PENDLOW_TEST_MAIN(DeepContextTest)
#include "tst_DeepContext.moc"
