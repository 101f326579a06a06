// The day plan's model: the plan file (shape, strict reading, files left alone when unreadable, only
// regular files within the size cap read, written privately), the
// store's operations, quarter-hour arithmetic, the drag payload, duration texts and the column layout
// of overlapping blocks.
#include "support/DayPlanSamples.h"
#include "support/FakeClock.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "services/dayplan/DayPlanText.h"
#include "services/dayplan/DayPlanningStorageService.h"
#include "services/dayplan/DraggableTask.h"
#include "services/dayplan/PlanFileError.h"
#include "services/dayplan/QuarterHour.h"
#include "services/dayplan/TimelineColumnLayout.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QTemporaryDir>

#include <functional>

#include <sys/stat.h>

namespace {
const QDate day(2025, 3, 10);

QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// A valid entry object of a plan file, with one member replaced or removed.
QByteArray entryObject(const QString& key = {}, const QByteArray& value = {}) {
    QList<std::pair<QString, QByteArray>> members{
        {"createdAt", "\"2025-03-10T07:00:00Z\""},
        {"endTime", "\"2025-03-10T09:00:00Z\""},
        {"id", "\"0F8FAD5B-D9CB-469F-A165-70867728950E\""},
        {"modifiedAt", "\"2025-03-10T07:00:00Z\""},
        {"startTime", "\"2025-03-10T08:00:00Z\""},
        {"syncStatus", "\"local\""},
        {"taskId", "\"abc\""},
        {"taskName", "\"Acme - Website\""},
    };
    QByteArray text = "{";
    bool replaced = false;
    for (const auto& [name, json] : members) {
        QByteArray member = json;
        if (name == key) {
            replaced = true;
            if (value.isNull()) {
                continue;
            }
            member = value;
        }
        text += "\"" + name.toUtf8() + "\":" + member + ",";
    }
    if (!replaced && !key.isEmpty()) {
        text += "\"" + key.toUtf8() + "\":" + value + ",";
    }
    text.chop(1);
    return text + "}";
}

QByteArray planFile(const QByteArray& entry = entryObject(), const QByteArray& version = "1",
                    const QByteArray& date = "\"2025-03-09T23:00:00Z\"") {
    QByteArray text = "{\"date\":" + date + ",\"entries\":[" + entry + "]";
    if (!version.isNull()) {
        text += ",\"version\":" + version;
    }
    return text + "}";
}
} // namespace

class DayPlanModelTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<DayPlanningStorageService> m_store;
    std::unique_ptr<FakeClock> m_clock;

    QString planPath() const { return m_store->filePath(at(day, "12:00")); }

