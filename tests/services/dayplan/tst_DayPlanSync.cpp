// Syncing a day plan through the real ClickUp client to a loopback ClickUp: the requests each kind of
// entry sends, the plan file and list afterwards, failures counted while the rest goes on, no
// duplicate after a run that died between creating an entry and writing the file or whose reply was
// lost (also when ClickUp then refuses the listing), entries ClickUp deleted meanwhile, one run at a
// time, and the day kept by a run while the user moves on.
#include "support/DayPlanRig.h"
#include "support/DayPlanSamples.h"
#include "support/FakeClickUpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "platform/KeychainItem.h"
#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpAPIService.h"
#include "services/dayplan/DayPlanningState.h"
#include "services/dayplan/DayPlanningStorageService.h"
#include "services/dayplan/PlanFileError.h"

#include <QJsonArray>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {
const QDate day(2025, 3, 10);

// A store whose next markEntrySynced calls fail as a full disk would, after ClickUp took the entry.
class FailingStore : public DayPlanningStorageService {
public:
    using DayPlanningStorageService::DayPlanningStorageService;
    mutable int failingMarks = 0;

    void markEntrySynced(const QUuid& id, const QString& clickUpEntryId,
                         const QDateTime& when) const override {
        if (failingMarks > 0) {
            --failingMarks;
            throw PlanFileError(PlanFileError::Kind::unwritable, filePath(when), "No space left on device");
        }
        DayPlanningStorageService::markEntrySynced(id, clickUpEntryId, when);
    }
};

QString statuses(const QList<PlannedTimeEntry>& entries) {
    QStringList parts;
    for (const PlannedTimeEntry& entry : entries) {
        parts.append(entry.taskName + ":" + rawValue(entry.syncStatus) + ":" +
                     entry.clickUpEntryId.value_or("-"));
    }
    return parts.join(',');
}

QStringList requestLines(const QList<FakeHttpServer::Request>& requests) {
    QStringList lines;
    for (const FakeHttpServer::Request& request : requests) {
        lines.append(QString::fromLatin1(request.method) + " " + request.path.mid(QString("/api/v2").size()));
    }
    return lines;
}
} // namespace

class DayPlanSyncTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeClickUpServer> m_server;
    std::unique_ptr<InMemoryKeychain> m_keychain;
    std::unique_ptr<ClickUpAPIService> m_client;
    std::unique_ptr<DayPlanRig<FailingStore>> m_rig;
    // The rig's parts the tests use most.
    FailingStore* m_store = nullptr;
    DayPlanningState* m_state = nullptr;
    QString m_team;

    QList<PlannedTimeEntry> stored() const { return m_store->loadEntries(at(day, "12:00")); }

    // A state showing the day after a "restart": the plan file and ClickUp's entries loaded afresh.
    void openDay(const QList<PlannedTimeEntry>& planned) {
        m_store->saveEntries(planned, at(day, "12:00"));
        reopen();
    }

    void reopen() {
        m_rig->open(at(day, "12:00"));
        m_state = m_rig->state.get();
        awaitTask(m_state->loadExistingEntries(m_team));
        m_server->http().clearRequests();
    }

    static qint64 ms(const QString& hhmm) { return at(day, hhmm).toMSecsSinceEpoch(); }

