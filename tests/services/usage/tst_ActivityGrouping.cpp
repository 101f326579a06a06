// Activity blocks, per-task summaries and the Markdown day report.
#include "support/TestMain.h"

#include "services/usage/ActivityGrouping.h"
#include "support/FakeClock.h"
#include "support/TestSettings.h"
#include "support/UsageSamples.h"

using namespace usagesamples;

namespace {
AppUsageSession app(const QString& name, const QString& from, const QString& to,
                    const std::optional<QString>& task = std::nullopt) {
    return session(QStringLiteral("id.") + name, name, at(from), at(to), task);
}

QStringList blockSpans(const QList<ActivityBlock>& blocks) {
    QStringList spans;
    for (const ActivityBlock& block : blocks) {
        spans << block.startTime.time().toString(QStringLiteral("hh:mm:ss")) + QLatin1Char('-') +
                     block.endTime.time().toString(QStringLiteral("hh:mm:ss")) + QLatin1Char('/') +
                     QString::number(block.sessions.size());
    }
    return spans;
}
} // namespace

class ActivityGroupingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void blocks_data() {
        QTest::addColumn<int>("gapMinutes");
        QTest::addColumn<QList<AppUsageSession>>("sessions");
        QTest::addColumn<QStringList>("spans");
        QTest::newRow("pause of exactly the gap stays")
            << 0 << QList<AppUsageSession>{app("A", "10:00", "10:20"), app("B", "10:35", "10:50")}
            << QStringList{"10:00:00-10:50:00/2"};
        QTest::newRow("one second more splits")
            << 0 << QList<AppUsageSession>{app("A", "10:00", "10:20"), app("B", "10:35:01", "10:50")}
            << QStringList{"10:00:00-10:20:00/1", "10:35:01-10:50:00/1"};
        QTest::newRow("gap setting of 5 minutes")
            << 5 << QList<AppUsageSession>{app("A", "10:00", "10:20"), app("B", "10:26", "10:30")}
            << QStringList{"10:00:00-10:20:00/1", "10:26:00-10:30:00/1"};
        QTest::newRow("unsorted input")
            << 0 << QList<AppUsageSession>{app("B", "13:00", "13:10"), app("A", "09:00", "09:10")}
            << QStringList{"09:00:00-09:10:00/1", "13:00:00-13:10:00/1"};
        // A short session inside a long one does not shorten the block: the next session, 20 minutes
        // after the short one but within the long one, stays in it.
        QTest::newRow("end is the latest end seen")
            << 0
            << QList<AppUsageSession>{app("Long", "09:00", "12:00"), app("Short", "09:10", "09:20"),
                                      app("Next", "09:45", "10:00")}
            << QStringList{"09:00:00-12:00:00/3"};
    }

    void blocks() {
        QFETCH(int, gapMinutes);
        QFETCH(QList<AppUsageSession>, sessions);
        TestSettings settings;
        settings.setActivityBlockGapMinutes(gapMinutes);
        QTEST(blockSpans(ActivityGrouping(settings).groupIntoBlocks(sessions)), "spans");
    }

    void openSessionEndsTheBlockNow() {
        const FakeClock clock(at(QStringLiteral("11:42")));
        TestSettings settings;
        const QList<ActivityBlock> blocks = ActivityGrouping(settings).groupIntoBlocks(
            {app("A", "11:00", "11:30"),
             session(QStringLiteral("b"), QStringLiteral("B"), at(QStringLiteral("11:30")), std::nullopt)});
        QCOMPARE(blocks.size(), 1);
        QCOMPARE(blocks[0].endTime, at(QStringLiteral("11:42")));
        QCOMPARE(blocks[0].formattedDuration(), QStringLiteral("42m"));
    }

    void dominantTask() {
        QCOMPARE(ActivityGrouping::dominantTaskId({app("X", "09:00", "09:20", QStringLiteral("A")),
                                                   app("Y", "09:20", "09:50", QStringLiteral("B")),
                                                   app("Z", "09:50", "10:50")}),
                 QStringLiteral("B"));
        QCOMPARE(ActivityGrouping::dominantTaskId({app("Z", "09:50", "10:50")}), std::nullopt);
        // A tie goes to the task met first.
        QCOMPARE(ActivityGrouping::dominantTaskId({app("X", "09:00", "09:20", QStringLiteral("A")),
                                                   app("Y", "09:20", "09:40", QStringLiteral("B")),
                                                   app("W", "09:40", "09:50", QStringLiteral("B")),
                                                   app("V", "09:50", "10:00", QStringLiteral("A"))}),
                 QStringLiteral("A"));
    }

    void tasksUntrackedFirstThenLongest() {
        TestSettings settings;
        const QList<TaskUsageSummary> summaries = ActivityGrouping(settings).groupByTask(
            {app("X", "09:00", "10:00", QStringLiteral("A")), app("Y", "10:00", "12:00", QStringLiteral("B")),
             app("Z", "12:00", "12:10"), app("Q", "12:10", "12:20", QStringLiteral("A"))});
        QCOMPARE(summaries.size(), 3);
        QCOMPARE(summaries[0].taskId, std::nullopt);
        QCOMPARE(summaries[1].taskId, QStringLiteral("B"));
        QCOMPARE(summaries[2].taskId, QStringLiteral("A"));
        QCOMPARE(summaries[2].sessions.size(), 2);
        QCOMPARE(summaries[2].formattedDuration(), QStringLiteral("1h 10m"));
        QCOMPARE(summaries[2].appNames(), (QStringList{QStringLiteral("Q"), QStringLiteral("X")}));
        QVERIFY(ActivityGrouping(settings).groupByTask({}).isEmpty());
    }

    void markdownReport() {
        const FakeClock clock(at(QStringLiteral("18:00")));
        TestSettings settings;
        AppUsageSession code =
            session(QStringLiteral("com.microsoft.VSCode"), QStringLiteral("Code"),
                    at(QStringLiteral("09:00")), at(QStringLiteral("10:00")), QStringLiteral("86abc"));
        code.addCapture(capture(QStringLiteral("main.py - shop - Visual Studio Code")));
        code.addCapture(redacted());
        AppUsageSession codium =
            session(QStringLiteral("com.vscodium"), QStringLiteral("Code"), at(QStringLiteral("10:00")),
                    at(QStringLiteral("10:30")), QStringLiteral("86abc"));
        AppUsageSession chrome = session(QStringLiteral("com.google.Chrome"), QStringLiteral("Chrome"),
                                         at(QStringLiteral("11:00")), at(QStringLiteral("11:20")));
        chrome.addCapture(capture(QStringLiteral("Docs - Chrome"), at(QStringLiteral("11:05")),
                                  QStringLiteral("https://example.org/docs")));
        const QString report =
            ActivityGrouping(settings).generateMarkdownReport(day(), {code, codium, chrome});
        QCOMPARE(report,
                 QStringLiteral(
                     "# App Usage Report\n\n"
                     "**Date:** Friday, 14 March 2025\n\n"
                     "**Total Active Time:** 1h 50m | **Tracked:** 1h 30m (81%) | **Untracked:** 20m\n\n"
                     "---\n\n"
                     "## Timeline\n\n"
                     "### 09:00 - 10:30 (1h 30m)\n\n"
                     "**Apps:** Code (1h 30m)\n\n"
                     "**Task:** 86abc\n\n"
                     "**Context:**\n"
                     "- main.py\n\n"
                     "**Window History:**\n"
                     "- main.py - shop - Visual Studio Code\n\n"
                     "---\n\n"
                     "### 11:00 - 11:20 (20m)\n\n"
                     "**Apps:** Chrome (20m)\n\n"
                     "**Context:**\n"
                     "- example.org: Docs\n\n"
                     "**Window History:**\n"
                     "- Docs - Chrome\n\n"
                     "---\n\n"
                     "## By Task\n\n"
                     "### \u25CB Untracked (20m)\n\n"
                     "- **Apps:** Chrome\n"
                     "- **Context:** example.org: Docs\n"
                     "- **Window Titles:**\n"
                     "  - Docs - Chrome\n"
                     "- **Time Range:** 11:00 - 11:20\n\n"
                     "### \u2713 86abc (1h 30m)\n\n"
                     "- **Apps:** Code\n"
                     "- **Context:** main.py\n"
                     "- **Window Titles:**\n"
                     "  - main.py - shop - Visual Studio Code\n"
                     "- **Time Range:** 09:00 - 10:30\n\n"
                     "---\n\n"
                     "## App Summary\n\n"
                     "| App | Duration | % of Total |\n"
                     "|-----|----------|------------|\n"
                     "| Code | 1h 30m | 81% |\n"
                     "| Chrome | 20m | 18% |\n"
                     "\n---\n\n"
                     "*Generated by Pendlow*\n"));
    }

    void markdownReportOfAnEmptyDay() {
        TestSettings settings;
        const QString report = ActivityGrouping(settings).generateMarkdownReport(day(), {});
        QVERIFY(report.contains(
            QStringLiteral("**Total Active Time:** <1m | **Tracked:** <1m (0%) | **Untracked:** <1m\n\n")));
        QVERIFY(report.contains(QStringLiteral("## Timeline\n\n## By Task\n\n---\n\n## App Summary")));
        QVERIFY(report.endsWith(
            QStringLiteral("|-----|----------|------------|\n\n---\n\n*Generated by Pendlow*\n")));
    }
};

PENDLOW_TEST_MAIN(ActivityGroupingTest)
#include "tst_ActivityGrouping.moc"
