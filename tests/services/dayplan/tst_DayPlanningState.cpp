// The day-planning state over a fake ClickUp and a plan store in a folder of its own: adding by drop
// and by button with the placement rules, the free start time, the timeline list and totals, loading
// and changing the day, assignees, and moving and deleting planned and ClickUp entries.
#include "support/ClickUpSamples.h"
#include "support/DayPlanRig.h"
#include "support/DayPlanSamples.h"
#include "support/FakeClickUpAPI.h"
#include "support/LogCapture.h"
#include "support/PlanningSamples.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "services/clickup/APIError.h"
#include "services/dayplan/DayPlanningState.h"
#include "services/dayplan/DayPlanningStorageService.h"
#include "services/tools/PlanningState.h"

#include <QFile>
#include <QSignalSpy>

#include <memory>

namespace {
const QDate day(2025, 3, 10);
const QString team = QStringLiteral("9001");

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A ClickUp entry of the day from start to end ("HH:mm").
TimeEntry clickUpEntry(const QString& id, const QString& start, const QString& end, const QDate& on = day) {
    const QDateTime from = at(on, start);
    QDateTime to = at(on, end);
    if (to < from) {
        to = to.addDays(1);
    }
    return finishedEntry(id, from, from.secsTo(to) / 60);
}

QString ranges(const QList<PlannedTimeEntry>& entries) {
    QStringList parts;
    for (const PlannedTimeEntry& entry : entries) {
        parts.append(entry.taskName + entry.timeRangeText() + rawValue(entry.syncStatus));
    }
    return parts.join(',');
}
} // namespace

class DayPlanningStateTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<DayPlanRig<>> m_rig;
    // The rig's parts the tests use most.
    DayPlanningStorageService* m_store = nullptr;
    FakeClickUpAPI* m_clickUp = nullptr;
    DayPlanningState* m_state = nullptr;

    DayPlanningState& state() { return *m_state; }
    QString planPath() const { return m_store->filePath(at(day, "12:00")); }
    QList<PlannedTimeEntry> stored() const { return m_store->loadEntries(at(day, "12:00")); }

    // Puts entries into the day's file and loads them, with the ClickUp entries given.
    void seed(const QList<PlannedTimeEntry>& planned, const QList<TimeEntry>& clickUp = {}) {
        m_rig->seed(at(day, "12:00"), planned, clickUp, team);
    }

    PlannedTimeEntry listed(const QString& name) const {
        for (const PlannedTimeEntry& entry : m_state->plannedEntries()) {
            if (entry.taskName == name) {
                return entry;
            }
        }
        return {};
    }

