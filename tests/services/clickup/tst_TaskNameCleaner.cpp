// Task names as rows show them: tags, day counts and stray characters removed.
#include "support/TestMain.h"

#include "services/clickup/TaskNameCleaner.h"

class TaskNameCleaner : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleansNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cleaned");

        QTest::newRow("tags only") << "#bug #frontend"
                                   << "";
        QTest::newRow("capital tag is a plain hashtag") << "#BUG fix"
                                                        << "fix";
        QTest::newRow("bug tag inside a word keeps the rest") << "a#bugb"
                                                              << "a b";
        QTest::newRow("day count with planned") << "Client - Fix login +3 days planned"
                                                << "Client - Fix login";
        QTest::newRow("overdue day count") << "Fix -2 overdue days planned"
                                           << "Fix";
        QTest::newRow("one day") << "Call 1 day"
                                 << "Call";
        QTest::newRow("day count swallows the blank after it") << "Holiday 2 days off"
                                                               << "Holidayoff";
        QTest::newRow("overdue after the word day stays") << "Fix bug 3 days overdue"
                                                          << "Fix bugoverdue";
        QTest::newRow("day count in capitals") << "Review 4 DAYS"
                                               << "Review";
        QTest::newRow("final planned") << "Sprint planned"
                                       << "Sprint";
        QTest::newRow("planned inside stays") << "planned work"
                                              << "planned work";
        QTest::newRow("kept punctuation") << "Report (Q1) 50% done = ok"
                                          << "Report (Q1) 50% done = ok";
        QTest::newRow("plus and hash kept") << "C++ #"
                                            << "C++ #";
        QTest::newRow("colon and slash dropped") << "Deploy: v2/api"
                                                 << "Deploy v2api";
        QTest::newRow("time") << "Meeting 10:30"
                              << "Meeting 1030";
        QTest::newRow("waiting tag") << "Task #waiting for customer"
                                     << "Task";
        QTest::newRow("not billable tag") << "Task #not billable now"
                                          << "Task now";
        QTest::newRow("quotes, brackets, underscore") << "\"Fix\" [ui] snake_case"
                                                      << "Fix ui snakecase";
        QTest::newRow("emoji") << QString::fromUtf8("Launch \xF0\x9F\x9A\x80 day") << "Launch day";
        QTest::newRow("letters of other scripts")
            << QString::fromUtf8("Caf\xC3\xA9 \xD0\x9C\xD0\xB8\xD1\x80")
            << QString::fromUtf8("Caf\xC3\xA9 \xD0\x9C\xD0\xB8\xD1\x80");
        QTest::newRow("combining mark")
            << QString::fromUtf8("Cafe\xCC\x81") << QString::fromUtf8("Cafe\xCC\x81");
        QTest::newRow("letter beyond the BMP")
            << QString::fromUtf8("\xF0\x9D\x92\x9C team") << QString::fromUtf8("\xF0\x9D\x92\x9C team");
        QTest::newRow("runs of spaces collapse") << "a     b"
                                                 << "a b";
        QTest::newRow("tabs and no-break spaces trimmed")
            << QString::fromUtf8("\t\xC2\xA0 name \t") << "name";
        QTest::newRow("line breaks dropped") << "two\nlines"
                                             << "twolines";
        QTest::newRow("empty") << ""
                               << "";
    }

    void cleansNames() {
        QFETCH(QString, name);
        QFETCH(QString, cleaned);
        QCOMPARE(cleanTaskName(name), cleaned);
    }
};

PENDLOW_TEST_MAIN(TaskNameCleaner)
#include "tst_TaskNameCleaner.moc"
