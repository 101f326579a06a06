// The computed day summary: totals, breakdown, contexts, websites, paths, keywords, the timeline and
// its range, the time filter and the plain-text report.
#include "support/TestMain.h"

#include "services/usage/ActivityGrouping.h"
#include "services/usage/DailyUsageSummary.h"
#include "services/usage/KeywordTokens.h"
#include "services/usage/UsageDayIndex.h"
#include "support/FakeClock.h"
#include "support/TestSettings.h"
#include "support/UsageSamples.h"

using namespace usagesamples;

namespace {
const QString kChrome = QStringLiteral("com.google.Chrome");
const QString kCode = QStringLiteral("com.microsoft.VSCode");
const QString kTerminal = QStringLiteral("com.apple.Terminal");

DailyUsageSummary summaryOf(QList<AppUsageSession> sessions) {
    return DailyUsageSummary{day(), std::move(sessions), std::nullopt, std::nullopt};
}

template <typename T>
QStringList names(const QList<T>& list, QString T::*member) {
    QStringList result;
    for (const T& item : list) {
        result << item.*member;
    }
    return result;
}
} // namespace

class DailyUsageSummaryTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void formatDuration_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        QTest::newRow("0") << 0.0 << "<1m";
        QTest::newRow("59.9") << 59.9 << "<1m";
        QTest::newRow("negative") << -3600.0 << "<1m";
        QTest::newRow("60") << 60.0 << "1m";
        QTest::newRow("3599") << 3599.0 << "59m";
        QTest::newRow("3600") << 3600.0 << "1h 0m";
        QTest::newRow("3660") << 3660.0 << "1h 1m";
        QTest::newRow("3725") << 3725.0 << "1h 2m";
        QTest::newRow("90000") << 90000.0 << "25h 0m";
    }

    void formatDuration() {
        QFETCH(double, seconds);
        QTEST(DailyUsageSummary::formatDuration(seconds), "text");
    }

    void totalsAndBreakdown() {
        const FakeClock clock(at(QStringLiteral("12:00")));
        const DailyUsageSummary summary = summaryOf({
            session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("09:00")),
                    at(QStringLiteral("09:30")), QStringLiteral("t1")),
            session(kCode, QStringLiteral("Code"), at(QStringLiteral("09:30")), at(QStringLiteral("10:30"))),
            session(kChrome, QStringLiteral("Chromium"), at(QStringLiteral("10:30")),
                    at(QStringLiteral("11:00")),
                    QString()), // an empty task id counts as tracked
            session(kTerminal, QStringLiteral("Terminal"), at(QStringLiteral("11:00")),
                    std::nullopt), // open: to now
        });
        QCOMPARE(summary.totalDuration(), 3.0 * 3600);
        QCOMPARE(summary.trackedDuration(), 3600.0);
        QCOMPARE(summary.untrackedDuration(), 2.0 * 3600);
        QCOMPARE(summary.formattedTotalDuration(), QStringLiteral("3h 0m"));

        const QList<AppUsageBreakdown> apps = summary.appBreakdown();
        QCOMPARE(apps.size(), 3);
        // Equal durations keep the order of first appearance; the first name seen is kept.
        QCOMPARE(apps[0].appId, kChrome);
        QCOMPARE(apps[0].appName, QStringLiteral("Chrome"));
        QCOMPARE(apps[0].duration, 3600.0);
        QCOMPARE(qRound(apps[0].percentage * 100), 3333);
        QCOMPARE(apps[1].appId, kCode);
        QCOMPARE(apps[2].appName, QStringLiteral("Terminal"));
        QCOMPARE(apps[2].duration, 3600.0);
    }

    void tinyTotalsDivideByOneSecond() {
        const DailyUsageSummary summary =
            summaryOf({session(kCode, QStringLiteral("Code"), at(QStringLiteral("09:00")),
                               at(QStringLiteral("09:00")).addMSecs(500))});
        QCOMPARE(summary.appBreakdown()[0].percentage, 50.0);
        QCOMPARE(summaryOf({}).appBreakdown().size(), 0);
        QCOMPARE(summaryOf({}).formattedTotalDuration(), QStringLiteral("<1m"));
    }

    void contextDetailsShareTheSessionAndSkipRedacted() {
        AppUsageSession browsing = session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("09:00")),
                                           at(QStringLiteral("10:00")));
        browsing.addCapture(capture(QStringLiteral("Docs - Chrome"), at(QStringLiteral("09:00")),
                                    QStringLiteral("https://example.org/docs")));
        browsing.addCapture(capture(QStringLiteral("Docs - Chrome"), at(QStringLiteral("09:15")),
                                    QStringLiteral("https://example.org/docs")));
        browsing.addCapture(redacted(at(QStringLiteral("09:30")), QStringLiteral("bank.example")));
        browsing.addCapture(capture(QStringLiteral("Quarterly plan - Chrome")));
        AppUsageSession mail = session(QStringLiteral("com.apple.mail"), QStringLiteral("Mail"),
                                       at(QStringLiteral("10:00")), at(QStringLiteral("10:10")));
        mail.addCapture(
            email(QStringLiteral("Offer"), QStringLiteral("Ann <a@example.org>"), QStringLiteral("Inbox")));

        const DailyUsageSummary summary = summaryOf({browsing, mail});
        const QList<ContextDetail> details = summary.contextDetails(kChrome);
        QCOMPARE(details.size(), 2); // the redacted capture's stored address is not shown
        QCOMPARE(details[0].context, QStringLiteral("https://example.org/docs"));
        QCOMPARE(details[0].captureCount, 2);
        QCOMPARE(details[0].duration, 1800.0); // 2 of 4 captures of one hour
        QCOMPARE(details[0].formattedDuration(), QStringLiteral("30m"));
        QCOMPARE(details[1].context, QStringLiteral("Quarterly plan"));
        QCOMPARE(summary.contextDetails(QStringLiteral("com.apple.mail"))[0].context,
                 QStringLiteral("[Inbox] Ann: Offer"));
        QVERIFY(summary.contextDetails(QStringLiteral("nothing")).isEmpty());

        QCOMPARE(summary.allContexts(),
                 (QStringList{QStringLiteral("Quarterly plan"), QStringLiteral("[Inbox] Ann: Offer"),
                              QStringLiteral("example.org: Docs")}));
    }

    void websites() {
        AppUsageSession chrome = session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("09:00")),
                                         at(QStringLiteral("09:40")));
        chrome.addCapture(
            capture(QStringLiteral("A"), at(QStringLiteral("09:00")), QStringLiteral("https://www.a.org/1")));
        chrome.addCapture(
            capture(QStringLiteral("B"), at(QStringLiteral("09:10")), QStringLiteral("https://b.org/")));
        chrome.addCapture(
            capture(QStringLiteral("A"), at(QStringLiteral("09:20")), QStringLiteral("https://www.a.org/2")));
        chrome.addCapture(
            redacted(at(QStringLiteral("09:30")), QStringLiteral("login.c.org"))); // bare host: not counted
        AppUsageSession notBrowser =
            session(kCode, QStringLiteral("Code"), at(QStringLiteral("10:00")), at(QStringLiteral("11:00")));
        notBrowser.addCapture(
            capture(QStringLiteral("x"), at(QStringLiteral("10:00")), QStringLiteral("https://d.org/")));

        const QList<WebsiteUsage> sites = summaryOf({chrome, notBrowser}).websiteUsage();
        QCOMPARE(names(sites, &WebsiteUsage::domain),
                 (QStringList{QStringLiteral("www.a.org"), QStringLiteral("b.org")}));
        QCOMPARE(sites[0].duration, 1200.0);
        QCOMPARE(sites[1].duration, 600.0);
    }

    void paths() {
        AppUsageSession terminal = session(kTerminal, QStringLiteral("Terminal"), at(QStringLiteral("09:00")),
                                           at(QStringLiteral("09:40")));
        terminal.addCapture(capture(QStringLiteral("~/code/app\u2014 zsh")));
        terminal.addCapture(capture(QStringLiteral("~/code/app\u2014 zsh")));
        terminal.addCapture(redacted());
        terminal.addCapture(redacted());
        AppUsageSession editor =
            session(kCode, QStringLiteral("Code"), at(QStringLiteral("10:00")), at(QStringLiteral("11:00")));
        editor.addCapture(capture(QStringLiteral("src/app.py - shop - Visual Studio Code")));
        editor.addCapture(capture(QStringLiteral("notes/ - Visual Studio Code")));
        editor.addCapture(capture(QStringLiteral("Welcome - Visual Studio Code"))); // no path: skipped
        AppUsageSession browser = session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("11:00")),
                                          at(QStringLiteral("12:00")));
        browser.addCapture(capture(QStringLiteral("/etc/hosts - Chrome")));

        const QList<PathUsage> paths = summaryOf({terminal, editor, browser}).pathUsage();
        QCOMPARE(names(paths, &PathUsage::path),
                 (QStringList{QStringLiteral("~/code/app"), QStringLiteral("src/app.py")}));
        QCOMPARE(paths[0].duration, 1200.0); // two quarters of 40 minutes
        QVERIFY(paths[0].isDirectory);
        QVERIFY(!paths[1].isDirectory);
        QCOMPARE(paths[1].duration, 1200.0);
        // "notes/" holds no path marker of the editor rule and is skipped.
        const DailyUsageSummary folder = summaryOf({session(
            kTerminal, QStringLiteral("T"), at(QStringLiteral("09:00")), at(QStringLiteral("09:10")))});
        AppUsageSession withFolder = folder.sessions[0];
        withFolder.addCapture(capture(QStringLiteral("notes.d/")));
        QVERIFY(summaryOf({withFolder}).pathUsage()[0].isDirectory);
    }

    // Linux titles end (or start) with the program's name: it names no work and is not a keyword.
    void keywordsLeaveOutTheApplicationsOwnName() {
        AppUsageSession browser = session(QStringLiteral("chromium"), QStringLiteral("Chromium"),
                                          at(QStringLiteral("09:00")), at(QStringLiteral("09:20")));
        for (int i = 0; i < 2; ++i) { // a word seen once is no keyword anyway
            browser.addCapture(capture(QStringLiteral("Invoices - Chromium")));
            browser.addCapture(capture(QStringLiteral("Invoices \u2014 Mozilla Firefox")));
        }
        AppUsageSession terminal = session(QStringLiteral("XTerm"), QStringLiteral("XTerm"),
                                           at(QStringLiteral("09:20")), at(QStringLiteral("09:40")));
        terminal.addCapture(capture(QStringLiteral("xterm: invoices")));
        terminal.addCapture(capture(QStringLiteral("xterm: invoices")));
        const QStringList listed =
            names(summaryOf({browser, terminal}).keywordUsage(), &KeywordUsage::keyword);
        QCOMPARE(listed, QStringList{QStringLiteral("invoices")});
    }

    void keywords() {
        AppUsageSession s =
            session(kCode, QStringLiteral("Code"), at(QStringLiteral("09:00")), at(QStringLiteral("09:40")));
        s.addCapture(capture(QStringLiteral("main.py - Pendlow - Visual Studio Code")));
        s.addCapture(capture(QStringLiteral("the window: pendlow [Xcode] xcode xcode")));
        s.addCapture(redacted());
        s.addCapture(capture(QStringLiteral("main.rs (once) .env .env")));
        const QList<KeywordUsage> words = summaryOf({s}).keywordUsage();
        // "xcode" twice in one title counts twice; "Xcode" is dropped before counting; "once" once is
        // dropped; "the" and "window" never count; "Visual", "Studio", "Code" are excluded; ".env" keeps its
        // dot.
        QStringList listed = names(words, &KeywordUsage::keyword);
        std::sort(listed.begin(), listed.end());
        QCOMPARE(listed, (QStringList{QStringLiteral(".env"), QStringLiteral("main"),
                                      QStringLiteral("pendlow"), QStringLiteral("xcode")}));
        for (const KeywordUsage& word : words) {
            QCOMPARE(word.occurrences, 2);
            QCOMPARE(word.duration, 1200.0);
        }
        QCOMPARE(
            KeywordTokens::of(QStringLiteral("a\u00B7b\u2014c|{d}\"e\"'f' main.py")),
            (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d"),
                         QStringLiteral("e"), QStringLiteral("f"), QStringLiteral("main")}));
    }

    void timelineAndRange() {
        FakeClock clock(at(QStringLiteral("16:20")));
        const DailyUsageSummary summary = summaryOf({
            session(kCode, QStringLiteral("Code"), at(QStringLiteral("10:15")), at(QStringLiteral("11:00"))),
            session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("09:40")),
                    at(QStringLiteral("14:00"))),
        });
        const QList<TimelineBlock> blocks = summary.timelineBlocks();
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks[0].label, QStringLiteral("Chrome"));
        QCOMPARE(blocks[0].color, QColor(255, 204, 0));
        QCOMPARE(blocks[1].appId, kCode);
        QCOMPARE(summary.rangeStart(), at(QStringLiteral("09:00")));
        QCOMPARE(summary.rangeEnd(), at(QStringLiteral("15:00"))); // on the full hour: still the next hour
        QCOMPARE(summary.timelineHours().size(), 7);
        QCOMPARE(summary.timelineHours().last(), at(QStringLiteral("15:00")));

        const DailyUsageSummary empty = summaryOf({});
        QCOMPARE(empty.rangeStart(), day().startOfDay());
        QCOMPARE(empty.rangeEnd(), at(QStringLiteral("17:00")));
        QCOMPARE(empty.timelineHours().size(), 18);

        const DailyUsageSummary open =
            summaryOf({session(kCode, QStringLiteral("Code"), at(QStringLiteral("16:00")), std::nullopt)});
        QCOMPARE(open.rangeEnd(), at(QStringLiteral("17:00")));
        QCOMPARE(open.timelineBlocks()[0].endTime, at(QStringLiteral("16:20")));
    }

    void timeFilter_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("kept");
        QTest::addColumn<QString>("rangeEnd");
        QTest::newRow("inside a long session") << "11:00"
                                               << "11:30" << 1 << "12:00";
        QTest::newRow("touching ends") << "12:00"
                                       << "13:00" << 2 << "14:00";
        QTest::newRow("ending at 14:59") << "12:30"
                                         << "14:59" << 1 << "15:00";
        QTest::newRow("after everything") << "15:00"
                                          << "16:00" << 0 << "17:00";
    }

    void timeFilter() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, kept);
        QFETCH(QString, rangeEnd);
        const DailyUsageSummary summary = summaryOf({
            session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("09:00")),
                    at(QStringLiteral("12:00"))),
            session(kCode, QStringLiteral("Code"), at(QStringLiteral("13:00")), at(QStringLiteral("14:00"))),
        });
        const DailyUsageSummary filtered = summary.withTimeFilter(at(from), at(to));
        QCOMPARE(filtered.sessions.size(), kept);
        QCOMPARE(filtered.filterStart, at(from));
        QCOMPARE(filtered.rangeStart(), at(from.left(2) + QStringLiteral(":00")));
        QCOMPARE(filtered.rangeEnd(), at(rangeEnd));
        if (kept == 1 && from == QLatin1String("11:00")) {
            QCOMPARE(filtered.totalDuration(), 3.0 * 3600); // sessions are kept whole
        }
        // One missing bound: unchanged.
        const DailyUsageSummary same = summary.withTimeFilter(at(from), std::nullopt);
        QCOMPARE(same.sessions.size(), 2);
        QCOMPARE(same.filterStart, std::nullopt);
    }

    void textReport() {
        const FakeClock clock(at(QStringLiteral("18:00")));
        TestSettings settings;
        const ActivityGrouping grouping(settings);
        AppUsageSession code = session(kCode, QStringLiteral("Code"), at(QStringLiteral("09:00")),
                                       at(QStringLiteral("10:00")), QStringLiteral("86abc"));
        code.addCapture(capture(QStringLiteral("main.py - shop - Visual Studio Code")));
        const AppUsageSession chrome = session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("10:05")),
                                               at(QStringLiteral("10:35")));
        const QString report = summaryOf({code, chrome}).generateTextReport(grouping);
        QCOMPARE(report, QStringLiteral("APP USAGE REPORT\n"
                                        "==================================================\n"
                                        "\n"
                                        "Date:      Friday, 14 March 2025\n"
                                        "Total:     1h 30m\n"
                                        "Tracked:   1h 0m (66%)\n"
                                        "Untracked: 30m\n"
                                        "\n"
                                        "TIMELINE\n"
                                        "------------------------------\n"
                                        "[09:00 - 10:35] 1h 35m\n"
                                        "  Apps: Code (1h 0m), Chrome (30m)\n"
                                        "  Task: 86abc\n"
                                        "  Context: main.py\n"
                                        "\n"
                                        "BY TASK\n"
                                        "------------------------------\n"
                                        "\u25CB Untracked: 30m\n"
                                        "  Apps: Chrome\n"
                                        "\n"
                                        "\u2713 86abc: 1h 0m\n"
                                        "  Apps: Code\n"
                                        "  Context: main.py\n"));
        QVERIFY(
            summaryOf({chrome}).generateTextReport(grouping).contains(QStringLiteral("Tracked:   <1m (0%)")));
    }

    // What a summary works out once is kept only while its sessions stay as they were, and never
    // holds a time: an open session still grows with the clock.
    void keptWorkFollowsTheSessionsAndTheClock() {
        FakeClock clock(at(QStringLiteral("12:00")));
        AppUsageSession code = session(kCode, QStringLiteral("Code"), at(QStringLiteral("09:00")),
                                       at(QStringLiteral("10:00")), QStringLiteral("86abc"));
        code.addCapture(capture(QStringLiteral("main.py - shop - Visual Studio Code")));
        DailyUsageSummary summary = summaryOf(
            {code, session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("11:00")), std::nullopt)});
        QCOMPARE(summary.allContexts(), QStringList{QStringLiteral("main.py")});
        QCOMPARE(summary.totalDuration(), 2.0 * 3600);
        QCOMPARE(summary.index(), summary.index()); // kept between calls

        clock.advance(1800);
        QCOMPARE(summary.totalDuration(), 2.5 * 3600);
        QCOMPARE(summary.untrackedDuration(), 1.5 * 3600);
        QCOMPARE(summary.timelineBlocks().last().endTime, at(QStringLiteral("12:30")));
        QCOMPARE(summary.appBreakdown().first().appId, kChrome);

        // A copy shares the kept work until one of them changes its sessions.
        DailyUsageSummary copy = summary;
        QCOMPARE(copy.index(), summary.index());
        copy.sessions[0].windowCaptures[0].title = QStringLiteral("notes.txt - Visual Studio Code");
        copy.sessions[0].appName = QStringLiteral("Codium");
        QCOMPARE(copy.allContexts(), QStringList{QStringLiteral("notes.txt")});
        QCOMPARE(copy.timelineBlocks().first().label, QStringLiteral("Codium"));
        QCOMPARE(summary.allContexts(), QStringList{QStringLiteral("main.py")});
        QCOMPARE(summary.timelineBlocks().first().label, QStringLiteral("Code"));

        summary.sessions[0].endTime = at(QStringLiteral("09:30"));
        QCOMPARE(summary.totalDuration(), 2.0 * 3600);
        QCOMPARE(summary.appBreakdown().first().duration, 1.5 * 3600);
        summary.sessions.removeLast();
        QCOMPARE(summary.totalDuration(), 1800.0);
        QCOMPARE(summary.websiteUsage().size(), 0);
        summary.sessions.clear();
        QVERIFY(summary.allContexts().isEmpty());
        QCOMPARE(summary.totalDuration(), 0.0);
    }

    // The exports read a session's leading context and its titles from the kept index: it must
    // answer as the session itself does, ties, repeats, redacted and context-free captures included.
    void indexAnswersAsTheSessionDoes() {
        const QStringList titles{QStringLiteral("a.py - shop - Visual Studio Code"),
                                 QStringLiteral("b.py - shop - Visual Studio Code"),
                                 QStringLiteral("b.py - shop - Visual Studio Code"),
                                 QStringLiteral("a.py - shop - Visual Studio Code"),
                                 QStringLiteral("Visual Studio Code"),
                                 QStringLiteral("c.py - shop - Visual Studio Code")};
        QList<AppUsageSession> sessions;
        for (int first = 0; first < 4; ++first) {
            AppUsageSession code = session(kCode, QStringLiteral("Code"), at(QStringLiteral("09:00")),
                                           at(QStringLiteral("10:00")));
            for (qsizetype i = first; i < titles.size(); ++i) {
                WindowTitleCapture taken = capture(titles[i]);
                taken.isRedacted = i == 5 && first == 3;
                code.addCapture(taken);
            }
            sessions.append(code);
        }
        sessions.append(session(kChrome, QStringLiteral("Chrome"), at(QStringLiteral("11:00")),
                                at(QStringLiteral("11:30"))));
        const DailyUsageSummary summary = summaryOf(sessions);
        const std::shared_ptr<const UsageDayIndex> index = summary.index();
        for (qsizetype i = 0; i < sessions.size(); ++i) {
            QCOMPARE(index->dominantContextOf(i), sessions[i].dominantContext());
            const QList<qsizetype> one{i};
            QCOMPARE(index->windowTitlesOf(one), sessions[i].uniqueWindowTitles());
        }
        // b.py reaches two first.
        QCOMPARE(index->dominantContextOf(0), std::optional<QString>(QStringLiteral("b.py")));
        QCOMPARE(index->dominantContextOf(4), std::nullopt);
    }
};

PENDLOW_TEST_MAIN(DailyUsageSummaryTest)
#include "tst_DailyUsageSummary.moc"