private Q_SLOTS:
    void initTestCase() { useBerlinTime(); }

    void init() {
        m_rig = std::make_unique<DayPlanRig<>>(at(day, "08:30"));
        m_rig->open(at(day, "08:30"));
        m_store = &m_rig->store;
        m_clickUp = &m_rig->fakeClickUp;
        m_state = m_rig->state.get();
    }

    void cleanup() { m_rig.reset(); }

    void addsDroppedTasks_data() {
        QTest::addColumn<QString>("client");
        QTest::addColumn<QString>("task");
        QTest::addColumn<double>("duration");
        QTest::addColumn<QString>("dropAt");
        QTest::addColumn<QString>("expected");
        // The payload carries the name its list shows; the drop keeps it as it is.
        QTest::newRow("client and task") << "Acme"
                                         << "Acme - Website" << 3000.0 << "10:07"
                                         << "Acme - Website[10:00 - 10:45]local";
        QTest::newRow("short task gets a quarter") << "Acme"
                                                   << "Acme - Website" << 600.0 << "10:07"
                                                   << "Acme - Website[10:00 - 10:15]local";
        QTest::newRow("no client") << ""
                                   << "Website" << 3600.0 << "13:59"
                                   << "Website[13:45 - 14:45]local";
        QTest::newRow("name is the client") << "Solo"
                                            << "Solo" << 3600.0 << "09:00"
                                            << "Solo[09:00 - 10:00]local";
        QTest::newRow("search result under its list") << "Sprint 12"
                                                      << "Fix login" << 3600.0 << "16:20"
                                                      << "Fix login[16:15 - 17:15]local";
    }

    void addsDroppedTasks() {
        QFETCH(QString, client);
        QFETCH(QString, task);
        QFETCH(double, duration);
        QFETCH(QString, dropAt);
        QFETCH(QString, expected);
        QVERIFY(state().addDroppedTask(DraggableTask{"abc", task, client, duration}, at(day, dropAt)));
        QCOMPARE(ranges(state().plannedEntries()), expected);
        QCOMPARE(ranges(stored()), expected);
        QCOMPARE(stored().first().taskId, QString("abc"));
        QCOMPARE(state().entriesNeedingSync(), 1);
    }

    // Adds refuse any overlap with planned entries (deleted ones aside) and with ClickUp entries,
    // say so in the notice and store nothing; touching ends are no overlap.
    void refusesOverlappingAdds() {
        const PlannedTimeEntry gone =
            plannedEntry("Gone", at(day, "14:00"), at(day, "15:00"), SyncStatus::deleted, QString("ce-gone"));
        seed({gone}, {clickUpEntry("logged", "11:00", "12:00")});
        const QByteArray before = readFile(planPath());
        LogCapture log;
        QSignalSpy notices(&state(), &DayPlanningState::noticeChanged);

        QVERIFY(!state().addDroppedTask(DraggableTask{"a", "A", "", 3600}, at(day, "10:15")));
        QCOMPARE(state().notice(), QString("Cannot add dropped task: overlaps with existing entry"));
        QCOMPARE(notices.count(), 1);
        QVERIFY(log.contains("Cannot add dropped task: overlaps with existing entry"));
        QCOMPARE(readFile(planPath()), before);
        QVERIFY(!state().error());

        QVERIFY(state().addDroppedTask(DraggableTask{"a", "A", "", 3600}, at(day, "12:00")));
        QVERIFY(state().addDroppedTask(DraggableTask{"b", "B", "", 3600},
                                       at(day, "14:00"))); // over a deleted one

        // Two quick adds at the same start: the second sees the first.
        const PlanningTask task = plannedTask("c1", "Acme - Report");
        QVERIFY(state().addPlannedEntry(task, at(day, "16:00"), 3600));
        QVERIFY(!state().addPlannedEntry(task, at(day, "16:00"), 3600));
        QCOMPARE(state().notice(), QString("Cannot add entry: overlaps with existing entry"));
        QCOMPARE(ranges(stored()), "A[12:00 - 13:00]local,Gone[14:00 - 15:00]deleted,B[14:00 - "
                                   "15:00]local,Acme - Report[16:00 - 17:00]local");
    }

    void findsTheNextFreeStart() {
        QCOMPARE(state().nextAvailableStartTime(3600), at(day, "09:00"));
        seed({plannedEntry("A", at(day, "09:00"), at(day, "10:00"))});
        QCOMPARE(state().nextAvailableStartTime(3600), at(day, "10:00"));

        // A ClickUp entry that a planned entry stands for blocks the add but not the search.
        seed({plannedEntry("A", at(day, "09:00"), at(day, "10:00"), SyncStatus::synced, QString("ce-a"))},
             {clickUpEntry("ce-a", "09:00", "10:00"), clickUpEntry("other", "10:00", "10:30")});
        QCOMPARE(state().nextAvailableStartTime(1800), at(day, "10:30"));

        // A full day falls back to 09:00, and the add is then refused.
        seed({plannedEntry("Day", at(day, "09:00"), at(day, "18:30"))});
        QCOMPARE(state().nextAvailableStartTime(3600), at(day, "09:00"));
        ClickUpSearchResult result;
        result.id = "r1";
        result.name = "Found";
        QVERIFY(!state().addSearchResult(result, 3600));
        QCOMPARE(state().notice(), QString("Cannot add search result entry: overlaps with existing entry"));

        seed({});
        QVERIFY(state().addSearchResult(result, 3600));
        QCOMPARE(ranges(state().plannedEntries()), QString("Found[09:00 - 10:00]local"));
    }

    void keepsTheDaysClickUpEntries() {
        const TimeEntry before = clickUpEntry("before", "23:30", "00:30", day.addDays(-1));
        const TimeEntry late = clickUpEntry("late", "23:30", "00:30");
        const TimeEntry morning = clickUpEntry("morning", "08:00", "09:30");
        seed({}, {before, late, morning});
        QCOMPARE(state().existingEntries(), (QList<TimeEntry>{late, morning}));
        QCOMPARE(state().currentTeamId(), team);
        QCOMPARE(state().totalLoggedText(), QString("2h 30m"));
    }

    void sumsAndListsTheDay() {
        const PlannedTimeEntry hour = plannedEntry("Hour", at(day, "13:00"), at(day, "14:00"));
        const PlannedTimeEntry linked =
            plannedEntry("Linked", at(day, "09:00"), at(day, "09:30"), SyncStatus::synced, QString("ce-1"));
        const PlannedTimeEntry gone =
            plannedEntry("Gone", at(day, "10:00"), at(day, "10:30"), SyncStatus::deleted, QString("ce-2"));
        seed({linked, gone, hour},
             {clickUpEntry("ce-1", "09:00", "09:30"), clickUpEntry("ce-2", "10:00", "10:30"),
              clickUpEntry("free", "07:15", "08:00")});
        // The count and total are what the timeline shows: the deleted entry waits only for the sync.
        QCOMPARE(state().shownPlannedCount(), 2);
        QCOMPARE(state().totalPlannedText(), QString("1h 30m"));
        QCOMPARE(state().totalLoggedText(), QString("1h 45m"));
        QCOMPARE(state().entriesNeedingSync(), 2);
        QVERIFY(state().hasUnsyncedChanges());

        const QList<TimelineEntry> blocks = state().timelineEntries();
        QStringList names;
        for (const TimelineEntry& block : blocks) {
            names.append(block.taskName + (block.isPlanned ? "*" : "") + block.durationText());
        }
        QCOMPARE(names, (QStringList{"Task free45m", "Linked*30m", "Hour*1h"}));
        QCOMPARE(blocks[1].id, linked.id);
        QCOMPARE(blocks[1].existingEntryId, std::optional<QString>("ce-1"));
        QVERIFY(blocks[0].id != state().timelineEntries()[0].id);

        seed({});
        QCOMPARE(state().totalPlannedText(), QString("0h 00m"));
        QCOMPARE(state().totalLoggedText(), QString("0h 00m"));
    }

    void offersTheWeeksTasks() {
        const int week = PlanningState::currentWeek();
        m_rig->tools.planning = {{plannedTask("c1", "Acme - Site", {QString::number(week)}),
                                  plannedTask("", "Acme - No id", {QString::number(week)}),
                                  plannedTask("u1", "Beta - Later")},
                                 "1.0"};
        awaitTask(m_rig->planning.fetchPlanning(QString(), QString(), std::nullopt));
        QStringList ids;
        for (const PlanningTask& task : state().availableTasks()) {
            ids.append(task.clickUpTaskId);
        }
        QCOMPARE(ids, (QStringList{"c1", "u1"}));
    }

    // A day whose plan or ClickUp entries cannot be loaded lists nothing of the day before, and says why.
    void failedLoadsClearTheNewDay() {
        seed({plannedEntry("Monday", at(day, "09:00"), at(day, "10:00"))},
             {clickUpEntry("m", "11:00", "12:00")});
        const QDate tuesday = day.addDays(1);
        const QString tuesdayPath = m_store->filePath(at(tuesday, "12:00"));
        QFile file(tuesdayPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\"date\":");
        file.close();
        m_clickUp->failNext(FakeClickUpAPI::getTimeEntriesOp,
                            std::make_exception_ptr(APIError::httpError(500, {})));

        awaitTask(state().nextDay());
        QCOMPARE(state().selectedDate(), tuesday.startOfDay());
        QVERIFY(state().plannedEntries().isEmpty());
        QVERIFY(state().existingEntries().isEmpty());
        QVERIFY(state().error());

        // Every change of that day fails and leaves the file as it is.
        state().clearMessages();
        QVERIFY(!state().addDroppedTask(DraggableTask{"a", "A", "", 3600}, at(tuesday, "09:00")));
        QVERIFY(state().error());
        QVERIFY2(state().error()->description().startsWith("Failed to parse response: The day plan "
                                                           "plan-2025-03-11.json is damaged"),
                 qPrintable(state().error()->description()));
        QCOMPARE(readFile(tuesdayPath), QByteArray("{\"date\":"));

        awaitTask(state().previousDay());
        QCOMPARE(ranges(state().plannedEntries()), QString("Monday[09:00 - 10:00]local"));
        QCOMPARE(state().existingEntries().size(), 1);
    }

    void opensOnToday() {
        awaitTask(state().previousDay());
        m_rig->clock.set(at(day.addDays(1), "00:05")); // after midnight
        m_clickUp->clearCalls();
        awaitTask(state().openToday(team));
        QCOMPARE(state().selectedDate(), day.addDays(1).startOfDay());
        QCOMPARE(m_clickUp->operations(),
                 (QStringList{FakeClickUpAPI::getTimeEntriesOp, FakeClickUpAPI::searchTasksOp}));
        QCOMPARE(m_clickUp->calls().first().startDate, day.addDays(1).startOfDay());
        QCOMPARE(m_clickUp->calls().last().query, QString(" "));
        QCOMPARE(m_clickUp->calls().last().limit, 500);
    }

    void loadsAssignees() {
        ClickUpSearchResult withPeople;
        withPeople.id = "t1";
        withPeople.assignees = {ClickUpAssignee{1, "jane doe", {}, {}}};
        ClickUpSearchResult alone;
        alone.id = "t2";
        m_clickUp->searchResults = {withPeople, alone};
        awaitTask(state().loadTaskAssignees(team));
        QCOMPARE(state().taskAssignees().keys(), QStringList{"t1"});

        // A later load without assignees for t1 keeps its list; a call during a load returns at once.
        withPeople.assignees.clear();
        m_clickUp->searchResults = {withPeople};
        m_clickUp->hold(FakeClickUpAPI::searchTasksOp);
        auto running = state().loadTaskAssignees(team);
        QVERIFY(state().isLoadingAssignees());
        awaitTask(state().loadTaskAssignees(team));
        QCOMPARE(m_clickUp->callCount(FakeClickUpAPI::searchTasksOp), 2);
        m_clickUp->release(FakeClickUpAPI::searchTasksOp);
        awaitTask(std::move(running));
        QVERIFY(!state().isLoadingAssignees());
        QCOMPARE(state().taskAssignees().value("t1").size(), 1);

        awaitTask(state().loadTaskAssignees(QString()));
        QCOMPARE(m_clickUp->callCount(FakeClickUpAPI::searchTasksOp), 2);
    }

    void movesPlannedEntries_data() {
        QTest::addColumn<SyncStatus>("status");
        QTest::addColumn<QString>("newStart");
        QTest::addColumn<QString>("newEnd");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("notice");
        QTest::newRow("local, floored") << SyncStatus::local << "10:52"
                                        << "11:52"
                                        << "E[10:45 - 11:45]local"
                                        << "";
        QTest::newRow("synced becomes modified") << SyncStatus::synced << "10:52"
                                                 << "11:52"
                                                 << "E[10:45 - 11:45]modified"
                                                 << "";
        QTest::newRow("tiny drag changes nothing") << SyncStatus::synced << "09:05"
                                                   << "10:05"
                                                   << "E[09:00 - 10:00]synced"
                                                   << "";
        QTest::newRow("resize keeps a quarter") << SyncStatus::local << "09:00"
                                                << "09:05"
                                                << "E[09:00 - 09:15]local"
                                                << "";
        QTest::newRow("end before start keeps a quarter") << SyncStatus::local << "12:00"
                                                          << "11:00"
                                                          << "E[12:00 - 12:15]local"
                                                          << "";
        QTest::newRow("onto a planned entry") << SyncStatus::local << "13:30"
                                              << "14:30"
                                              << "E[09:00 - 10:00]local"
                                              << "Cannot move entry: would overlap with another entry";
        QTest::newRow("onto a ClickUp entry") << SyncStatus::local << "11:00"
                                              << "12:00"
                                              << "E[11:00 - 12:00]local"
                                              << "";
        QTest::newRow("onto a deleted entry") << SyncStatus::local << "16:00"
                                              << "17:00"
                                              << "E[16:00 - 17:00]local"
                                              << "";
    }

    void movesPlannedEntries() {
        QFETCH(SyncStatus, status);
        QFETCH(QString, newStart);
        QFETCH(QString, newEnd);
        QFETCH(QString, expected);
        QFETCH(QString, notice);
        const PlannedTimeEntry entry =
            plannedEntry("E", at(day, "09:00"), at(day, "10:00"), status,
                         status == SyncStatus::local ? std::nullopt : std::optional<QString>("ce-e"));
        const PlannedTimeEntry other = plannedEntry("Other", at(day, "14:00"), at(day, "15:00"));
        const PlannedTimeEntry gone =
            plannedEntry("Gone", at(day, "16:00"), at(day, "17:00"), SyncStatus::deleted, QString("ce-g"));
        seed({entry, other, gone}, {clickUpEntry("logged", "11:00", "12:00")});
        const QByteArray before = readFile(planPath());

        state().updateEntryTimes(entry.id, at(day, newStart), at(day, newEnd));
        QCOMPARE(ranges({listed("E")}), expected);
        QCOMPARE(state().notice(), notice);
        PlannedTimeEntry inFile;
        for (const PlannedTimeEntry& storedEntry : stored()) {
            if (storedEntry.id == entry.id) {
                inFile = storedEntry;
            }
        }
        QCOMPARE(inFile, listed("E"));
        if (expected.contains("09:00 - 10:00")) {
            QCOMPARE(readFile(planPath()), before);
        }
        QVERIFY(m_clickUp->calls().isEmpty());
    }

    void deletesPlannedEntries_data() {
        QTest::addColumn<SyncStatus>("status");
        QTest::addColumn<bool>("hasClickUpId");
        QTest::addColumn<bool>("keptAsDeleted");
        QTest::newRow("local") << SyncStatus::local << false << false;
        QTest::newRow("synced with id") << SyncStatus::synced << true << true;
        QTest::newRow("synced without id") << SyncStatus::synced << false << false;
        QTest::newRow("modified with id") << SyncStatus::modified << true << true;
        QTest::newRow("modified without id") << SyncStatus::modified << false << false;
    }

    void deletesPlannedEntries() {
        QFETCH(SyncStatus, status);
        QFETCH(bool, hasClickUpId);
        QFETCH(bool, keptAsDeleted);
        const PlannedTimeEntry entry =
            plannedEntry("E", at(day, "09:00"), at(day, "10:00"), status,
                         hasClickUpId ? std::optional<QString>("ce-e") : std::nullopt);
        seed({entry}, {clickUpEntry("ce-e", "09:00", "10:00")});
        state().removePlannedEntry(entry.id);
        QVERIFY(m_clickUp->calls().isEmpty());
        if (keptAsDeleted) {
            QCOMPARE(ranges(stored()), QString("E[09:00 - 10:00]deleted"));
            QCOMPARE(ranges(state().plannedEntries()), QString("E[09:00 - 10:00]deleted"));
            QCOMPARE(state().entriesNeedingSync(), 1);
            // Neither the planned block nor its ClickUp entry is drawn while the delete waits.
            QVERIFY(state().timelineEntries().isEmpty());
        } else {
            QVERIFY(stored().isEmpty());
            QVERIFY(state().plannedEntries().isEmpty());
            QCOMPARE(state().timelineEntries().size(), 1);
        }
    }

    void movesAndDeletesClickUpEntries() {
        seed({}, {clickUpEntry("ce-1", "09:07", "09:52")});
        // A zero-shift drag, or one that floors back onto the stored times, sends nothing.
        awaitTask(state().updateExistingEntryTimes("ce-1", at(day, "09:07"), at(day, "09:52")));
        QVERIFY(m_clickUp->calls().isEmpty());

        awaitTask(state().updateExistingEntryTimes("ce-1", at(day, "10:07"), at(day, "10:52")));
        QCOMPARE(m_clickUp->operations(),
                 (QStringList{FakeClickUpAPI::updateTimeEntryOp, FakeClickUpAPI::getTimeEntriesOp}));
        const FakeClickUpAPI::Call update = m_clickUp->calls().first();
        QCOMPARE(update.teamId, team);
        QCOMPARE(update.taskId, QString("ce-1"));
        QCOMPARE(update.startDate, at(day, "10:00"));
        QCOMPARE(update.endDate, at(day, "10:45"));

        m_clickUp->clearCalls();
        m_clickUp->failNext(FakeClickUpAPI::updateTimeEntryOp,
                            std::make_exception_ptr(APIError::httpError(500, {})));
        awaitTask(state().updateExistingEntryTimes("ce-1", at(day, "12:00"), at(day, "13:00")));
        QCOMPARE(state().error(), std::optional<APIError>(APIError::httpError(500, {})));
        QCOMPARE(m_clickUp->operations(), QStringList{FakeClickUpAPI::updateTimeEntryOp});

        m_clickUp->failNext(FakeClickUpAPI::deleteTimeEntryOp,
                            std::make_exception_ptr(FakeClickUpAPI::TransportFailure("connection reset")));
        awaitTask(state().deleteExistingEntry("ce-1"));
        QCOMPARE(state().existingEntries().size(), 1);
        QCOMPARE(state().error()->kind(), APIError::Kind::networkError);

        awaitTask(state().deleteExistingEntry("ce-1"));
        QVERIFY(state().existingEntries().isEmpty());
    }

    void needsATeamForClickUpEntries() {
        DayPlanningState fresh(*m_clickUp, *m_store, m_rig->planning);
        LogCapture log;
        awaitTask(fresh.updateExistingEntryTimes("ce-1", at(day, "10:00"), at(day, "11:00")));
        QCOMPARE(fresh.notice(), QString("Cannot update: no team ID configured"));
        awaitTask(fresh.deleteExistingEntry("ce-1"));
        QCOMPARE(fresh.notice(), QString("Cannot delete: no team ID configured"));
        awaitTask(fresh.syncToClickUp());
        QVERIFY(log.contains("Cannot sync: no team ID configured"));
        QVERIFY(!fresh.isSyncing());
        QVERIFY(m_clickUp->calls().isEmpty());
    }

    void plainFailuresOfMovesAndDeletes() {
        const PlannedTimeEntry entry = plannedEntry("E", at(day, "09:00"), at(day, "10:00"));
        seed({entry});
        QFile file(planPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("garbage");
        file.close();
        state().updateEntryTimes(entry.id, at(day, "11:00"), at(day, "12:00"));
        QVERIFY(state().error());
        state().removePlannedEntry(entry.id);
        QCOMPARE(readFile(planPath()), QByteArray("garbage"));
        QCOMPARE(ranges(state().plannedEntries()), QString("E[09:00 - 10:00]local"));
    }
};

PENDLOW_TEST_MAIN(DayPlanningStateTest)
#include "tst_DayPlanningState.moc"
