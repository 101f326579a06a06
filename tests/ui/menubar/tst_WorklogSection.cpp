// The worked-on list: grouping by task and its order, the totals (a running entry counts up to
// now), the loading, empty, no-match and error lines, collapsing, the name shortening, and the
// start-timer action of the rows, also for entries that have no task; a refresh that brings nothing
// new leaves the rows alone.
#include "support/AppStateFixture.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/SectionMessage.h"
#include "ui/kit/TagLabel.h"
#include "ui/kit/TaskContextMenu.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/TaskTimerStart.h"
#include "ui/menubar/TimeEntryGroupRow.h"
#include "ui/menubar/WorklogSection.h"

#include <memory>

namespace {
const QDateTime kToday(QDate(2026, 3, 2), QTime(14, 0));

TimeEntry entry(const QString& id, const QString& taskId, const QString& taskName, const QTime& start,
                int minutes, TaskStatus status = TaskStatus::inProgress) {
    TimeEntry e;
    e.id = id;
    e.taskId = taskId;
    e.taskName = taskName;
    e.taskUrl = taskId.isEmpty() ? QUrl() : QUrl(QStringLiteral("https://app.clickup.com/t/") + taskId);
    e.status = status;
    e.startTime = QDateTime(kToday.date(), start);
    e.duration = double(minutes) * 60 * 1000;
    e.endTime = e.startTime.addMSecs(qint64(e.duration));
    return e;
}

QList<TimeEntryGroupRow*> rows(const WorklogSection& section) {
    return section.findChildren<TimeEntryGroupRow*>();
}

QStringList rowTexts(const WorklogSection& section) {
    QStringList texts;
    for (const TimeEntryGroupRow* row : rows(section)) {
        texts << row->nameText() + u'|' + row->durationText();
    }
    return texts;
}

QStringList messages(const WorklogSection& section) {
    QStringList texts;
    for (const SectionMessage* message : section.findChildren<SectionMessage*>()) {
        const QString kind = message->kind() == SectionMessage::Kind::error     ? QStringLiteral("error: ")
                             : message->kind() == SectionMessage::Kind::loading ? QStringLiteral("loading: ")
                                                                                : QString();
        texts << kind + message->text();
    }
    return texts;
}

QString badge(const WorklogSection& section) {
    const auto* label = section.findChild<TagLabel*>(QStringLiteral("countBadge"));
    return label ? label->text() : QString();
}
} // namespace

class WorklogSectionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<WorklogSection> m_section;

    AppState& state() { return m_fixture->state(); }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<AppStateFixture>(kToday);
        m_fixture->configureClickUp();
        m_section = std::make_unique<WorklogSection>(*state().worklogState(), *state().searchState(),
                                                     MenuBarView::taskActions(state()));
    }

    void cleanup() {
        m_section.reset();
        m_fixture.reset();
    }

    void groupsByTaskNewestFirst() {
        // Newest first, as the worklog keeps them; task A's first entry is not its newest.
        state().worklogState()->setTimeEntries({
            entry("e1", "B", "Review", QTime(13, 0), 15, TaskStatus::inReview),
            entry("e2", "A", "Fix login (renamed)", QTime(12, 0), 30, TaskStatus::codeReview),
            entry("e3", "A", "Fix login", QTime(12, 30), 45, TaskStatus::inProgress),
            entry("e4", "A", "Fix login", QTime(9, 0), 60),
        });

        QCOMPARE(rowTexts(*m_section), (QStringList{"Review|00:15", "Fix login (renamed)|02:15"}));
        const TimeEntryGroup group = rows(*m_section).at(1)->group();
        // Name, link and status come from the group's first entry in the worklog's order.
        QCOMPARE(group.status, TaskStatus::codeReview);
        QCOMPARE(group.taskUrl, QUrl(QStringLiteral("https://app.clickup.com/t/A")));
        QCOMPARE(group.entries.size(), 3);
        QCOMPARE(group.entries.constFirst().id, QStringLiteral("e3")); // newest start first
        // The badge counts entries, not tasks.
        QCOMPARE(badge(*m_section), QStringLiteral("4"));
    }

    void groupsOrderByTheirNewestEntry() {
        // Groups order by their newest entry even when the entries come in another order.
        const QList<TimeEntryGroup> groups = TimeEntryGroup::makeGroups({
            entry("e1", "A", "A", QTime(9, 0), 10),
            entry("e2", "B", "B", QTime(10, 0), 10),
            entry("e3", "A", "A", QTime(11, 0), 10),
        });
        QCOMPARE(groups.size(), 2);
        QCOMPARE(groups.at(0).taskId, QStringLiteral("A"));
        QCOMPARE(groups.at(1).taskId, QStringLiteral("B"));
    }

    void runningEntryCountsUpToNow() {
        TimeEntry running = entry("r", "A", "Fix login", QTime(13, 40), 0);
        running.duration = -double(running.startTime.toMSecsSinceEpoch());
        running.endTime = running.startTime;
        state().worklogState()->setTimeEntries({running, entry("e1", "A", "Fix login", QTime(9, 0), 30)});
        QCOMPARE(rowTexts(*m_section), QStringList{"Fix login|00:50"});

        // A running entry that seems to start in the future adds nothing.
        running.startTime = kToday.addSecs(600);
        running.duration = -double(running.startTime.toMSecsSinceEpoch());
        state().worklogState()->setTimeEntries({running});
        QCOMPARE(rowTexts(*m_section), QStringList{"Fix login|00:00"});
    }

    void entriesWithoutATaskStartNoTimer() {
        state().worklogState()->setTimeEntries({entry("e1", "", "Unknown Task", QTime(9, 0), 30),
                                                entry("e2", "", "Unknown Task", QTime(8, 0), 30)});
        QCOMPARE(rowTexts(*m_section), QStringList{"Unknown Task|01:00"});
        std::unique_ptr<TaskContextMenu> menu(rows(*m_section).constFirst()->createContextMenu());
        QVERIFY(!menu->startTimerAction()->isEnabled());
        QVERIFY(!menu->copyTaskIdAction()->isEnabled());

        // The timer state refuses an empty task id as well: a start would first stop the running timer.
        startTimerOnTask(*state().timerState(), AppStateFixture::teamId, false, QString());
        QTRY_VERIFY(state().timerState()->error());
        QVERIFY(m_fixture->clickUp.calls().isEmpty());
    }

    void startTimerFromTheRow_data() {
        QTest::addColumn<bool>("silent");
        QTest::newRow("notifies") << false;
        QTest::newRow("silent mode") << true;
    }

    void startTimerFromTheRow() {
        QFETCH(bool, silent);
        if (silent) {
            m_fixture->enableSilentMode();
        }
        state().worklogState()->setTimeEntries({entry("e1", "86abc", "Fix login", QTime(9, 0), 30)});
        std::unique_ptr<TaskContextMenu> menu(rows(*m_section).constFirst()->createContextMenu());
        menu->startTimerAction()->trigger();

        QTRY_VERIFY(state().timerState()->activeTimer());
        m_fixture->checkOneTimerStart(QStringLiteral("86abc"));
        QCOMPARE(m_fixture->notifications.eventsStartingWith(QStringLiteral("timerStarted:")).isEmpty(),
                 silent);
    }

    void linesInPlaceOfTheRows_data() {
        QTest::addColumn<bool>("hasEntries");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<bool>("loading");
        QTest::addColumn<bool>("failed");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("badge");
        const QString error = QStringLiteral("error: Server error: 500");
        QTest::newRow("no entries") << false << "" << false << false << 0
                                    << QStringList{"No time entries today"} << "";
        QTest::newRow("filter matching nothing")
            << true << "xyz" << false << false << 0 << QStringList{"No entries match 'xyz'"} << "";
        QTest::newRow("filter, no entries at all")
            << false << "xyz" << false << false << 0 << QStringList{"No time entries today"} << "";
        QTest::newRow("filter by task id, any case")
            << true << "86ABC" << false << false << 1 << QStringList{} << "1";
        QTest::newRow("first load") << false << "" << true << false << 0 << QStringList{"loading: Loading..."}
                                    << "";
        QTest::newRow("loading with entries held")
            << true << "" << true << false << 1 << QStringList{} << "1";
        QTest::newRow("error below the rows")
            << true << "" << false << true << 1 << QStringList{error} << "1";
        QTest::newRow("error below the empty line")
            << false << "" << false << true << 0 << QStringList{"No time entries today", error} << "";
    }

    void linesInPlaceOfTheRows() {
        QFETCH(bool, hasEntries);
        QFETCH(QString, filter);
        QFETCH(bool, loading);
        QFETCH(bool, failed);
        QFETCH(int, rowCount);
        QFETCH(QStringList, lines);
        QFETCH(QString, badge);
        if (hasEntries) {
            state().worklogState()->setTimeEntries({entry("e1", "86abc", "Fix login", QTime(9, 0), 30)});
        }
        state().searchState()->setSearchText(filter);
        state().worklogState()->setIsLoading(loading);
        if (failed) {
            state().worklogState()->setError(APIError::httpError(500, std::nullopt));
        }
        QCOMPARE(rows(*m_section).size(), rowCount);
        QCOMPARE(messages(*m_section), lines);
        QCOMPARE(::badge(*m_section), badge);
    }

    void collapsingHidesAllButTheHeader() {
        state().worklogState()->setTimeEntries({entry("e1", "86abc", "Fix login", QTime(9, 0), 30)});
        state().worklogState()->setError(APIError::httpError(500, std::nullopt));
        auto* header = m_section->findChild<DisclosureHeader*>(QStringLiteral("worklogHeader"));
        QVERIFY(header);
        QVERIFY(header->isExpanded());

        m_section->resize(340, 200);
        m_section->show();
        QTest::mouseClick(header, Qt::LeftButton);
        QVERIFY(!m_section->isExpanded());
        QVERIFY(!header->isExpanded());
        QVERIFY(rows(*m_section).isEmpty());
        QVERIFY(messages(*m_section).isEmpty());
        QCOMPARE(badge(*m_section), QStringLiteral("1")); // the count stays

        QTest::mouseClick(header, Qt::LeftButton);
        QCOMPARE(rows(*m_section).size(), 1);
    }

    void followsTheStates() {
        QCOMPARE(messages(*m_section), QStringList{"No time entries today"});
        state().worklogState()->setTimeEntries({entry("e1", "86abc", "Fix login", QTime(9, 0), 30),
                                                entry("e2", "77xyz", "Deploy", QTime(8, 0), 30)});
        QCOMPARE(rows(*m_section).size(), 2);
        state().searchState()->setSearchText(QStringLiteral("DEPLOY"));
        QCOMPARE(rowTexts(*m_section), QStringList{"Deploy|00:30"});
        QCOMPARE(badge(*m_section), QStringLiteral("1"));
    }

    void aRefreshThatChangesNothingKeepsTheRows() {
        m_fixture->clickUp.timeEntries = {entry("e1", "86abc", "Fix login", QTime(9, 0), 30),
                                          entry("e2", "77xyz", "Deploy", QTime(8, 0), 30)};
        QVERIFY(!awaitTask(state().worklogState()->fetchTimeEntries(AppStateFixture::teamId)).failed());
        const QList<TimeEntryGroupRow*> before = rows(*m_section);
        QCOMPARE(before.size(), 2);

        // Loading, then the same entries again: the rows on screen stay, under the pointer too.
        m_fixture->clickUp.hold(FakeClickUpAPI::getTimeEntriesOp);
        auto refresh = state().worklogState()->fetchTimeEntries(AppStateFixture::teamId);
        QVERIFY(state().worklogState()->isLoading());
        QCOMPARE(rows(*m_section), before);
        m_fixture->clickUp.release(FakeClickUpAPI::getTimeEntriesOp);
        QVERIFY(!awaitTask(std::move(refresh)).failed());
        QVERIFY(!state().worklogState()->isLoading());
        QCOMPARE(rows(*m_section), before);
    }

    void longNamesAreShortened_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        const QString n35 = QStringLiteral("a").repeated(35);
        QTest::newRow("35 characters: whole") << n35 << n35;
        QTest::newRow("36 characters: 32 and dots")
            << QStringLiteral("b").repeated(36) << QStringLiteral("b").repeated(32) + QStringLiteral("...");
        const QString accented = QStringLiteral("e\u0301");
        QTest::newRow("35 accented letters: whole") << accented.repeated(35) << accented.repeated(35);
        QTest::newRow("shown as stored, tags and all")
            << QStringLiteral("Fix #bug +3 days") << QStringLiteral("Fix #bug +3 days");
    }

    void longNamesAreShortened() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        state().worklogState()->setTimeEntries({entry("e1", "86abc", name, QTime(9, 0), 30)});
        QCOMPARE(rows(*m_section).constFirst()->nameText(), shown);
    }
};

PENDLOW_TEST_MAIN(WorklogSectionTest)
#include "tst_WorklogSection.moc"
