// Usage records: the day-file form, reading failures, durations, and the per-capture context rules.
#include "support/TestMain.h"

#include "core/DecodingError.h"
#include "services/usage/UsageDay.h"
#include "services/usage/UsageDayFile.h"
#include "support/FakeClock.h"
#include "support/UsageSamples.h"

using namespace usagesamples;

namespace {
const QUuid kSessionId = QUuid::fromString(QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e"));
const QUuid kCaptureId = QUuid::fromString(QStringLiteral("7c9e6679-7425-40de-944b-e07fc1f90ae7"));

QDateTime utc(const QString& text) {
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

// A valid file with one session and one capture; tests break one piece of it.
QByteArray validFile() {
    return "{\"date\":\"2025-03-14\",\"sessions\":[{\"id\":\"0F8FAD5B-D9CB-469F-A165-70867728950E\","
           "\"bundleIdentifier\":\"org.mozilla.firefox\",\"appName\":\"Firefox\",\"startTime\":\"2025-03-"
           "14T08:00:00Z\","
           "\"endTime\":\"2025-03-14T08:30:00Z\",\"windowCaptures\":[{\"id\":\"7C9E6679-7425-40DE-944B-"
           "E07FC1F90AE7\","
           "\"title\":\"Docs\",\"capturedAt\":\"2025-03-14T08:05:09Z\",\"isRedacted\":false}]}]}";
}
} // namespace

class UsageRecords : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void writesEveryFieldInOrderWithUpperCaseIdsAndWholeSeconds() {
        AppUsageSession session =
            usagesamples::session(QStringLiteral("com.google.Chrome"), QStringLiteral("Google Chrome"),
                                  utc(QStringLiteral("2025-03-14T08:00:00.750Z")),
                                  utc(QStringLiteral("2025-03-14T08:30:00Z")), QStringLiteral("86abc"));
        session.id = kSessionId;
        WindowTitleCapture capture = usagesamples::capture(QStringLiteral("Docs \"quoted\" - Chrome"),
                                                           utc(QStringLiteral("2025-03-14T08:05:09.999Z")),
                                                           QStringLiteral("https://example.org/a"));
        capture.id = kCaptureId;
        capture.emailSubject = QStringLiteral("Re: plan");
        capture.emailSender = QStringLiteral("Ann <ann@example.org>");
        capture.emailMailbox = QStringLiteral("Inbox");
        session.addCapture(capture);
        session.projectContext = QStringLiteral("example.org: Docs \"quoted\"");

        const QByteArray json = UsageDayFile{QStringLiteral("2025-03-14"), {session}}.toJson();
        QCOMPARE(
            json,
            QByteArray(
                "{\"date\":\"2025-03-14\",\"sessions\":[{\"id\":\"0F8FAD5B-D9CB-469F-A165-70867728950E\","
                "\"bundleIdentifier\":\"com.google.Chrome\",\"appName\":\"Google Chrome\","
                "\"startTime\":\"2025-03-14T08:00:00Z\",\"endTime\":\"2025-03-14T08:30:00Z\","
                "\"clickUpTaskId\":\"86abc\",\"windowTitles\":[\"Docs \\\"quoted\\\" - Chrome\"],"
                "\"windowCaptures\":[{\"id\":\"7C9E6679-7425-40DE-944B-E07FC1F90AE7\","
                "\"title\":\"Docs \\\"quoted\\\" - Chrome\",\"capturedAt\":\"2025-03-14T08:05:09Z\","
                "\"isRedacted\":false,\"url\":\"https://example.org/a\",\"emailSubject\":\"Re: plan\","
                "\"emailSender\":\"Ann <ann@example.org>\",\"emailMailbox\":\"Inbox\"}],"
                "\"projectContext\":\"example.org: Docs \\\"quoted\\\"\"}]}"));

        // Read back, the fraction of a second is gone: the session is no longer equal to the one in memory.
        const UsageDayFile read = UsageDayFile::fromJson(json);
        QCOMPARE(read.sessions.size(), 1);
        QCOMPARE(read.sessions[0].startTime, utc(QStringLiteral("2025-03-14T08:00:00Z")));
        QVERIFY(read.sessions[0] != session);
        session.startTime = utc(QStringLiteral("2025-03-14T08:00:00Z"));
        session.windowCaptures[0].capturedAt = utc(QStringLiteral("2025-03-14T08:05:09Z"));
        QCOMPARE(read.sessions[0], session);
    }

    void leavesOutOptionalValuesAndKeepsEmptyLists() {
        AppUsageSession open = session(QStringLiteral("a"), QStringLiteral("A"),
                                       utc(QStringLiteral("2025-03-14T08:00:00Z")), std::nullopt);
        open.id = kSessionId;
        AppUsageSession onlyRedacted = open;
        WindowTitleCapture hidden = redacted(utc(QStringLiteral("2025-03-14T08:01:00Z")));
        hidden.id = kCaptureId;
        onlyRedacted.addCapture(hidden);

        const QByteArray openJson = UsageDayFile{QStringLiteral("d"), {open}}.toJson();
        QVERIFY(!openJson.contains("endTime"));
        QVERIFY(!openJson.contains("windowTitles"));
        QVERIFY(!openJson.contains("null"));
        QVERIFY(openJson.contains("\"windowCaptures\":[]"));

        const QByteArray redactedJson = UsageDayFile{QStringLiteral("d"), {onlyRedacted}}.toJson();
        QVERIFY(redactedJson.contains("\"windowTitles\":[]"));
        QVERIFY(redactedJson.contains("\"isRedacted\":true}"));
        QCOMPARE(onlyRedacted.uniqueWindowTitles(), QStringList());

        const QByteArray emptyDay = UsageDayFile{QStringLiteral("2025-03-14"), {}}.toJson();
        QCOMPARE(emptyDay, QByteArray("{\"date\":\"2025-03-14\",\"sessions\":[]}"));
    }

    void controlCharactersAndNonAsciiSurviveTheRoundTrip() {
        AppUsageSession s = session(QStringLiteral("x"), QStringLiteral("Ünïcødé \u2014 \U0001F600"),
                                    utc(QStringLiteral("2025-03-14T08:00:00Z")), std::nullopt);
        s.id = kSessionId;
        s.addCapture(capture(QStringLiteral("tab\there\nline\\slash\x01"),
                             utc(QStringLiteral("2025-03-14T08:00:00Z"))));
        const UsageDayFile read = UsageDayFile::fromJson(UsageDayFile{QStringLiteral("d"), {s}}.toJson());
        QCOMPARE(read.sessions[0].appName, s.appName);
        QCOMPARE(read.sessions[0].windowCaptures[0].title, s.windowCaptures[0].title);
    }

    void readsWhatTheFormatAllows_data() {
        QTest::addColumn<QByteArray>("from");
        QTest::addColumn<QByteArray>("to");
        QTest::newRow("lower-case ids") << QByteArray("0F8FAD5B-D9CB-469F-A165-70867728950E")
                                        << QByteArray("0f8fad5b-d9cb-469f-a165-70867728950e");
        QTest::newRow("unknown keys") << QByteArray("\"appName\":\"Firefox\",")
                                      << QByteArray("\"appName\":\"Firefox\",\"extra\":{\"a\":[1,2]},");
        QTest::newRow("null optional")
            << QByteArray("\"endTime\":\"2025-03-14T08:30:00Z\"")
            << QByteArray("\"endTime\":null,\"clickUpTaskId\":null,\"windowTitles\":null");
        QTest::newRow("offset instead of Z")
            << QByteArray("2025-03-14T08:00:00Z") << QByteArray("2025-03-14T09:00:00+01:00");
        QTest::newRow("keys in another order")
            << QByteArray("{\"date\":\"2025-03-14\",\"sessions\":") << QByteArray("{\"sessions\":");
        // Ids and dates are read straight from the bytes unless they hold an escape.
        QTest::newRow("escaped id") << QByteArray("\"0F8FAD5B-D9CB")
                                    << QByteArray("\"\\u0030F8FAD5B\\u002dD9CB");
        QTest::newRow("escaped date")
            << QByteArray("2025-03-14T08:00:00Z") << QByteArray("2025-03-14\\u005408:00:00\\u005a");
    }

    void readsWhatTheFormatAllows() {
        QFETCH(QByteArray, from);
        QFETCH(QByteArray, to);
        QByteArray bytes = validFile().replace(from, to);
        if (QTest::currentDataTag() == QByteArray("keys in another order")) {
            bytes.chop(1);
            bytes += ",\"date\":\"2025-03-14\"}";
        }
        const UsageDayFile data = UsageDayFile::fromJson(bytes);
        QCOMPARE(data.sessions.size(), 1);
        QCOMPARE(data.sessions[0].id, kSessionId);
        QCOMPARE(data.sessions[0].startTime, utc(QStringLiteral("2025-03-14T08:00:00Z")));
    }

    void refusesMalformedFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("path");
        using K = DecodingError::Kind;
        const QByteArray valid = validFile();
        QTest::newRow("garbage") << QByteArray("\x89PNG\r\n\x1a\n") << int(K::dataCorrupted) << "";
        QTest::newRow("empty") << QByteArray() << int(K::dataCorrupted) << "";
        QTest::newRow("truncated") << valid.left(valid.size() / 2) << int(K::dataCorrupted) << "";
        QTest::newRow("an array") << QByteArray("[]") << int(K::typeMismatch) << "";
        QTest::newRow("no sessions") << QByteArray("{\"date\":\"2025-03-14\"}") << int(K::keyNotFound)
                                     << "sessions";
        QTest::newRow("no date") << QByteArray(valid).replace("\"date\":\"2025-03-14\",", "")
                                 << int(K::keyNotFound) << "date";
        QTest::newRow("session without windowCaptures")
            << QByteArray(valid).replace("\"windowCaptures\"", "\"otherCaptures\"") << int(K::keyNotFound)
            << "sessions[0].windowCaptures";
        QTest::newRow("null required") << QByteArray(valid).replace("\"Firefox\"", "null")
                                       << int(K::valueNotFound) << "sessions[0].appName";
        QTest::newRow("number for a string") << QByteArray(valid).replace("\"Firefox\"", "42")
                                             << int(K::typeMismatch) << "sessions[0].appName";
        QTest::newRow("string for a bool")
            << QByteArray(valid).replace("false", "\"false\"") << int(K::typeMismatch)
            << "sessions[0].windowCaptures[0].isRedacted";
        QTest::newRow("fraction of a second")
            << QByteArray(valid).replace("08:05:09Z", "08:05:09.250Z") << int(K::dataCorrupted)
            << "sessions[0].windowCaptures[0].capturedAt";
        QTest::newRow("date only") << QByteArray(valid).replace("2025-03-14T08:30:00Z", "2025-03-14")
                                   << int(K::dataCorrupted) << "sessions[0].endTime";
        QTest::newRow("impossible date")
            << QByteArray(valid).replace("2025-03-14T08:00:00Z", "2025-02-30T08:00:00Z")
            << int(K::dataCorrupted) << "sessions[0].startTime";
        QTest::newRow("malformed uuid") << QByteArray(valid).replace("0F8FAD5B-D9CB", "0F8FAD5BXD9CB")
                                        << int(K::dataCorrupted) << "sessions[0].id";
        QTest::newRow("uuid one digit too long")
            << QByteArray(valid).replace("70867728950E\"", "70867728950EE\"") << int(K::dataCorrupted)
            << "sessions[0].id";
        QTest::newRow("uuid in braces")
            << QByteArray(valid).replace("\"0F8FAD5B-D9CB-469F-A165-70867728950E\"",
                                         "\"{0F8FAD5B-D9CB-469F-A165-70867728950E}\"")
            << int(K::dataCorrupted) << "sessions[0].id";
        QTest::newRow("title list of numbers")
            << QByteArray(valid).replace("\"windowCaptures\"", "\"windowTitles\":[1],\"windowCaptures\"")
            << int(K::typeMismatch) << "sessions[0].windowTitles[0]";
        QTest::newRow("capture not an object")
            << QByteArray(valid).replace("\"windowCaptures\":[{", "\"windowCaptures\":[7,{")
            << int(K::typeMismatch) << "sessions[0].windowCaptures[0]";
    }

