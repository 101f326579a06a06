// Deep context: which desktop source each application is asked through, the mail clients' window
// titles, and that addresses and subjects reach the log only redacted and shortened.
#include "support/TestMain.h"

#include "platform/BrowserTabSource.h"
#include "services/forwarding/MailClientSubjects.h"
#include "services/usage/DeepContextService.h"
#include "services/usage/PrivacyRedaction.h"
#include "support/FakeTabSource.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestSettings.h"

using namespace Qt::StringLiterals;

namespace {
struct Rig {
    TestSettings settings;
    PrivacyRedaction privacy{settings};
    FakeTabSource firefox{u"Firefox"_s};
    FakeTabSource chromium{u"Chromium"_s};
    MailClientSubjects mail;
    DeepContextService service{settings, privacy, {&firefox, &chromium, &mail}};

    std::optional<DeepContext> context(const QString& appId, const QString& title = {}) {
        TaskOutcome<std::optional<DeepContext>> outcome =
            awaitTask(service.getContext(onHeap(appId), onHeap(title)));
        return outcome.value ? *outcome.value : std::nullopt;
    }
};

std::optional<QString> none() {
    return std::nullopt;
}
} // namespace

Q_DECLARE_METATYPE(std::optional<QString>)

class DeepContextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each application is asked through its own source, and only through it: Firefox through its
    // session file, the Chromium family through its session files (the same source for the catalogue's
    // other browsers), the mail clients through their window titles; Safari and Apple Mail have no
    // source on this desktop.
    void dispatch_data() {
        QTest::addColumn<QString>("appId");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("chromiumUrl");
        QTest::addColumn<QString>("asked"); // which tab source got the title: firefox, chromium or none
        QTest::addColumn<std::optional<DeepContext>>("expected");

        const QString chromePage = u"https://c.example.org/x"_s;
        QTest::newRow("Firefox: its session file")
            << u"org.mozilla.firefox"_s << u"A — Mozilla Firefox"_s << chromePage << u"firefox"_s
            << std::optional<DeepContext>(DeepContext{u"https://ff.example.org/"_s, none(), none(), none()});
        QTest::newRow("Chrome: the Chromium source")
            << u"com.google.Chrome"_s << u"C - Google Chrome"_s << chromePage << u"chromium"_s
            << std::optional<DeepContext>(DeepContext{chromePage, none(), none(), none()});
        QTest::newRow("Brave: the Chromium source")
            << u"com.brave.Browser"_s << u"C - Brave"_s << chromePage << u"chromium"_s
            << std::optional<DeepContext>(DeepContext{chromePage, none(), none(), none()});
        QTest::newRow("Chrome tab without address")
            << u"com.google.Chrome"_s << u"New Tab - Google Chrome"_s << QString() << u"chromium"_s
            << std::optional<DeepContext>();
        QTest::newRow("Safari: nothing to ask")
            << u"com.apple.Safari"_s << u"S"_s << chromePage << u"none"_s << std::optional<DeepContext>();
        QTest::newRow("Mail: nothing to ask") << u"com.apple.mail"_s << u"Hello - Inbox"_s << chromePage
                                              << u"none"_s << std::optional<DeepContext>();
        QTest::newRow("Spark title") << u"com.readdle.smartemail"_s << u"Invoice 42 - Spark"_s << chromePage
                                     << u"none"_s
                                     << std::optional<DeepContext>(
                                            DeepContext{none(), u"Invoice 42"_s, none(), none()});
        QTest::newRow("Spark Desktop title")
            << u"com.readdle.SparkDesktop"_s << u"Re: a - Spark - Spark"_s << chromePage << u"none"_s
            << std::optional<DeepContext>(DeepContext{none(), u"Re: a - Spark"_s, none(), none()});
        QTest::newRow("Spark Desktop bare name") << u"com.readdle.SparkDesktop"_s << u"Spark Desktop"_s
                                                 << chromePage << u"none"_s << std::optional<DeepContext>();
        QTest::newRow("Spark Desktop without title")
            << u"com.readdle.SparkDesktop"_s << QString() << chromePage << u"none"_s
            << std::optional<DeepContext>();
        QTest::newRow("Thunderbird title")
            << u"org.mozilla.thunderbird"_s << u"Re: Plan for May - Mozilla Thunderbird"_s << chromePage
            << u"none"_s
            << std::optional<DeepContext>(DeepContext{none(), u"Re: Plan for May"_s, none(), none()});
        QTest::newRow("Thunderbird folder view")
            << u"org.mozilla.thunderbird"_s << u"Inbox - Local Folders - Mozilla Thunderbird"_s << chromePage
            << u"none"_s << std::optional<DeepContext>();
        QTest::newRow("Evolution title")
            << u"org.gnome.Evolution"_s << u"Quarterly numbers - Evolution"_s << chromePage << u"none"_s
            << std::optional<DeepContext>(DeepContext{none(), u"Quarterly numbers"_s, none(), none()});
        QTest::newRow("Geary title") << u"org.gnome.Geary"_s << u"Lunch? — Geary"_s << chromePage << u"none"_s
                                     << std::optional<DeepContext>(
                                            DeepContext{none(), u"Lunch?"_s, none(), none()});
        QTest::newRow("other application") << u"org.gnome.gedit"_s << u"notes.txt"_s << chromePage
                                           << u"none"_s << std::optional<DeepContext>();
    }

    void dispatch() {
        QFETCH(QString, appId);
        QFETCH(QString, title);
        QFETCH(QString, chromiumUrl);
        QFETCH(QString, asked);
        QFETCH(std::optional<DeepContext>, expected);
        Rig rig;
        rig.firefox.answer = BrowserTab{u"https://ff.example.org/"_s, u"A"_s, QString()};
        rig.chromium.answer = BrowserTab{chromiumUrl, u"C"_s, QString()};
        QCOMPARE(rig.context(appId, title), expected);
        QCOMPARE(rig.firefox.askedTitles, asked == u"firefox"_s ? QStringList{title} : QStringList());
        QCOMPARE(rig.chromium.askedTitles, asked == u"chromium"_s ? QStringList{title} : QStringList());
    }

    // A source that finds nothing gives none, with its reason in the log.
    void sourceProblemIsLogged() {
        Rig rig;
        rig.chromium.answer = BrowserTab::failure(u"no port"_s);
        LogCapture log(LogCapture::Verbosity::debug);
        QCOMPARE(rig.context(u"com.google.Chrome"_s, u"C"_s), std::nullopt);
        QVERIFY2(log.contains(u"[DeepContext] Google Chrome: no port"_s),
                 qPrintable(log.lines().join(u'\n')));
        QVERIFY(log.contains(u"[DeepContext] Failed to get URL from browser"_s));
        QCOMPARE(rig.context(u"org.mozilla.thunderbird"_s, u"Inbox - Local Folders - Mozilla Thunderbird"_s),
                 std::nullopt);
        QVERIFY(log.contains(u"[DeepContext] Failed to get email context"_s));
    }

    void switchedOffRunsNothing() {
        Rig rig;
        rig.settings.setIsDeepContextEnabled(false);
        rig.chromium.answer = BrowserTab{u"https://a.example.org/"_s, u"A"_s, QString()};
        LogCapture log(LogCapture::Verbosity::debug);
        QCOMPARE(rig.context(u"com.google.Chrome"_s, u"A"_s), std::nullopt);
        QCOMPARE(rig.context(u"org.mozilla.firefox"_s, u"A"_s), std::nullopt);
        QVERIFY(rig.chromium.askedTitles.isEmpty());
        QVERIFY(rig.firefox.askedTitles.isEmpty());
        QCOMPARE(log.lines(), (QStringList{u"[DeepContext] Feature disabled in settings"_s,
                                           u"[DeepContext] Feature disabled in settings"_s}));
    }

    // The log never holds a whole address or a subject the privacy rules hide.
    void addressesAndSubjectsAreLoggedRedacted() {
        Rig rig;
        LogCapture log(LogCapture::Verbosity::debug);
        rig.chromium.answer =
            BrowserTab{u"https://docs.example.org/d/plan?token=s3cr3t#x"_s, u"D"_s, QString()};
        QCOMPARE(rig.context(u"com.google.Chrome"_s, u"D"_s)->url,
                 u"https://docs.example.org/d/plan?token=s3cr3t#x"_s);
        rig.chromium.answer = BrowserTab{u"https://auth.example.com/cb?code=abc"_s, u"E"_s, QString()};
        rig.context(u"com.google.Chrome"_s, u"E"_s);
        QCOMPARE(rig.context(u"org.mozilla.thunderbird"_s, u"Your password reset - Mozilla Thunderbird"_s)
                     ->emailSubject,
                 u"Your password reset"_s);
        rig.context(u"com.readdle.smartemail"_s, u"A rather long subject line about the roadmap - Spark"_s);

        const QString all = log.lines().join(u'\n');
        QVERIFY2(log.contains(u"[DeepContext] Got URL: https://docs.example.org/…"_s), qPrintable(all));
        QVERIFY(log.contains(u"[DeepContext] Got URL: auth.example.com [Redacted]"_s));
        QVERIFY(log.contains(u"[DeepContext] Got email context - subject: [Redacted], sender: nil"_s));
        QVERIFY(log.contains(
            u"[DeepContext] Got email context - subject: A rather long subject li…, sender: nil"_s));
        for (const QString& secret :
             {u"token"_s, u"s3cr3t"_s, u"code=abc"_s, u"password"_s, u"roadmap"_s, u"/d/plan"_s}) {
            QVERIFY2(!all.contains(secret), qPrintable(secret));
        }
    }
};

PENDLOW_TEST_MAIN(DeepContextTest)
#include "tst_DeepContext.moc"
