// The tracker's compact form of the ended sessions: what goes in comes back equal, every time as the
// same moment in UTC, optional texts absent or empty as they were, window titles of their own, texts
// shared by many sessions while the table grows, the start-day filter at midnight, and the day file
// written from the compact form, the same to the byte as the records' encoding.
#include "support/TestMain.h"

#include "services/usage/CompactSessionList.h"
#include "services/usage/UsageDay.h"
#include "services/usage/UsageDayFile.h"
#include "support/TestData.h"
#include "support/UsageSamples.h"

using namespace usagesamples;

Q_DECLARE_METATYPE(AppUsageSession)

namespace {
QDateTime utc(const char* text) {
    return *usageday::parseDateTime(onHeap(text));
}

// Whether every valid time of the sessions is in UTC (QDateTime's == compares only the moment).
bool allInUtc(const QList<AppUsageSession>& sessions) {
    const auto utcOrInvalid = [](const QDateTime& moment) {
        return !moment.isValid() || moment.timeSpec() == Qt::UTC;
    };
    for (const AppUsageSession& session : sessions) {
        if (!utcOrInvalid(session.startTime) || (session.endTime && !utcOrInvalid(*session.endTime))) {
            return false;
        }
        for (const WindowTitleCapture& capture : session.windowCaptures) {
            if (!utcOrInvalid(capture.capturedAt)) {
                return false;
            }
        }
    }
    return true;
}

AppUsageSession recorded() {
    AppUsageSession session = usagesamples::session(onHeap("org.mozilla.firefox"), onHeap("Firefox"),
                                                    at(QStringLiteral("09:00:00")),
                                                    at(QStringLiteral("09:10:00")), onHeap("86abc"));
    session.addCapture(capture(onHeap("Docs - Mozilla Firefox"), at(QStringLiteral("09:00:01")),
                               onHeap("https://docs.example.org/d/1")));
    session.addCapture(redacted(at(QStringLiteral("09:01:00"))));
    WindowTitleCapture mail = email(onHeap("Re: plan"), onHeap("Ann Lee <ann@example.org>"), onHeap("Inbox"));
    mail.capturedAt = at(QStringLiteral("09:02:00")).addMSecs(250);
    session.addCapture(mail);
    session.addCapture(capture(onHeap("Docs - Mozilla Firefox"), at(QStringLiteral("09:03:00"))));
    session.projectContext = onHeap("docs.example.org: Docs");
    return session;
}
} // namespace

class CompactSessionLists : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void sessionsComeBackAsTheyWent_data() {
        QTest::addColumn<QList<AppUsageSession>>("sessions");

        QTest::newRow("recorded: local times, an address, e-mail, a redacted capture") << QList{recorded()};

        AppUsageSession read = recorded();
        read.startTime = utc("2025-03-14T08:00:00Z");
        read.endTime = utc("2025-03-14T08:10:00Z");
        read.windowCaptures[0].capturedAt = utc("2025-03-14T08:00:01Z");
        QTest::newRow("read from a file: UTC times") << QList{read, recorded()};

        AppUsageSession open =
            usagesamples::session(onHeap("code"), onHeap("Code"), at(QStringLiteral("10:00")), std::nullopt);
        QTest::newRow("open, no captures, no titles, no task") << QList{open};

        AppUsageSession ownTitles = recorded();
        ownTitles.windowTitles = QStringList{onHeap("Another title"), onHeap("Docs - Mozilla Firefox")};
        AppUsageSession noTitles = recorded();
        noTitles.windowTitles.reset();
        AppUsageSession emptyTitles = recorded();
        emptyTitles.windowTitles = QStringList{};
        AppUsageSession missingTitle = recorded();
        missingTitle.windowTitles->removeLast();
        AppUsageSession extraTitle = recorded();
        extraTitle.windowTitles->append(onHeap("A later title"));
        AppUsageSession titlesWithoutCaptures = open;
        titlesWithoutCaptures.windowTitles = QStringList{};
        QTest::newRow("window titles that differ from the captures")
            << QList{ownTitles, noTitles, emptyTitles, missingTitle, extraTitle, titlesWithoutCaptures};