private Q_SLOTS:
    void initTestCase() { useBerlinTime(); }

    void init() {
        m_server = std::make_unique<FakeClickUpServer>();
        m_keychain = std::make_unique<InMemoryKeychain>();
        m_keychain->putItem(KeychainItem::clickUpAPIToken, QString("pk_%1_SYNCTEST").arg(4711));
        m_client = std::make_unique<ClickUpAPIService>(*m_keychain, m_server->apiUrl());
        m_client->setTransferTimeout(500ms);
        m_rig = std::make_unique<DayPlanRig<FailingStore>>(at(day, "17:00"), m_client.get());
        m_store = &m_rig->store;
        m_team = QString::number(9001);
    }

    void cleanup() {
        m_rig.reset();
        m_client.reset();
        m_keychain.reset();
        m_server.reset();
    }

    // Every kind of entry, with the exact requests and what file and list hold afterwards.
    void syncsEachKindOfEntry() {
        m_server->timeEntries = {
            FakeClickUpServer::timeEntryJson("te-b", "t-B", "B", ms("11:00"), 3600000),
            FakeClickUpServer::timeEntryJson("te-c", "t-C", "C", ms("13:00"), 1800000),
        };
        const PlannedTimeEntry a = plannedEntry("A", at(day, "09:00"), at(day, "10:30"));
        const PlannedTimeEntry b =
            plannedEntry("B", at(day, "11:15"), at(day, "12:00"), SyncStatus::modified, QString("te-b"));
        const PlannedTimeEntry c =
            plannedEntry("C", at(day, "13:00"), at(day, "13:30"), SyncStatus::deleted, QString("te-c"));
        const PlannedTimeEntry d = plannedEntry("D", at(day, "14:00"), at(day, "14:15"), SyncStatus::deleted);
        const PlannedTimeEntry e =
            plannedEntry("E", at(day, "15:00"), at(day, "15:15"), SyncStatus::modified);
        const PlannedTimeEntry f =
            plannedEntry("F", at(day, "16:00"), at(day, "16:30"), SyncStatus::synced, QString("te-f"));
        openDay({a, b, c, d, e, f});
        m_state->setError(APIError::invalidResponse());
        LogCapture log(LogCapture::Verbosity::debug);

        awaitTask(m_state->syncToClickUp());

        const QList<FakeHttpServer::Request> requests = m_server->http().requests();
        QCOMPARE(requestLines(requests),
                 (QStringList{"GET /team/9001/time_entries", "POST /team/9001/time_entries",
                              "PUT /team/9001/time_entries/te-b", "DELETE /team/9001/time_entries/te-c",
                              "GET /team/9001/time_entries"}));
        QCOMPARE(requests[0].query.queryItemValue("start_date"),
                 QString::number(day.startOfDay().toMSecsSinceEpoch()));
        const QVariantMap create = requests[1].jsonBody();
        QCOMPARE(create,
                 (QVariantMap{
                     {"tid", "t-A"}, {"start", ms("09:00")}, {"duration", 5400000}, {"billable", false}}));
        QCOMPARE(requests[1].header("content-type"), QByteArray("application/json"));
        QVERIFY(!requests[1].header("authorization").isEmpty());
        QCOMPARE(requests[2].jsonBody(), (QVariantMap{{"start", ms("11:15")}, {"duration", 2700000}}));
        QVERIFY(requests[3].body.isEmpty());

        const QString expected = "A:synced:ce-1,B:synced:te-b,E:modified:-,F:synced:te-f";
        QCOMPARE(statuses(stored()), expected);
        QCOMPARE(statuses(m_state->plannedEntries()), expected);
        QVERIFY(log.contains("[Timer] Sync complete: 3 succeeded, 0 failed"));
        QVERIFY(log.contains("[Timer] Synced new entry: A"));
        QVERIFY(log.contains("[Timer] Updated entry: B"));
        QVERIFY(log.contains("[Timer] Deleted entry: C"));
        QVERIFY(!m_state->error());
        QVERIFY(!m_state->isSyncing());
        QCOMPARE(m_state->entriesNeedingSync(), 1); // E, which has nothing to update
        // The created and updated ClickUp entries came back; each is drawn once, as its planned block.
        QCOMPARE(m_state->existingEntries().size(), 2);
        QCOMPARE(m_state->timelineEntries().size(), 4);
        QCOMPARE(m_server->maxConcurrentRequests(), 1);
    }

    void countsFailuresAndGoesOn_data() {
        QTest::addColumn<FakeHttpServer::Response>("answer");
        QTest::newRow("server error") << FakeHttpServer::Response::json(R"({"err":"boom","ECODE":"X"})", 500);
        QTest::newRow("not found") << FakeHttpServer::Response::json(
            R"({"err":"no task","ECODE":"ITEM_013"})", 404);
        QTest::newRow("garbage with 200") << FakeHttpServer::Response::text("<html>oops</html>");
        QTest::newRow("entry that cannot be read") << FakeHttpServer::Response::json(R"({"data":{"id":7}})");
        FakeHttpServer::Response hang;
        hang.hang = true;
        QTest::newRow("hangs") << hang;
        FakeHttpServer::Response drop;
        drop.drop = true;
        QTest::newRow("drops the connection") << drop;
    }

    void countsFailuresAndGoesOn() {
        QFETCH(FakeHttpServer::Response, answer);
        const PlannedTimeEntry first = plannedEntry("First", at(day, "09:00"), at(day, "10:00"));
        const PlannedTimeEntry second = plannedEntry("Second", at(day, "10:00"), at(day, "11:00"));
        const PlannedTimeEntry third = plannedEntry("Third", at(day, "11:00"), at(day, "12:00"));
        openDay({first, second, third});
        m_server->intercept =
            [&answer](const FakeHttpServer::Request& request) -> std::optional<FakeHttpServer::Response> {
            if (request.method == "POST" && request.jsonBody().value("tid") == "t-Second") {
                return answer;
            }
            return std::nullopt;
        };
        LogCapture log(LogCapture::Verbosity::debug);
        awaitTask(m_state->syncToClickUp());

        QVERIFY(log.contains("[Timer] Sync complete: 2 succeeded, 1 failed"));
        QVERIFY(log.contains("[Timer] Failed to sync entry: Second"));
        QVERIFY(m_state->error());
        QCOMPARE(statuses(stored()), "First:synced:ce-1,Second:local:-,Third:synced:ce-2");
        QCOMPARE(statuses(m_state->plannedEntries()), statuses(stored()));
        QVERIFY(!m_state->isSyncing());

        // The next run without failures creates the second one and clears the error.
        m_server->intercept = nullptr;
        awaitTask(m_state->syncToClickUp());
        QVERIFY(log.contains("[Timer] Sync complete: 1 succeeded, 0 failed"));
        QVERIFY(!m_state->error());
        QCOMPARE(m_server->createdCount() >= 3, true);
        QCOMPARE(m_server->timeEntries.size(), 3);
        QCOMPARE(m_state->entriesNeedingSync(), 0);
    }

    // A run that created the entry in ClickUp but never wrote the file (the application ended, the
    // disk was full) does not make the next run create it again: the next run links the entry it finds.
    void noDuplicateAfterCreateWithoutFileWrite() {
        const PlannedTimeEntry entry = plannedEntry("A", at(day, "09:00"), at(day, "10:30"));
        const PlannedTimeEntry other = plannedEntry("Other task", at(day, "10:30"), at(day, "11:00"));
        openDay({entry, other});
        m_store->failingMarks = 1;
        LogCapture log(LogCapture::Verbosity::debug);
        awaitTask(m_state->syncToClickUp());
        QVERIFY(log.contains("[Timer] Sync complete: 1 succeeded, 1 failed"));
        QCOMPARE(m_state->error()->kind(), APIError::Kind::networkError);
        QVERIFY(m_state->error()->description().contains("No space left on device"));
        QCOMPARE(statuses(stored()), "A:local:-,Other task:synced:ce-2");
        QCOMPARE(m_server->timeEntries.size(), 2);

        reopen();
        awaitTask(m_state->syncToClickUp());
        QCOMPARE(m_server->http().requests("POST", "/api/v2/team/9001/time_entries").size(), 0);
        QCOMPARE(m_server->timeEntries.size(), 2);
        QCOMPARE(statuses(stored()), "A:synced:ce-1,Other task:synced:ce-2");
        QVERIFY(log.contains("[Timer] Sync complete: 1 succeeded, 0 failed"));
    }

    // The create's reply is lost after ClickUp stored the entry; on the next run ClickUp answers the
    // listing with 429. That run creates nothing and says so; the run after links the stored entry.
    void noDuplicateWhenTheListingFailsAfterALostReply() {
        QList<PlannedTimeEntry> planned;
        for (int i = 0; i < 4; ++i) {
            const QString start = QString("%1:00").arg(9 + i, 2, 10, QChar('0'));
            const QString end = QString("%1:00").arg(10 + i, 2, 10, QChar('0'));
            planned.append(plannedEntry(QString("Task %1").arg(i + 1), at(day, start), at(day, end)));
        }
        openDay(planned);
        bool lose = true;
        m_server->intercept =
            [this, &lose](const FakeHttpServer::Request& request) -> std::optional<FakeHttpServer::Response> {
            if (lose && request.method == "POST" && request.jsonBody().value("tid") == "t-Task 3") {
                lose = false;
                m_server->answer(request); // stored by ClickUp, the reply never arrives
                FakeHttpServer::Response lost;
                lost.hang = true;
                return lost;
            }
            return std::nullopt;
        };
        LogCapture log(LogCapture::Verbosity::debug);
        awaitTask(m_state->syncToClickUp());
        QVERIFY(log.contains("[Timer] Sync complete: 3 succeeded, 1 failed"));
        QCOMPARE(m_server->timeEntries.size(), 4);
        QCOMPARE(statuses(stored()),
                 "Task 1:synced:ce-1,Task 2:synced:ce-2,Task 3:local:-,Task 4:synced:ce-4");

        m_server->intercept =
            [](const FakeHttpServer::Request& request) -> std::optional<FakeHttpServer::Response> {
            if (request.method == "GET") {
                return FakeHttpServer::Response::json(R"({"err":"Rate limit reached","ECODE":"APP_002"})",
                                                      429);
            }
            return std::nullopt;
        };
        m_server->http().clearRequests();
        awaitTask(m_state->syncToClickUp());
        QCOMPARE(m_server->http().requests("POST", "/api/v2/team/9001/time_entries").size(), 0);
        QCOMPARE(m_server->timeEntries.size(), 4);
        QVERIFY(log.contains("[Timer] Sync complete: 0 succeeded, 1 failed"));
        QVERIFY(log.contains("[Timer] Failed to sync entry: Task 3"));
        QVERIFY(m_state->error());
        QCOMPARE(m_state->error()->statusCode(), 429);
        QCOMPARE(statuses(stored()),
                 "Task 1:synced:ce-1,Task 2:synced:ce-2,Task 3:local:-,Task 4:synced:ce-4");
        QCOMPARE(m_state->entriesNeedingSync(), 1);

        m_server->intercept = nullptr;
        m_server->http().clearRequests();
        awaitTask(m_state->syncToClickUp());
        QCOMPARE(m_server->http().requests("POST", "/api/v2/team/9001/time_entries").size(), 0);
        QCOMPARE(m_server->timeEntries.size(), 4);
        QCOMPARE(statuses(stored()),
                 "Task 1:synced:ce-1,Task 2:synced:ce-2,Task 3:synced:ce-3,Task 4:synced:ce-4");
        QVERIFY(!m_state->error());
    }

    // ClickUp deleted the entries meanwhile ("Time entry not found"): a modified entry loses the stale
    // link and is created anew, once; a deleted one counts as deleted and leaves the plan.
    void entriesClickUpNoLongerHolds() {
        const PlannedTimeEntry moved = plannedEntry("Moved", at(day, "09:00"), at(day, "10:00"),
                                                    SyncStatus::modified, QString("te-gone-1"));
        const PlannedTimeEntry removed = plannedEntry("Removed", at(day, "11:00"), at(day, "12:00"),
                                                      SyncStatus::deleted, QString("te-gone-2"));
        openDay({moved, removed});
        LogCapture log(LogCapture::Verbosity::debug);

        awaitTask(m_state->syncToClickUp());

        QCOMPARE(requestLines(m_server->http().requests()),
                 (QStringList{"PUT /team/9001/time_entries/te-gone-1", "GET /team/9001/time_entries",
                              "POST /team/9001/time_entries", "DELETE /team/9001/time_entries/te-gone-2",
                              "GET /team/9001/time_entries"}));
        QCOMPARE(statuses(stored()), "Moved:synced:ce-1");
        QCOMPARE(statuses(m_state->plannedEntries()), "Moved:synced:ce-1");
        QCOMPARE(m_server->timeEntries.size(), 1);
        QVERIFY(log.contains("[Timer] Sync complete: 2 succeeded, 0 failed"));
        QVERIFY(!m_state->error());

        // Nothing is left to do: the next run sends no request but the reload.
        m_server->http().clearRequests();
        awaitTask(m_state->syncToClickUp());
        QCOMPARE(requestLines(m_server->http().requests()), QStringList{"GET /team/9001/time_entries"});
    }

    // When the new create fails too, the entry is an ordinary local one: it no longer points at the
    // gone ClickUp entry, and the next run creates it.
    void recreateThatFailsLeavesALocalEntry() {
        openDay({plannedEntry("Moved", at(day, "09:00"), at(day, "10:00"), SyncStatus::modified,
                              QString("te-gone-1"))});
        m_server->intercept =
            [](const FakeHttpServer::Request& request) -> std::optional<FakeHttpServer::Response> {
            if (request.method == "POST") {
                return FakeHttpServer::Response::json(R"({"err":"boom","ECODE":"X"})", 500);
            }
            return std::nullopt;
        };
        LogCapture log(LogCapture::Verbosity::debug);
        awaitTask(m_state->syncToClickUp());
        QVERIFY(log.contains("[Timer] Sync complete: 0 succeeded, 1 failed"));
        QCOMPARE(statuses(stored()), "Moved:local:-");
        QCOMPARE(statuses(m_state->plannedEntries()), "Moved:local:-");

        m_server->intercept = nullptr;
        awaitTask(m_state->syncToClickUp());
        QCOMPARE(statuses(stored()), "Moved:synced:ce-1");
        QCOMPARE(m_server->timeEntries.size(), 1);
    }

    // A second sync while one runs is refused by the state itself, and a run keeps the day it began
    // with while the user moves to another day.
    void runsOnceForItsDay() {
        const PlannedTimeEntry a = plannedEntry("A", at(day, "09:00"), at(day, "10:00"));
        const PlannedTimeEntry b = plannedEntry("B", at(day, "10:00"), at(day, "11:00"));
        openDay({a, b});
        m_server->latencyMs = 50;
        LogCapture log(LogCapture::Verbosity::debug);

        auto first = m_state->syncToClickUp();
        QVERIFY(m_state->isSyncing());
        awaitTask(m_state->syncToClickUp());
        QVERIFY(log.contains("Sync already running"));
        awaitTask(m_state->nextDay());
        QVERIFY(m_state->plannedEntries().isEmpty());
        awaitTask(std::move(first), 10000);

        QCOMPARE(m_server->http().requests("POST", "/api/v2/team/9001/time_entries").size(), 2);
        QCOMPARE(statuses(stored()), "A:synced:ce-1,B:synced:ce-2");
        QVERIFY(m_store->loadEntries(at(day.addDays(1), "12:00")).isEmpty());
        QVERIFY(m_state->plannedEntries().isEmpty());
        QVERIFY(!m_state->isSyncing());
    }

    void nothingToSync() {
        openDay({plannedEntry("F", at(day, "16:00"), at(day, "16:30"), SyncStatus::synced, QString("te-f"))});
        m_state->setError(APIError::invalidResponse());
        LogCapture log(LogCapture::Verbosity::debug);
        awaitTask(m_state->syncToClickUp());
        QVERIFY(log.contains("[Timer] Sync complete: 0 succeeded, 0 failed"));
        QVERIFY(!m_state->error());
        QCOMPARE(requestLines(m_server->http().requests()), QStringList{"GET /team/9001/time_entries"});
    }
};

PENDLOW_TEST_MAIN(DayPlanSyncTest)
#include "tst_DayPlanSync.moc"
