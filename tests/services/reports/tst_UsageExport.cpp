// The export texts: golden texts of a sample day, the empty day, CSV cells (quoting and the formula
// guard), the percentages of the summary, and the long date without its weekday.
#include "support/ExportSamples.h"
#include "support/FakeClock.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"
#include "support/UsageSamples.h"

#include "services/reports/UsageExport.h"
#include "services/usage/ActivityGrouping.h"
#include "services/usage/UsageText.h"

#include <QLocale>

using namespace usagesamples;

namespace {
using Builder = QString (UsageExport::*)(const DailyUsageSummary&) const;

QString text(const QByteArray& bytes) {
    return QString::fromUtf8(bytes);
}

// Compares line by line first, so that a failure names the first line that differs.
void compareText(const QString& actual, const QString& expected) {
    const QStringList actualLines = actual.split(u'\n');
    const QStringList expectedLines = expected.split(u'\n');
    for (qsizetype i = 0; i < std::min(actualLines.size(), expectedLines.size()); ++i) {
        QCOMPARE(actualLines[i], expectedLines[i]);
    }
    QCOMPARE(actual, expected);
}
} // namespace

class UsageExportTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void sampleDay_data() {
        QTest::addColumn<Builder>("builder");
        QTest::addColumn<QString>("golden");
        QTest::newRow("csv") << Builder(&UsageExport::csvExport) << "day.csv";
        QTest::newRow("timeline") << Builder(&UsageExport::timelineText) << "day-timeline.txt";
        QTest::newRow("by task") << Builder(&UsageExport::byTaskText) << "day-tasks.txt";
        QTest::newRow("summary") << Builder(&UsageExport::summaryText) << "day-summary.txt";
    }

    void sampleDay() {
        QFETCH(Builder, builder);
        QFETCH(QString, golden);
        const FakeClock clock(exportsamples::now());
        TestSettings settings;
        const ActivityGrouping grouping(settings);
        const UsageExport exporter(grouping);
        compareText((exporter.*builder)(exportsamples::day()), text(fixture(golden)));
    }

    // An open session runs to the moment the text is built.
    void openSessionEndsNow() {
        FakeClock clock(exportsamples::now());
        TestSettings settings;
        const ActivityGrouping grouping(settings);
        const UsageExport exporter(grouping);
        const DailyUsageSummary day = exportsamples::day();
        clock.set(at(QStringLiteral("13:05:30")));
        QVERIFY(exporter.csvExport(day).endsWith(u"2025-03-14,11:50,13:05,75,Slack,86c2,general | Acme,"
                                                 u"general | Acme - Slack,Yes\n"));
        QVERIFY(exporter.byTaskText(day).contains(u"\u2713 86c2: 1h 15m\n  Apps: Slack\n  Context: general | "
                                                  u"Acme\n  Time: 11:50 - 13:05\n"));
    }

    void wholeDayFormats() {
        const FakeClock clock(exportsamples::now());
        TestSettings settings;
        const ActivityGrouping grouping(settings);
        const UsageExport exporter(grouping);
        const DailyUsageSummary day = exportsamples::day();
        QCOMPARE(exporter.exportText(ExportFormat::markdown, day),
                 grouping.generateMarkdownReport(day.date, day.sessions));
        QCOMPARE(exporter.exportText(ExportFormat::plainText, day), day.generateTextReport(grouping));
        QCOMPARE(exporter.exportText(ExportFormat::csv, day), exporter.csvExport(day));
    }

    // The texts read the summary's kept index: once its sessions change (a title changed in place, a
    // session added), the next text is that of the changed day, not of the day first read.
    void textsFollowChangedSessions_data() {
        QTest::addColumn<QString>("text");
        for (const char* text : {"markdown", "plain text", "csv", "timeline", "by task"}) {
            QTest::newRow(text) << QString::fromLatin1(text);
        }
    }

    void textsFollowChangedSessions() {
        QFETCH(QString, text);
        const FakeClock clock(exportsamples::now());
        TestSettings settings;
        const ActivityGrouping grouping(settings);
        const UsageExport exporter(grouping);
        auto build = [&](const DailyUsageSummary& summary) {
            if (text == u"markdown") {
                return exporter.exportText(ExportFormat::markdown, summary);
            }
            if (text == u"plain text") {
                return exporter.exportText(ExportFormat::plainText, summary);
            }
            if (text == u"csv") {
                return exporter.csvExport(summary);
            }
            return text == u"timeline" ? exporter.timelineText(summary) : exporter.byTaskText(summary);
        };
        // A summary of the same sessions that has never been read.
        auto unread = [](const DailyUsageSummary& summary) {
            return DailyUsageSummary{summary.date, summary.sessions, summary.filterStart, summary.filterEnd};
        };

        DailyUsageSummary day = exportsamples::day();
        const QString first = build(day);
        day.sessions[0].windowCaptures[0].title = onHeap(u"deploy.sh - Terminal");
        const QString renamed = build(day);
        QVERIFY(renamed != first);
        QVERIFY(renamed.contains(u"deploy.sh"));
        compareText(renamed, build(unread(day)));

        AppUsageSession late =
            session(onHeap(u"org.gnome.gedit"), onHeap(u"Text Editor"), at(QStringLiteral("12:00")),
                    at(QStringLiteral("12:20")), onHeap(u"86c9"));
        late.addCapture(capture(onHeap(u"todo.txt - Text Editor")));
        day.sessions.append(late);
        const QString added = build(day);
        QVERIFY(added.contains(u"todo.txt"));
        compareText(added, build(unread(day)));
    }

    void emptyDay_data() {
        QTest::addColumn<Builder>("builder");
        QTest::addColumn<QString>("expected");
        const QString rule(40, u'=');
        QTest::newRow("csv") << Builder(&UsageExport::csvExport)
                             << "Date,Start Time,End Time,Duration (min),App,Task ID,Primary Context,"
                                "Window Titles,Tracked\n";
        QTest::newRow("timeline") << Builder(&UsageExport::timelineText)
                                  << "TIMELINE - 14 March 2025\n" + rule + "\n\n";
        QTest::newRow("by task") << Builder(&UsageExport::byTaskText)
                                 << "BY TASK - 14 March 2025\n" + rule + "\n\n";
        QTest::newRow("summary") << Builder(&UsageExport::summaryText)
                                 << "APP USAGE SUMMARY\n" + rule +
                                        "\n\nDate:      14 March 2025\nTotal:     <1m\nTracked:   <1m (0%)\n"
                                        "Untracked: <1m\n\nAPPS\n--------------------\n";
    }

    void emptyDay() {
        QFETCH(Builder, builder);
        TestSettings settings;
        const ActivityGrouping grouping(settings);
        const UsageExport exporter(grouping);
        QTEST((exporter.*builder)(DailyUsageSummary{day(), {}, std::nullopt, std::nullopt}), "expected");
    }

    // The tracked share is cut to a whole number, an application's share rounded: 2 h 59 min 59 s of
    // 4 h is 74 %, an application with 74.6 % shows 75 %.
    void percentagesTruncateAndRound() {
        TestSettings settings;
        const ActivityGrouping grouping(settings);
        const UsageExport exporter(grouping);
        const QDateTime start = at(QStringLiteral("08:00"));
        const QList<AppUsageSession> sessions{
            session(onHeap(u"a.editor"), onHeap(u"Editor"), start, start.addMSecs(10'742'400), onHeap(u"t1")),
            session(onHeap(u"a.chat"), onHeap(u"Chat"), start, start.addMSecs(56'600), onHeap(u"t1")),
            session(onHeap(u"a.mail"), onHeap(u"Mail"), start, start.addSecs(3601))};
        const QString summary =
            exporter.summaryText(DailyUsageSummary{day(), sessions, std::nullopt, std::nullopt});
        QVERIFY2(summary.contains(u"\nTotal:     4h 0m\nTracked:   2h 59m (74%)\nUntracked: 1h 0m\n"),
                 qPrintable(summary));
        QVERIFY2(summary.endsWith(u"\nEditor: 2h 59m (75%)\nMail: 1h 0m (25%)\nChat: <1m (0%)\n"),
                 qPrintable(summary));
    }

    void csvField_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("cell");
        QTest::newRow("plain") << "Firefox"
                               << "Firefox";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("comma") << "a,b"
                               << "\"a,b\"";
        QTest::newRow("double quote") << "say \"hi\""
                                      << "\"say \"\"hi\"\"\"";
        QTest::newRow("line feed") << "one\ntwo"
                                   << "\"one\ntwo\"";
        QTest::newRow("carriage return inside") << "one\rtwo"
                                                << "\"one\rtwo\"";
        QTest::newRow("semicolon and quote inside") << "x'; y"
                                                    << "x'; y";
        QTest::newRow("equals") << "=SUM(A1:A9)"
                                << "'=SUM(A1:A9)";
        QTest::newRow("plus") << "+1 555"
                              << "'+1 555";
        QTest::newRow("minus") << "-2+3"
                               << "'-2+3";
        QTest::newRow("at") << "@SUM(1)"
                            << "'@SUM(1)";
        QTest::newRow("tab") << "\t=1"
                             << "'\t=1";
        QTest::newRow("leading carriage return") << "\r=1"
                                                 << "\"'\r=1\"";
        QTest::newRow("formula with comma and quote") << "=HYPERLINK(\"http://x\",\"y\")"
                                                      << "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\"";
        QTest::newRow("formula sign later") << "a=b"
                                            << "a=b";
        QTest::newRow("leading blank") << " =1"
                                       << " =1";
    }

    void csvField() {
        QFETCH(QString, value);
        QTEST(UsageExport::csvField(value), "cell");
    }

    // Every cell the user's data fills goes through the cell rules, the task id included; the columns
    // stay nine whatever a name holds.
    void csvRowKeepsItsColumns() {
        TestSettings settings;
        const ActivityGrouping grouping(settings);
        const UsageExport exporter(grouping);
        AppUsageSession odd =
            session(onHeap(u"x.odd"), onHeap(u"=1+1,\"x\"\nnext"), at(QStringLiteral("09:00")),
                    at(QStringLiteral("09:01")), onHeap(u"-t,1"));
        odd.addCapture(capture(onHeap(u"@title, one")));
        const QString csv = exporter.csvExport(DailyUsageSummary{day(), {odd}, std::nullopt, std::nullopt});
        QCOMPARE(
            csv.section(u'\n', 1),
            QStringLiteral("2025-03-14,09:00,09:01,1,\"'=1+1,\"\"x\"\"\nnext\",\"'-t,1\",\"'@title, one\","
                           "\"'@title, one\",Yes\n"));
    }

    // The exports' short time never carries seconds, whatever the locale's short style says.
    void shortTimeIsHoursAndMinutes_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("time");
        QTest::newRow("C") << QLocale::c() << "09:05";
        QTest::newRow("English (UK)") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "09:05";
        QTest::newRow("English (US)") << QLocale(QLocale::English, QLocale::UnitedStates) << "9:05 AM";
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "09:05";
    }

    void shortTimeIsHoursAndMinutes() {
        QFETCH(QLocale, locale);
        QFETCH(QString, time);
        QLocale::setDefault(locale);
        const QString text = UsageExport::shortTime(QDateTime(day(), QTime(9, 5, 42)));
        const QString pattern = usagetext::shortTimeFormat(locale);
        pinZoneAndLocale();
        QCOMPARE(text.simplified(), time.simplified());
        QVERIFY2(!pattern.contains(u's'), qPrintable(pattern));
    }

    // A title is one list item, whatever it holds: no line break, no link, no markup, no heading.
    void markdownTitlesStayOnOneLine_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("written");
        QTest::newRow("plain") << "Inbox - Mail"
                               << "Inbox - Mail";
        QTest::newRow("line break") << "Report\n- injected item"
                                    << "Report - injected item";
        QTest::newRow("CR LF and tab") << "a\r\nb\tc"
                                       << "a  b c";
        QTest::newRow("link") << "[click](https://evil.example)"
                              << "\\[click\\](https://evil.example)";
        QTest::newRow("emphasis and code") << "*bold* _it_ `x`"
                                           << "\\*bold\\* \\_it\\_ \\`x\\`";
        QTest::newRow("html and table") << "<img src=x> a|b"
                                        << "\\<img src=x\\> a\\|b";
        QTest::newRow("heading") << "# Title"
                                 << "\\# Title";
        QTest::newRow("list marker") << "- item"
                                     << "\\- item";
        QTest::newRow("ordered marker") << "12. item"
                                        << "12\\. item";
        QTest::newRow("backslash") << "C:\\dir"
                                   << "C:\\\\dir";
    }

    void markdownTitlesStayOnOneLine() {
        QFETCH(QString, title);
        QFETCH(QString, written);
        QCOMPARE(usagetext::markdownInline(title), written);
    }

    void longDate_data() {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("date");
        QTest::newRow("English (UK)") << QLocale(QLocale::English, QLocale::UnitedKingdom) << "14 March 2025";
        QTest::newRow("English (US)") << QLocale(QLocale::English, QLocale::UnitedStates) << "March 14, 2025";
        QTest::newRow("German") << QLocale(QLocale::German, QLocale::Germany) << "14. M\u00e4rz 2025";
        QTest::newRow("French") << QLocale(QLocale::French, QLocale::France) << "14 mars 2025";
    }

    void longDate() {
        QFETCH(QLocale, locale);
        QLocale::setDefault(locale);
        const QString date = UsageExport::longDate(day());
        pinZoneAndLocale();
        QTEST(date, "date");
    }
};

PENDLOW_TEST_MAIN(UsageExportTest)
#include "tst_UsageExport.moc"
