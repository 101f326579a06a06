// The ClickUp values the application shows: their texts, links, statuses and time rules.
#include "support/FakeClock.h"
#include "support/TestMain.h"

#include "services/clickup/ClickUpConversions.h"

#include <QSet>
#include <QVariant>

#include <limits>

namespace {
const QDateTime nineOClock(QDate(2026, 3, 2), QTime(9, 0));
}

class ClickUpModels : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void millisecondTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<qint64>("value");
        constexpr qint64 max = std::numeric_limits<qint64>::max();
        constexpr qint64 min = std::numeric_limits<qint64>::min();
        QTest::newRow("digits") << "1772438400000" << true << qint64(1772438400000);
        QTest::newRow("plus sign") << "+42" << true << qint64(42);
        QTest::newRow("minus sign") << "-1772438400000" << true << qint64(-1772438400000);
        QTest::newRow("leading zeros") << "007" << true << qint64(7);
        QTest::newRow("largest") << "9223372036854775807" << true << max;
        QTest::newRow("smallest") << "-9223372036854775808" << true << min;
        QTest::newRow("one past the largest") << "9223372036854775808" << false << qint64(0);
        QTest::newRow("one past the smallest") << "-9223372036854775809" << false << qint64(0);
        QTest::newRow("far too large") << "99999999999999999999" << false << qint64(0);
        QTest::newRow("empty") << "" << false << qint64(0);
        QTest::newRow("sign alone") << "-" << false << qint64(0);
        QTest::newRow("two signs") << "+-1" << false << qint64(0);
        QTest::newRow("leading space") << " 1" << false << qint64(0);
        QTest::newRow("trailing space") << "1 " << false << qint64(0);
        QTest::newRow("fraction") << "1.0" << false << qint64(0);
        QTest::newRow("exponent") << "1e3" << false << qint64(0);
        QTest::newRow("hex") << "0x10" << false << qint64(0);
        QTest::newRow("non-ASCII digits") << QStringLiteral("\u0661\u0662") << false << qint64(0);
    }

    void millisecondTexts() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const auto parsed = parseMilliseconds(text);
        QCOMPARE(parsed.has_value(), valid);
        if (valid) {
            QTEST(*parsed, "value");
        }
    }

    void extremeMillisecondsStillGiveADate() {
        for (qint64 ms :
             {std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::min(), qint64(0)}) {
            const QDateTime date = dateFromMilliseconds(ms);
            QVERIFY(date.isValid());
            QCOMPARE(date.toMSecsSinceEpoch(), ms);
        }
    }

    void taskLinksKeepTheIdInOneSegment_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("link");
        QTest::newRow("plain id") << "86c0abcde"
                                  << "https://app.clickup.com/t/86c0abcde";
        QTest::newRow("slash and query") << "a/b?c=1"
                                         << "https://app.clickup.com/t/a%2Fb%3Fc%3D1";
        QTest::newRow("fragment and space") << "x#y z"
                                            << "https://app.clickup.com/t/x%23y%20z";
        QTest::newRow("host change attempt") << "@evil.example"
                                             << "https://app.clickup.com/t/%40evil.example";
        QTest::newRow("empty id") << ""
                                  << "https://app.clickup.com/t/";
    }

    void taskLinksKeepTheIdInOneSegment() {
        QFETCH(QString, id);
        const QUrl link = clickUpTaskUrl(id);
        QVERIFY(link.isValid());
        QCOMPARE(link.host(), QStringLiteral("app.clickup.com"));
        QVERIFY(!link.hasQuery() && !link.hasFragment());
        QCOMPARE(link.path(QUrl::FullyDecoded), QStringLiteral("/t/") + id);
        QTEST(link.toString(QUrl::FullyEncoded), "link");
    }

    void usableLinks_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("usable");
        QTest::newRow("https") << "https://app.clickup.com/t/abc" << true;
        QTest::newRow("http") << "http://app.clickup.com/t/abc" << true;
        QTest::newRow("words") << "not a url" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("relative") << "t/abc" << false;
        QTest::newRow("no host") << "https://" << false;
        QTest::newRow("script") << "javascript:alert(1)" << false;
        QTest::newRow("local file") << "file:///etc/passwd" << false;
    }

    void usableLinks() {
        QFETCH(QString, text);
        QTEST(parseTaskLink(text).has_value(), "usable");
    }

    void webAppStartPage() { QCOMPARE(clickUpWebAppUrl(), QUrl(QStringLiteral("https://app.clickup.com"))); }

    void elapsedTime_data() {
        QTest::addColumn<qint64>("secondsAgo");
        QTest::addColumn<QString>("text");
        QTest::newRow("just started") << qint64(0) << "00:00";
        QTest::newRow("59 seconds") << qint64(59) << "00:00";
        QTest::newRow("1 h 5 min 59 s") << qint64(3959) << "01:05";
        QTest::newRow("past a day") << qint64(25 * 3600 + 60) << "25:01";
        QTest::newRow("100 hours") << qint64(100 * 3600) << "100:00";
        QTest::newRow("start ahead of the clock") << qint64(-3900) << "00:00";
    }

    void elapsedTime() {
        QFETCH(qint64, secondsAgo);
        FakeClock clock(nineOClock);
        ActiveTimer timer{QStringLiteral("t1"), QString(), QStringLiteral("Unknown Task"), clickUpWebAppUrl(),
                          nineOClock.addSecs(-secondsAgo)};
        QTEST(timer.elapsedTimeString(), "text");
    }

    // A running entry counts from its start to now when shown or summed, never negatively.
    void effectiveDuration_data() {
        QTest::addColumn<QDateTime>("start");
        QTest::addColumn<double>("duration");
        QTest::addColumn<double>("effective");
        QTest::newRow("finished entry") << nineOClock << 5400000.0 << 5400000.0;
        QTest::newRow("zero length") << nineOClock << 0.0 << 0.0;
        QTest::newRow("running since 9:00")
            << nineOClock << -double(nineOClock.toMSecsSinceEpoch()) << 2.5 * 3600 * 1000;
        QTest::newRow("running, start ahead of the clock")
            << nineOClock.addSecs(3 * 3600) << -double(nineOClock.addSecs(3 * 3600).toMSecsSinceEpoch())
            << 0.0;
    }

    void effectiveDuration() {
        QFETCH(QDateTime, start);
        QFETCH(double, duration);
        FakeClock clock(nineOClock.addSecs(150 * 60));
        TimeEntry entry;
        entry.startTime = start;
        entry.endTime = start;
        entry.duration = duration;
        QTEST(entry.effectiveDuration(), "effective");
        QCOMPARE(entry.isRunning(), duration < 0);
    }

    void runningEntryGrowsWithTheClock() {
        FakeClock clock(nineOClock.addSecs(60));
        TimeEntry entry;
        entry.startTime = nineOClock;
        entry.duration = -double(nineOClock.toMSecsSinceEpoch());
        QCOMPARE(entry.effectiveDuration(), 60000.0);
        clock.advance(60);
        QCOMPARE(entry.effectiveDuration(), 120000.0);
    }

    void timeRangeText() {
        TimeEntry entry;
        entry.startTime = nineOClock;
        entry.endTime = QDateTime(nineOClock.date(), QTime(10, 30));
        QCOMPARE(entry.timeRangeText(), QStringLiteral("[09:00 - 10:30]"));
        // The same moments given in UTC still read in local time.
        entry.startTime = nineOClock.toUTC();
        entry.endTime = entry.endTime.toUTC();
        QCOMPARE(entry.timeRangeText(), QStringLiteral("[09:00 - 10:30]"));
    }

    void initials_data() {
        QTest::addColumn<QString>("username");
        QTest::addColumn<QString>("initials");
        QTest::newRow("three words") << "jane doe smith"
                                     << "JD";
        QTest::newRow("two characters") << "ab"
                                        << "AB";
        QTest::newRow("one word") << "abc"
                                  << "AB";
        QTest::newRow("one character") << "x"
                                       << "X";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("extra spaces between words") << "  jane   doe "
                                                    << "JD";
        QTest::newRow("one word with a leading space") << " ab"
                                                       << " A";
        QTest::newRow("accented letters") << QStringLiteral("\u00e9mile zola") << QStringLiteral("\u00c9Z");
        QTest::newRow("letters outside the basic plane")
            << QStringLiteral("\U0001D4D0nna \U0001D4D1ob") << QStringLiteral("\U0001D4D0\U0001D4D1");
        QTest::newRow("combining accent stays whole")
            << QStringLiteral("e\u0301lan") << QStringLiteral("E\u0301L");
    }

    void initials() {
        QFETCH(QString, username);
        const ClickUpAssignee assignee{7, username, std::nullopt, std::nullopt};
        QTEST(assignee.initials(), "initials");
    }

    void taskStatusVocabulary() {
        const QStringList raw{QStringLiteral("in progress"),         QStringLiteral("in review"),
                              QStringLiteral("code review"),         QStringLiteral("needs quote"),
                              QStringLiteral("needs clarification"), QStringLiteral("other")};
        QCOMPARE(allTaskStatuses().size(), raw.size());
        for (qsizetype i = 0; i < raw.size(); ++i) {
            QCOMPARE(rawValue(allTaskStatuses()[i]), raw[i]);
            QCOMPARE(taskStatusFromRawValue(raw[i]), allTaskStatuses()[i]);
        }
        QCOMPARE(allTaskStatuses().first(), TaskStatus::inProgress);
        QCOMPARE(allTaskStatuses().last(), TaskStatus::other);
        // Raw values match exactly; normalising is taskStatusFromText's job.
        for (const char* text : {"In Progress", " in review", "done", ""}) {
            QCOMPARE(taskStatusFromRawValue(QString::fromLatin1(text)), std::nullopt);
        }
        QCOMPARE(taskStatusFromText(u" In Review "), TaskStatus::inReview);
        QCOMPARE(taskStatusFromText(u"CODE REVIEW"), TaskStatus::codeReview);
        QCOMPARE(taskStatusFromText(u"Done"), TaskStatus::other);
        // Usable as a value in sets and variants.
        QCOMPARE(QVariant::fromValue(TaskStatus::needsQuote).value<TaskStatus>(), TaskStatus::needsQuote);
        const QSet<TaskStatus> set{TaskStatus::inReview, TaskStatus::inReview, TaskStatus::other};
        QCOMPARE(set.size(), 2);
    }
};

PENDLOW_TEST_MAIN(ClickUpModels)
#include "tst_ClickUpModels.moc"