        AppUsageSession empty = recorded();
        empty.appName = QString();
        empty.clickUpTaskId = QString();
        empty.projectContext = QString();
        empty.windowCaptures[0].url = QString();
        empty.windowCaptures[2].emailSender = QString();
        empty.windowCaptures[2].emailMailbox.reset();
        QTest::newRow("empty texts beside absent ones") << QList{empty, recorded()};

        AppUsageSession invalid = recorded();
        invalid.startTime = QDateTime();
        invalid.endTime = QDateTime();
        invalid.windowCaptures[1].capturedAt = QDateTime();
        QTest::newRow("invalid times") << QList{invalid};

        AppUsageSession wide = recorded();
        wide.appName = onHeap("Geany – Bücher");
        wide.windowCaptures[0].title = onHeap("日本語のタイトル 🚀 — Ärger");
        wide.windowTitles->first() = wide.windowCaptures[0].title;
        wide.windowCaptures[0].url = onHeap("https://example.org/ü?q=🚀");
        QTest::newRow("texts beyond ASCII") << QList{wide, recorded()};
    }
    void sessionsComeBackAsTheyWent() {
        QFETCH(QList<AppUsageSession>, sessions);
        CompactSessionList whole(sessions);
        CompactSessionList oneByOne;
        for (const AppUsageSession& session : sessions) {
            oneByOne.append(session);
        }
        for (const CompactSessionList* list : {&whole, &oneByOne}) {
            const QList<AppUsageSession> back = list->sessions();
            QCOMPARE(back, sessions);
            QVERIFY(allInUtc(back));
        }
    }

    // Every row above, and texts that must be escaped: the day file written from the compact form is
    // what UsageDayFile writes of the records made from it, and of those put in.
    void dayFileIsTheRecordsEncoding_data() {
        sessionsComeBackAsTheyWent_data();
        AppUsageSession escaped = recorded();
        escaped.appName = onHeap("Quote \" backslash \\ slash /");
        escaped.windowCaptures[0].title = onHeap("line\nbreak\ttab\rreturn \x01\x1f end");
        escaped.windowTitles->first() = escaped.windowCaptures[0].title;
        escaped.windowCaptures[2].emailSubject = onHeap("\"Re:\" \\ plan");
        escaped.clickUpTaskId = onHeap("\x7f");
        QTest::newRow("texts that are escaped") << QList{escaped};
        QTest::newRow("no sessions") << QList<AppUsageSession>{};
    }
    void dayFileIsTheRecordsEncoding() {
        QFETCH(QList<AppUsageSession>, sessions);
        const QString date = onHeap("2025-03-14");
        CompactSessionList oneByOne;
        for (const AppUsageSession& session : sessions) {
            oneByOne.append(session);
        }
        for (const CompactSessionList& list : {CompactSessionList(sessions), oneByOne}) {
            qsizetype written = -1;
            const QByteArray bytes = list.dayFile(date, std::nullopt, &written);
            QCOMPARE(bytes, (UsageDayFile{date, list.sessions()}.toJson()));
            QCOMPARE(bytes, (UsageDayFile{date, sessions}.toJson()));
            QCOMPARE(written, sessions.size());
        }
    }

    // From a moment on: only the sessions that started at or after it, in their order; those without
    // a valid start are never among them, and they and the earlier ones are what the tracker asks about.
    void dayFileFromAMomentHoldsTheSessionsStartedSince() {
        const QDateTime from = utc("2025-03-14T08:00:00Z");
        QList<AppUsageSession> sessions;
        for (const char* start : {"2025-03-14T08:00:00Z", "2025-03-14T07:59:59Z", "2025-03-14T09:30:00Z"}) {
            AppUsageSession session = recorded();
            session.startTime = utc(start);
            sessions.append(session);
        }
        sessions[1].appName = onHeap("Earlier");
        AppUsageSession noStart = recorded();
        noStart.startTime = QDateTime();
        sessions.append(noStart);

        const CompactSessionList list(sessions);
        const QString date = onHeap("2025-03-14");
        qsizetype written = -1;
        const QByteArray bytes = list.dayFile(date, from.toMSecsSinceEpoch(), &written);
        QCOMPARE(bytes, (UsageDayFile{date, {sessions[0], sessions[2]}}.toJson()));
        QCOMPARE(written, 2);
        QVERIFY(list.hasSessionStartedBefore(from.toMSecsSinceEpoch()));
        const CompactSessionList startedSince(QList{sessions[0], sessions[2]});
        QVERIFY(!startedSince.hasSessionStartedBefore(from.toMSecsSinceEpoch()));
        QVERIFY(!CompactSessionList().hasSessionStartedBefore(from.toMSecsSinceEpoch()));
        QVERIFY(CompactSessionList(QList{noStart}).hasSessionStartedBefore(from.toMSecsSinceEpoch()));
    }

    // Thousands of texts, a few of them in every session: the table's buffer and its hash grow many
    // times while the numbers handed out before stay right.
    void sharedTextsStayRightWhileTheTableGrows() {
        QList<AppUsageSession> sessions;
        CompactSessionList list;
        for (int i = 0; i < 3000; ++i) {
            AppUsageSession session = usagesamples::session(
                QStringLiteral("app.%1").arg(i % 7), QStringLiteral("App %1").arg(i % 7),
                at(QStringLiteral("08:00")).addSecs(i), at(QStringLiteral("08:00")).addSecs(i + 1),
                QStringLiteral("86c%1").arg(i % 17));
            session.addCapture(capture(QStringLiteral("Unique title %1 of a long day").arg(i)));
            session.addCapture(capture(QStringLiteral("Shared title %1").arg(i % 50),
                                       at(QStringLiteral("09:00")),
                                       QStringLiteral("https://site%1.example.org/").arg(i % 37)));
            list.append(session);
            sessions.append(session);
            if (i == 10) {
                QCOMPARE(list.sessions(), sessions); // read early, before the growth
            }
        }
        const QList<AppUsageSession> back = list.sessions();
        QCOMPARE(back, sessions);
        QCOMPARE(CompactSessionList(sessions).sessions(), sessions);
    }

    void sessionsStartedOnADayAreThoseOfItsLocalDate() {
        // Europe/Berlin: the day starts at 23:00 UTC of the day before.
        const QList<AppUsageSession> sessions{
            usagesamples::session(onHeap("a"), onHeap("before"), utc("2025-03-13T22:59:59Z"), std::nullopt),
            usagesamples::session(onHeap("a"), onHeap("first"), utc("2025-03-13T23:00:00Z"), std::nullopt),
            usagesamples::session(onHeap("a"), onHeap("local"), at(QStringLiteral("12:00")), std::nullopt),
            usagesamples::session(onHeap("a"), onHeap("invalid"), QDateTime(), std::nullopt),
            usagesamples::session(onHeap("a"), onHeap("last"), QDateTime(day(), QTime(23, 59, 59, 999)),
                                  std::nullopt),
            usagesamples::session(onHeap("a"), onHeap("after"), QDateTime(day().addDays(1), QTime(0, 0)),
                                  std::nullopt),
        };
        QList<AppUsageSession> expected;
        for (const AppUsageSession& session : sessions) {
            if (usageday::of(session.startTime) == day()) {
                expected.append(session);
            }
        }
        QCOMPARE(expected.size(), 3);
        const CompactSessionList list(sessions);
        QCOMPARE(list.sessionsStartedOn(day()), expected);
        QCOMPARE(list.sessionsStartedOn(day().addDays(-1)), QList<AppUsageSession>{sessions[0]});
    }
};

PENDLOW_TEST_MAIN(CompactSessionLists)
#include "tst_CompactSessionList.moc"