private Q_SLOTS:
    void initTestCase() { useBerlinTime(); }

    void init() {
        m_folder = std::make_unique<QTemporaryDir>();
        m_store = std::make_unique<DayPlanningStorageService>(m_folder->path() + "/Pendlow/planning");
        m_clock = std::make_unique<FakeClock>(at(day, "08:30"));
    }

    void cleanup() {
        m_clock.reset();
        m_store.reset();
        m_folder.reset();
    }

    // The file as written: indented, keys sorted, dates in UTC with whole seconds, ids upper-case,
    // no "clickUpEntryId" for an entry without one, and the folder made on the way.
    void writesTheFileShape() {
        PlannedTimeEntry synced = plannedEntry("Acme - Website", at(day, "09:00"), at(day, "10:30"),
                                               SyncStatus::synced, QString("ce-1"));
        synced.id = QUuid("{0f8fad5b-d9cb-469f-a165-70867728950e}");
        synced.createdAt = at(day, "08:12").addMSecs(345);
        PlannedTimeEntry local = plannedEntry("Beta", at(day, "11:00"), at(day, "11:15"));
        local.id = QUuid("{7c9e6679-7425-40de-944b-e07fc1f90ae7}");
        m_store->addEntry(local, at(day, "00:30"));
        m_store->addEntry(synced, at(day, "00:30"));

        QCOMPARE(QFileInfo(planPath()).fileName(), QString("plan-2025-03-10.json"));
        const QByteArray expected = R"({
    "date": "2025-03-09T23:00:00Z",
    "entries": [
        {
            "clickUpEntryId": "ce-1",
            "createdAt": "2025-03-10T07:12:00Z",
            "endTime": "2025-03-10T09:30:00Z",
            "id": "0F8FAD5B-D9CB-469F-A165-70867728950E",
            "modifiedAt": "2025-03-10T08:00:00Z",
            "startTime": "2025-03-10T08:00:00Z",
            "syncStatus": "synced",
            "taskId": "t-Acme - Website",
            "taskName": "Acme - Website"
        },
        {
            "createdAt": "2025-03-10T10:00:00Z",
            "endTime": "2025-03-10T10:15:00Z",
            "id": "7C9E6679-7425-40DE-944B-E07FC1F90AE7",
            "modifiedAt": "2025-03-10T10:00:00Z",
            "startTime": "2025-03-10T10:00:00Z",
            "syncStatus": "local",
            "taskId": "t-Beta",
            "taskName": "Beta"
        }
    ],
    "version": 1
}
)";
        QCOMPARE(readFile(planPath()), expected);

        const QList<PlannedTimeEntry> read = m_store->loadEntries(at(day, "23:59"));
        QCOMPARE(read.size(), 2);
        QCOMPARE(read[0].id, synced.id);
        QCOMPARE(read[0].clickUpEntryId, std::optional<QString>("ce-1"));
        QCOMPARE(read[0].createdAt, at(day, "08:12")); // the fraction is lost on the way
        QCOMPARE(read[1], local);
    }

    void readsFilesStrictly_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("readable");
        QTest::newRow("valid") << planFile() << true;
        QTest::newRow("keys in any order, lower-case id")
            << planFile(entryObject("id", "\"0f8fad5b-d9cb-469f-a165-70867728950e\""), "2") << true;
        QTest::newRow("version 2 reads") << planFile(entryObject(), "2") << true;
        QTest::newRow("with an offset date")
            << planFile(entryObject("startTime", "\"2025-03-10T09:00:00+01:00\"")) << true;
        QTest::newRow("garbage") << QByteArray("this is no plan") << false;
        QTest::newRow("truncated") << planFile().left(60) << false;
        QTest::newRow("empty file") << QByteArray() << false;
        QTest::newRow("no version") << planFile(entryObject(), QByteArray()) << false;
        QTest::newRow("fraction of a second")
            << planFile(entryObject("startTime", "\"2025-03-10T08:00:00.5Z\"")) << false;
        QTest::newRow("date without zone")
            << planFile(entryObject("endTime", "\"2025-03-10T09:00:00\"")) << false;
        QTest::newRow("root date with fraction")
            << planFile(entryObject(), "1", "\"2025-03-09T23:00:00.000Z\"") << false;
        QTest::newRow("unknown status") << planFile(entryObject("syncStatus", "\"pending\"")) << false;
        QTest::newRow("missing task name") << planFile(entryObject("taskName", QByteArray())) << false;
        QTest::newRow("id not a UUID") << planFile(entryObject("id", "\"42\"")) << false;
        QTest::newRow("task id a number") << planFile(entryObject("taskId", "42")) << false;
        QTest::newRow("entries not a list")
            << QByteArray(R"({"date":"2025-03-09T23:00:00Z","entries":{},"version":1})") << false;
    }

    // An unreadable file fails every operation of its day with PlanFileError and stays byte-identical.
    void readsFilesStrictly() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, readable);
        writeFile(planPath(), bytes);
        const QDateTime when = at(day, "12:00");
        const PlannedTimeEntry other = plannedEntry("Other", at(day, "14:00"), at(day, "15:00"));
        const QUuid storedId("{0f8fad5b-d9cb-469f-a165-70867728950e}");

        const QList<std::function<void()>> operations{
            [&] { m_store->loadEntries(when); },
            [&] { m_store->addEntry(other, when); },
            [&] { m_store->updateEntry(other, when); },
            [&] { m_store->removeEntry(storedId, when); },
            [&] { m_store->markEntrySynced(storedId, "ce-9", when); },
            [&] { m_store->markEntryDeleted(storedId, when); },
        };
        if (readable) {
            const QList<PlannedTimeEntry> entries = m_store->loadEntries(when);
            QCOMPARE(entries.size(), 1);
            QCOMPARE(entries[0].id, storedId);
            QCOMPARE(entries[0].syncStatus, SyncStatus::local);
            return;
        }
        for (const auto& operation : operations) {
            try {
                operation();
                QFAIL("an operation on an unreadable plan succeeded");
            } catch (const PlanFileError& error) {
                QCOMPARE(error.kind(), PlanFileError::Kind::undecodable);
                QVERIFY2(error.description().startsWith("The day plan plan-2025-03-10.json is damaged: "),
                         qPrintable(error.description()));
            }
            QCOMPARE(readFile(planPath()), bytes);
        }
    }

    // Whatever stands at the plan's path is read only when it is a regular file within the size cap,
    // opened without blocking: a huge file, a FIFO with no writer, a link to a device or a folder
    // fail at once as unreadable and are left as they are.
    void boundsWhatItReads_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("over the size cap") << "huge";
        QTest::newRow("FIFO without a writer") << "fifo";
        QTest::newRow("link to /dev/zero") << "device";
        QTest::newRow("folder") << "folder";
        QTest::newRow("dangling link") << "dangling";
    }

    void boundsWhatItReads() {
        QFETCH(QString, kind);
        const QString path = planPath();
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        if (kind == "huge") {
            // Valid JSON, padded past the cap with blanks.
            writeFile(path, planFile() + QByteArray(DayPlanningStorageService::maximumFileSize, ' '));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (kind == "device") {
            QVERIFY(QFile::link("/dev/zero", path));
        } else if (kind == "folder") {
            QVERIFY(QDir().mkpath(path));
        } else {
            QVERIFY(QFile::link(m_folder->path() + "/nowhere.json", path));
        }
        const QDateTime when = at(day, "12:00");
        QElapsedTimer clock;
        clock.start();
        for (const auto& operation : QList<std::function<void()>>{
                 [&] { m_store->loadEntries(when); },
                 [&] {
                     m_store->addEntry(plannedEntry("Other", at(day, "14:00"), at(day, "15:00")), when);
                 }}) {
            try {
                operation();
                QFAIL("a plan that is no regular file within the cap was read");
            } catch (const PlanFileError& error) {
                QCOMPARE(error.kind(), PlanFileError::Kind::unreadable);
            }
        }
        QVERIFY(clock.elapsed() < 5000);
        if (kind == "device" || kind == "dangling") {
            QVERIFY(QFileInfo(path).isSymLink());
        }
    }

    // Plans are private: the file is 0600 in a 0700 folder, also when the folder existed more open,
    // and a link in the file's place that leads out of the folder is not written through.
    void writesPrivately() {
        const QString folder = m_store->planningDirectory();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                                  QFileDevice::ExeOther));
        const QDateTime when = at(day, "12:00");
        m_store->addEntry(plannedEntry("A", at(day, "09:00"), at(day, "10:00")), when);
        auto mode = [](const QString& path) {
            struct stat status {};
            return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777)
                                                                             : -1;
        };
        QCOMPARE(mode(planPath()), 0600);
        QCOMPARE(mode(folder), 0700);

        const QString outside = m_folder->path() + "/elsewhere.json";
        writeFile(outside, "untouched");
        const QDateTime next = at(day.addDays(1), "12:00");
        QVERIFY(QFile::link(outside, m_store->filePath(next)));
        QVERIFY_THROWS_EXCEPTION(PlanFileError, m_store->saveEntries({}, next));
        QCOMPARE(readFile(outside), QByteArray("untouched"));
    }

    void choosesTheFileByLocalDay() {
        // 00:30 in Berlin is still the 9th in UTC.
        QCOMPARE(QFileInfo(m_store->filePath(at(day, "00:30"))).fileName(), QString("plan-2025-03-10.json"));
        QCOMPARE(QFileInfo(m_store->filePath(at(day, "23:59"))).fileName(), QString("plan-2025-03-10.json"));
    }

    void keepsOrderAndWritesAsTold() {
        const QDateTime when = at(day, "12:00");
        // No file: an unknown id in update writes nothing, in remove writes an empty plan.
        m_store->updateEntry(plannedEntry("X", at(day, "09:00"), at(day, "10:00")), when);
        QVERIFY(!QFile::exists(planPath()));
        m_store->removeEntry(QUuid::createUuid(), when);
        QVERIFY(QFile::exists(planPath()));
        QCOMPARE(QJsonDocument::fromJson(readFile(planPath())).object().value("entries").toArray().size(), 0);

        const PlannedTimeEntry late = plannedEntry("Late", at(day, "15:00"), at(day, "16:00"));
        const PlannedTimeEntry first = plannedEntry("First", at(day, "09:00"), at(day, "10:00"));
        const PlannedTimeEntry second = plannedEntry("Second", at(day, "09:00"), at(day, "09:30"));
        m_store->addEntry(late, when);
        m_store->addEntry(first, when);
        m_store->addEntry(second, when);
        auto names = [&] {
            QStringList list;
            for (const PlannedTimeEntry& entry : m_store->loadEntries(when)) {
                list.append(entry.taskName + ":" + rawValue(entry.syncStatus));
            }
            return list.join(',');
        };
        QCOMPARE(names(), QString("First:local,Second:local,Late:local"));

        // Marking keeps the stored order, even for a later entry moved before the others in memory.
        m_clock->advance(60);
        m_store->markEntrySynced(late.id, "ce-7", when);
        m_store->markEntryDeleted(first.id, when);
        QCOMPARE(names(), QString("First:deleted,Second:local,Late:synced"));
        const QList<PlannedTimeEntry> stored = m_store->loadEntries(when);
        QCOMPARE(stored[2].clickUpEntryId, std::optional<QString>("ce-7"));
        QCOMPARE(stored[2].modifiedAt, m_clock->now());

        // An update re-sorts; a removal drops every entry with the id.
        PlannedTimeEntry moved = late;
        moved.startTime = at(day, "08:00");
        moved.endTime = at(day, "08:45");
        m_store->updateEntry(moved, when);
        QCOMPARE(names(), QString("Late:local,First:deleted,Second:local"));
        m_store->removeEntry(first.id, when);
        QCOMPARE(names(), QString("Late:local,Second:local"));
    }

    void quarterHours_data() {
        QTest::addColumn<QDateTime>("time");
        QTest::addColumn<QDateTime>("floored");
        QTest::addColumn<QDateTime>("roundedUp");
        const auto t = [](int h, int m, int s) { return QDateTime(day, QTime(h, m, s), Qt::LocalTime); };
        QTest::newRow("08:07:59") << t(8, 7, 59) << t(8, 0, 0) << t(8, 15, 0);
        QTest::newRow("08:52") << t(8, 52, 0) << t(8, 45, 0) << t(9, 0, 0);
        QTest::newRow("09:00:45") << t(9, 0, 45) << t(9, 0, 0) << t(9, 0, 0);
        QTest::newRow("09:50") << t(9, 50, 0) << t(9, 45, 0) << t(10, 0, 0);
        QTest::newRow("23:50 rounds into the next day")
            << t(23, 50, 0) << t(23, 45, 0) << QDateTime(day.addDays(1), QTime(0, 0), Qt::LocalTime);
        QTest::newRow("from UTC") << QDateTime(day, QTime(8, 7), Qt::UTC) << t(9, 0, 0) << t(9, 15, 0);
    }

    void quarterHours() {
        QFETCH(QDateTime, time);
        QFETCH(QDateTime, floored);
        QFETCH(QDateTime, roundedUp);
        QCOMPARE(floorToQuarterHour(time), floored);
        QCOMPARE(roundUpToQuarterHour(time), roundedUp);
    }

    void keepsWallClockTimesOnClockChangeDays() {
        // 30 March 2025: Berlin skips from 02:00 to 03:00.
        const QDate change(2025, 3, 30);
        QCOMPARE(localTimeOfDay(change, 9).time(), QTime(9, 0));
        QCOMPARE(localTimeOfDay(change, 18).time(), QTime(18, 0));
        QCOMPARE(startOfLocalDay(at(change, "20:00")).secsTo(localTimeOfDay(change, 9)), 8 * 3600);
    }

    void normalizesTimes_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<SyncStatus>("status");
        QTest::addColumn<QString>("range");
        QTest::addColumn<SyncStatus>("statusAfter");
        QTest::newRow("empty gets a quarter")
            << "09:00"
            << "09:00" << SyncStatus::local << "[09:00 - 09:15]" << SyncStatus::local;
        QTest::newRow("within one quarter")
            << "10:05"
            << "10:10" << SyncStatus::local << "[10:00 - 10:15]" << SyncStatus::local;
        QTest::newRow("end floored, never rounded up")
            << "09:00"
            << "09:50" << SyncStatus::modified << "[09:00 - 09:45]" << SyncStatus::modified;
        QTest::newRow("end before start")
            << "11:00"
            << "10:00" << SyncStatus::local << "[11:00 - 11:15]" << SyncStatus::local;
        QTest::newRow("synced becomes modified")
            << "14:00"
            << "15:30" << SyncStatus::synced << "[14:00 - 15:30]" << SyncStatus::modified;
    }

    void normalizesTimes() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(SyncStatus, status);
        QFETCH(QString, range);
        QFETCH(SyncStatus, statusAfter);
        PlannedTimeEntry entry = plannedEntry("X", at(day, start), at(day, end), status, QString("ce-1"));
        m_clock->advance(600);
        entry.normalizeTimes();
        QCOMPARE(entry.timeRangeText(), range);
        QCOMPARE(entry.syncStatus, statusAfter);
        QCOMPARE(entry.modifiedAt, m_clock->now());
        QVERIFY(entry.durationSeconds() >= PlannedTimeEntry::minimumSeconds);
    }

    void carriesThePayload() {
        const DraggableTask task{"abc", "Acme - Website", "Acme", 5400};
        const QJsonObject json = QJsonDocument::fromJson(task.toJson()).object();
        QCOMPARE(json.keys(), (QStringList{"clientName", "duration", "taskId", "taskName"}));
        QCOMPARE(json.value("duration").toDouble(), 5400.0);
        QCOMPARE(decodeJson<DraggableTask>(task.toJson()), task);

        std::unique_ptr<QMimeData> data(task.toMimeData());
        QCOMPARE(data->formats(), QStringList{"com.brisvane.Pendlow.draggableTask"});
        QCOMPARE(DraggableTask::fromMimeData(*data), std::optional<DraggableTask>(task));

        QMimeData text;
        text.setText(QString::fromUtf8(task.toJson()));
        QVERIFY(!DraggableTask::fromMimeData(text));
    }

    void decodesThePayloadStrictly_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::newRow("extra key ignored")
            << j("{'taskId':'a','taskName':'b','clientName':'c','duration':60,'x':1}") << true;
        QTest::newRow("no clientName") << j("{'taskId':'a','taskName':'b','duration':60}") << false;
        QTest::newRow("duration as text")
            << j("{'taskId':'a','taskName':'b','clientName':'c','duration':'60'}") << false;
        QTest::newRow("not JSON") << QByteArray("{taskId") << false;
    }

    void decodesThePayloadStrictly() {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        QMimeData data;
        data.setData(DraggableTask::mimeType, json);
        QCOMPARE(DraggableTask::fromMimeData(data).has_value(), decodes);
    }

    void writesDurations_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("compact");
        QTest::newRow("0") << 0.0 << "0m";
        QTest::newRow("59") << 59.0 << "0m";
        QTest::newRow("60") << 60.0 << "1m";
        QTest::newRow("3599") << 3599.0 << "59m";
        QTest::newRow("3600") << 3600.0 << "1h";
        QTest::newRow("3659") << 3659.0 << "1h";
        QTest::newRow("3660") << 3660.0 << "1h 1m";
        QTest::newRow("5400") << 5400.0 << "1h 30m";
        QTest::newRow("7259") << 7259.0 << "2h";
        QTest::newRow("9000") << 9000.0 << "2h 30m";
        QTest::newRow("5400.9") << 5400.9 << "1h 30m";
    }

    void writesDurations() {
        QFETCH(double, seconds);
        QFETCH(QString, compact);
        QCOMPARE(DayPlanText::compactDurationText(seconds), compact);
        QCOMPARE(DayPlanText::durationText(qint64(seconds)), compact);
    }

    void writesTotalsAndPlannedHours() {
        QCOMPARE(DayPlanText::totalText(0), QString("0h 00m"));
        QCOMPARE(DayPlanText::totalText(2 * 3600 + 5 * 60 + 59), QString("2h 05m"));
        QCOMPARE(DayPlanText::totalText(7200), QString("2h 00m"));
        QCOMPARE(DayPlanText::plannedHoursText(1.5), QString("1h 30m"));
        QCOMPARE(DayPlanText::plannedHoursText(0.25), QString("15m"));
        QCOMPARE(DayPlanText::plannedHoursText(2), QString("2h"));
        // 1.45 h is 87 minutes; cut without rounding it would read 1h 26m.
        QCOMPARE(DayPlanText::plannedHoursText(1.45), QString("1h 27m"));
    }

    void laysOutColumns_data() {
        QTest::addColumn<QStringList>("blocks"); // "HH:mm-HH:mm"
        QTest::addColumn<QString>("layout");     // column/count per block, in input order
        QTest::newRow("none") << QStringList{} << "";
        QTest::newRow("lone") << QStringList{"09:00-10:00"} << "0/1";
        QTest::newRow("pair overlaps")
            << QStringList{"09:00-10:00", "09:30-10:30", "11:00-12:00"} << "0/2 1/2 0/1";
        QTest::newRow("column keeps its widest group")
            << QStringList{"09:00-10:00", "11:00-12:00", "11:30-12:30"} << "0/2 0/2 1/2";
        QTest::newRow("touching ends share a column")
            << QStringList{"09:00-10:00", "10:00-11:00"} << "0/1 0/1";
        QTest::newRow("three at once")
            << QStringList{"09:00-12:00", "09:30-10:00", "09:45-10:30"} << "0/3 1/3 2/3";
    }

    void laysOutColumns() {
        QFETCH(QStringList, blocks);
        QFETCH(QString, layout);
        QList<TimelineEntry> entries;
        for (const QString& block : blocks) {
            TimelineEntry entry;
            entry.id = QUuid::createUuid();
            entry.startTime = at(day, block.section('-', 0, 0));
            entry.endTime = at(day, block.section('-', 1, 1));
            entries.append(entry);
        }
        const TimelineColumnLayout computed = TimelineColumnLayout::compute(entries);
        QStringList parts;
        for (const TimelineEntry& entry : entries) {
            parts.append(QString("%1/%2").arg(computed.column(entry.id)).arg(computed.columnCount(entry.id)));
        }
        QCOMPARE(parts.join(' '), layout);
    }
};

PENDLOW_TEST_MAIN(DayPlanModelTest)
#include "tst_DayPlanModel.moc"