    void refusesMalformedFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        QFETCH(QString, path);
        try {
            UsageDayFile::fromJson(bytes);
            QFAIL("read a malformed file");
        } catch (const DecodingError& error) {
            QCOMPARE(int(error.kind()), kind);
            QCOMPARE(error.codingPath(), path);
            QVERIFY(!error.description().isEmpty());
        }
    }

    void dayKeys() {
        QCOMPARE(usageday::key(QDate(2025, 3, 4)), QStringLiteral("2025-03-04"));
        QCOMPARE(usageday::fromKey(u"2025-03-04"), QDate(2025, 3, 4));
        QVERIFY(!usageday::fromKey(u"2025-3-04").has_value());
        QVERIFY(!usageday::fromKey(u"2025-02-29").has_value());
        QVERIFY(!usageday::fromKey(u"2025-03-04.json").has_value());
        // Late evening and early morning of one local day name the same day (Berlin: UTC+1 in March).
        QCOMPARE(usageday::of(utc(QStringLiteral("2025-03-14T22:59:59Z"))), QDate(2025, 3, 14));
        QCOMPARE(usageday::of(utc(QStringLiteral("2025-03-13T23:00:00Z"))), QDate(2025, 3, 14));
    }

    void formattedDuration_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("59.9 s") << 59.9 << "<1m";
        QTest::newRow("60 s") << 60.0 << "1m";
        QTest::newRow("3599 s") << 3599.0 << "59m";
        QTest::newRow("3600 s") << 3600.0 << "1h 0m";
        QTest::newRow("8100 s") << 8100.0 << "2h 15m";
    }

    void formattedDuration() {
        QFETCH(double, seconds);
        const FakeClock clock(at(QStringLiteral("10:00")));
        AppUsageSession s = session(QStringLiteral("a"), QStringLiteral("A"), at(QStringLiteral("10:00")),
                                    at(QStringLiteral("10:00")).addMSecs(qint64(seconds * 1000)));
        QTEST(s.formattedDuration(), "text");
    }

    void openSessionGrowsWithTheClock() {
        FakeClock clock(at(QStringLiteral("10:00")));
        const AppUsageSession s =
            session(QStringLiteral("a"), QStringLiteral("A"), at(QStringLiteral("10:00")), std::nullopt);
        clock.advance(90);
        QCOMPARE(s.duration(), 90.0);
        clock.advance(3600);
        QCOMPARE(s.formattedDuration(), QStringLiteral("1h 1m"));
    }

    void cleanedTitle_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("cleaned"); // a null text stands for none
        QTest::newRow("edited marker") << QStringLiteral("Budget \u2014 Edited") << "Budget";
        QTest::newRow("too short after stars") << "ab*" << QString();
        QTest::newRow("em dash keeps the last part")
            << QStringLiteral("Inbox \u2014 Alice \u2014 Mail") << "Mail";
        QTest::newRow("Visual Studio Code") << "index.ts - shop - Visual Studio Code"
                                            << "index.ts";
        QTest::newRow("JetBrains IDE")
            << QStringLiteral("shop \u2013 src/app.py \u2013 PyCharm") << "shop: src/app.py";
        QTest::newRow("IDE with one part") << QStringLiteral("shop \u2013 GoLand") << "shop";
        QTest::newRow("project and file in brackets")
            << QStringLiteral("app [~/code/app] \u2013 src/main/Main.kt") << "app: Main.kt";
        QTest::newRow("dash glued to the shell name stays")
            << QStringLiteral("~/code/app \u2014zsh") << QStringLiteral("~/code/app \u2014zsh");
        QTest::newRow("channel") << "#general - Team - Chat"
                                 << "#general";
        QTest::newRow("Figma") << QStringLiteral("Landing page \u2013 Figma") << "Landing page";
        QTest::newRow("Notion") << "Roadmap - Notion"
                                << "Roadmap";
        QTest::newRow("first named part") << "Pull request 12 | GitHub"
                                          << "Pull request 12";
        QTest::newRow("Firefox's name")
            << QStringLiteral("Quarterly plan \u2014 Mozilla Firefox") << "Quarterly plan";
        QTest::newRow("Chromium's name") << "Pull request 12 | GitHub - Chromium"
                                         << "Pull request 12";
        QTest::newRow("Thunderbird's name") << "Inbox - Local Folders - Mozilla Thunderbird"
                                            << "Inbox";
        QTest::newRow("xterm's name") << "xterm: ~/code/pendlow"
                                      << "~/code/pendlow";
        QTest::newRow("only the name") << "Chromium"
                                       << "Chromium";
        QTest::newRow("new tab comes back whole") << "New Tab - Browser"
                                                  << "New Tab - Browser";
        QTest::newRow("path after a colon") << "user@host: ~/code/pendlow/src"
                                            << "src";
        QTest::newRow("61 characters")
            << QString(61, QLatin1Char('x')) << QString(57, QLatin1Char('x')) + "...";
        QTest::newRow("60 characters") << QString(60, QLatin1Char('y')) << QString(60, QLatin1Char('y'));
        QTest::newRow("emoji count as one character") << QStringLiteral("\U0001F600\U0001F600") << QString();
    }

    void cleanedTitle() {
        QFETCH(QString, title);
        QFETCH(QString, cleaned);
        const std::optional<QString> result = capture(title).cleanedTitle();
        if (cleaned.isNull()) {
            QVERIFY2(!result.has_value(), qPrintable(result.value_or(QString())));
        } else {
            QVERIFY(result.has_value());
            QCOMPARE(*result, cleaned);
        }
    }

    void shellTitlesLoseTheShellName() {
        QCOMPARE(capture(QStringLiteral("user@host:~/code/app\u2014 zsh")).cleanedTitle(),
                 QStringLiteral("user@host:~/code/app"));
        // With a space before the dash the em-dash rule comes first and keeps the last part.
        QCOMPARE(capture(QStringLiteral("~/code/app \u2014 zsh")).cleanedTitle(), QStringLiteral("zsh"));
    }

    void contextString_data() {
        QTest::addColumn<WindowTitleCapture>("capture");
        QTest::addColumn<QString>("context"); // null for none
        QTest::newRow("host and tab title")
            << capture(QStringLiteral("Pricing - Example - Google Chrome"), at(QStringLiteral("09:00")),
                       QStringLiteral("https://www.example.org/pricing"))
            << "www.example.org: Pricing";
        QTest::newRow("host alone for a new tab")
            << capture(QStringLiteral("New Tab - Google Chrome"), at(QStringLiteral("09:00")),
                       QStringLiteral("https://example.org/"))
            << "example.org";
        QTest::newRow("bare host falls through to the title")
            << capture(QStringLiteral("Pricing - Example"), at(QStringLiteral("09:00")),
                       QStringLiteral("example.org"))
            << "Pricing";
        QTest::newRow("e-mail with mailbox and sender")
            << email(QStringLiteral("Offer"), QStringLiteral("Ann Lee <ann@example.org>"),
                     QStringLiteral("Inbox"))
            << "[Inbox] Ann Lee: Offer";
        QTest::newRow("e-mail subject alone") << email(QStringLiteral("Offer")) << "Offer";
        QTest::newRow("sender without address")
            << email(QStringLiteral("Offer"), QStringLiteral("ann@example.org")) << "ann@example.org: Offer";
        QTest::newRow("redacted has none")
            << redacted(at(QStringLiteral("09:00")), QStringLiteral("https://bank.example/")) << QString();
        QTest::newRow("cleaned title")
            << capture(QStringLiteral("notes.md - Visual Studio Code")) << "notes.md";
    }

    void contextString() {
        QFETCH(WindowTitleCapture, capture);
        QFETCH(QString, context);
        const std::optional<QString> result = capture.contextString();
        QCOMPARE(result.has_value(), !context.isNull());
        if (result) {
            QCOMPARE(*result, context);
        }
    }

    void contextsAndDominantContext() {
        AppUsageSession s = session(QStringLiteral("com.google.Chrome"), QStringLiteral("Chrome"),
                                    at(QStringLiteral("09:00")), at(QStringLiteral("10:00")));
        QCOMPARE(s.dominantContext(), std::nullopt);
        s.addCapture(capture(QStringLiteral("b.txt - Visual Studio Code")));
        s.addCapture(capture(QStringLiteral("a.txt - Visual Studio Code")));
        s.addCapture(redacted());
        s.addCapture(capture(QStringLiteral("a.txt - Visual Studio Code")));
        QCOMPARE(s.contexts(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
        QCOMPARE(s.dominantContext(), QStringLiteral("a.txt"));
        QCOMPARE(s.windowTitles->size(), 3);
        QCOMPARE(s.windowCaptures.size(), 4);
        QCOMPARE(s.uniqueWindowTitles(), (QStringList{QStringLiteral("a.txt - Visual Studio Code"),
                                                      QStringLiteral("b.txt - Visual Studio Code")}));
    }
};

PENDLOW_TEST_MAIN(UsageRecords)
#include "tst_UsageRecords.moc"
