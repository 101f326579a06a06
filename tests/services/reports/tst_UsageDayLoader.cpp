// Reading and deleting usage days for the report windows over real day files and a real tracker:
// today merges its file with the tracker's memory by session id; other days come from their files;
// deleting today clears the tracker's memory only once the file is gone.
#include "support/FakeClock.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"
#include "support/UsageSamples.h"
#include "support/UsageTrackerRig.h"

#include "services/reports/UsageDayLoader.h"
#include "services/usage/AppUsageStorageService.h"
#include "services/usage/UsageStorageError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <memory>

using namespace usagesamples;

namespace {
QStringList names(const std::optional<DailyUsageSummary>& summary) {
    QStringList result;
    if (summary) {
        for (const AppUsageSession& session : summary->sessions) {
            result.append(session.appName);
        }
    }
    return result;
}
} // namespace

class UsageDayLoaderTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<AppUsageStorageService> m_storage;
    std::unique_ptr<UsageTrackerRig> m_tracker;

    AppUsageSession named(const char16_t* name, const QString& start, const QString& end) {
        return session(onHeap(u"org.example.") + onHeap(name).toLower(), onHeap(name), at(start), at(end));
    }

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void init() {
        m_clock = std::make_unique<FakeClock>(at(QStringLiteral("18:00")));
        m_folder = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<TestSettings>();
        m_storage = std::make_unique<AppUsageStorageService>(m_folder->path());
        m_tracker = std::make_unique<UsageTrackerRig>(*m_settings, *m_storage);
    }

    void cleanup() {
        m_tracker.reset();
        m_storage.reset();
        m_settings.reset();
        m_folder.reset();
        m_clock.reset();
    }

    void todayMergesFileAndMemoryById_data() {
        QTest::addColumn<bool>("stored");
        QTest::addColumn<bool>("inMemory");
        QTest::addColumn<bool>("withTracker");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("file and memory") << true << true << true << QStringList{"Files", "Mail", "Editor"};
        // Tracking off since start-up, or restarted: the file still shows.
        QTest::newRow("file only") << true << false << true << QStringList{"Files", "Browser"};
        QTest::newRow("no tracker") << true << true << false << QStringList{"Files", "Browser"};
        QTest::newRow("memory only") << false << true << true << QStringList{"Mail", "Editor"};
        QTest::newRow("nothing") << false << false << true << QStringList{};
    }

    void todayMergesFileAndMemoryById() {
        QFETCH(bool, stored);
        QFETCH(bool, inMemory);
        QFETCH(bool, withTracker);
        QFETCH(QStringList, shown);
        const AppUsageSession files = named(u"Files", QStringLiteral("09:00"), QStringLiteral("09:30"));
        const AppUsageSession browser = named(u"Browser", QStringLiteral("10:00"), QStringLiteral("10:30"));
        // The same session as the browser's, grown since the last save (and renamed to tell it apart).
        AppUsageSession grown = browser;
        grown.appName = onHeap(u"Mail");
        grown.endTime = at(QStringLiteral("10:45"));
        const AppUsageSession editor = named(u"Editor", QStringLiteral("11:00"), QStringLiteral("12:00"));
        AppUsageSession yesterdays = editor;
        yesterdays.id = QUuid::createUuid();
        yesterdays.startTime = at(QStringLiteral("23:00")).addDays(-1);
        if (stored) {
            m_storage->save({browser, files}, day());
        }
        if (inMemory) {
            m_tracker->service.setTodaySessions({yesterdays, editor, grown});
        }
        UsageDayLoader loader(*m_storage, withTracker ? &m_tracker->service : nullptr);

        const TaskOutcome<std::optional<DailyUsageSummary>> outcome = awaitTask(loader.loadDay(day()));
        QVERIFY(!outcome.failed());
        const std::optional<DailyUsageSummary>& summary = *outcome.value;
        QVERIFY(summary.has_value());
        QCOMPARE(summary->date, day());
        QCOMPARE(names(summary), shown);
        QVERIFY(!summary->filterStart && !summary->filterEnd);
    }

    void otherDaysComeFromTheirFiles() {
        const QDate past = day().addDays(-3);
        AppUsageSession early = named(u"Files", QStringLiteral("09:00"), QStringLiteral("09:30"));
        early.startTime = early.startTime.addDays(-3);
        AppUsageSession late = early;
        late.id = QUuid::createUuid();
        late.appName = onHeap(u"Late");
        // Started the day after: not the day's.
        late.startTime = early.startTime.addDays(1);
        m_storage->save({early, late}, past);
        m_tracker->service.setTodaySessions(
            {named(u"Editor", QStringLiteral("11:00"), QStringLiteral("12:00"))});
        UsageDayLoader loader(*m_storage, &m_tracker->service);

        QCOMPARE(names(loader.readDay(past)), QStringList{"Files"});
        QVERIFY(!loader.readDay(past.addDays(-1)).has_value());
        QFile broken(m_storage->filePath(past.addDays(-2)));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{ not a usage day");
        broken.close();
        QVERIFY(!loader.readDay(past.addDays(-2)).has_value());
        QCOMPARE(loader.readAvailableDates(), (QList<QDate>{past, past.addDays(-2)}));
    }

    void deletingTodayClearsMemoryAfterTheFile() {
        const AppUsageSession files = named(u"Files", QStringLiteral("09:00"), QStringLiteral("09:30"));
        AppUsageSession yesterdays = files;
        yesterdays.id = QUuid::createUuid();
        yesterdays.startTime = at(QStringLiteral("23:00")).addDays(-1);
        m_storage->save({files}, day());
        m_tracker->service.setTodaySessions({yesterdays, files});
        m_tracker->service.setCurrentSession(
            named(u"Editor", QStringLiteral("17:30"), QStringLiteral("17:30")));
        UsageDayLoader loader(*m_storage, &m_tracker->service);

        QVERIFY(!awaitTask(loader.deleteDay(day())).failed());
        QVERIFY(!QFile::exists(m_storage->filePath(day())));
        // Yesterday's session waits for its own save; today's are gone, the open one too.
        QCOMPARE(m_tracker->service.todaySessions(), QList<AppUsageSession>{yesterdays});
        QVERIFY(!m_tracker->service.currentSession().has_value());
        // The next save does not bring the day back.
        m_tracker->service.saveData();
        QCOMPARE(names(loader.readDay(day())), QStringList{});
    }

    void failedDeleteLeavesFileAndMemory() {
        const AppUsageSession files = named(u"Files", QStringLiteral("09:00"), QStringLiteral("09:30"));
        m_tracker->service.setTodaySessions({files});
        const AppUsageSession open = named(u"Editor", QStringLiteral("17:30"), QStringLiteral("17:30"));
        m_tracker->service.setCurrentSession(open);
        // Something the removal of a file cannot take: a folder under the day file's name.
        QVERIFY(QDir().mkpath(m_storage->filePath(day()) + QStringLiteral("/inside")));
        UsageDayLoader loader(*m_storage, &m_tracker->service);

        const TaskOutcome<void> outcome = awaitTask(loader.deleteDay(day()));
        QVERIFY(outcome.failed());
        QVERIFY(outcome.errorAs<UsageStorageError>().has_value());
        QCOMPARE(outcome.errorAs<UsageStorageError>()->kind(), UsageStorageError::Kind::unremovable);
        QCOMPARE(m_tracker->service.todaySessions(), QList<AppUsageSession>{files});
        QCOMPARE(m_tracker->service.currentSession(), std::optional<AppUsageSession>(open));
    }

    void deletingAPastDayLeavesMemory() {
        const QDate past = day().addDays(-2);
        AppUsageSession old = named(u"Files", QStringLiteral("09:00"), QStringLiteral("09:30"));
        old.startTime = old.startTime.addDays(-2);
        m_storage->save({old}, past);
        const AppUsageSession files = named(u"Files", QStringLiteral("09:00"), QStringLiteral("09:30"));
        m_tracker->service.setTodaySessions({files});
        UsageDayLoader loader(*m_storage, &m_tracker->service);

        QVERIFY(!awaitTask(loader.deleteDay(past)).failed());
        QVERIFY(!QFile::exists(m_storage->filePath(past)));
        QCOMPARE(m_tracker->service.todaySessions(), QList<AppUsageSession>{files});
    }
};

PENDLOW_TEST_MAIN(UsageDayLoaderTest)
#include "tst_UsageDayLoader.moc"
