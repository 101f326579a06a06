// Usage storage: day files in a folder, reading failures that name the file, quarantine of unreadable
// days, listing among foreign files, clean-up by retention and writes on the writer thread.
#include "support/TestMain.h"

#include "services/usage/AppUsageStorageService.h"
#include "services/usage/UsageDay.h"
#include "services/usage/UsageStorageError.h"
#include "support/FakeClock.h"
#include "support/LogCapture.h"
#include "support/UsageSamples.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <optional>

#include <sys/stat.h>

using namespace usagesamples;

namespace {
void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<AppUsageSession> twoSessions() {
    AppUsageSession first =
        session(QStringLiteral("org.mozilla.firefox"), QStringLiteral("Firefox"), at(QStringLiteral("09:00")),
                at(QStringLiteral("09:30")), QStringLiteral("t1"));
    first.addCapture(capture(QStringLiteral("Docs - Firefox"), at(QStringLiteral("09:05")),
                             QStringLiteral("https://example.org/docs")));
    const AppUsageSession second = session(QStringLiteral("code"), QStringLiteral("Code"),
                                           at(QStringLiteral("09:30")), at(QStringLiteral("10:00")));
    return {first, second};
}
} // namespace

class UsageStorage : public QObject {
    Q_OBJECT

    QTemporaryDir m_root;
    QString folder() const { return m_root.path() + QStringLiteral("/Pendlow/usage"); }

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void init() { QDir(folder()).removeRecursively(); }

    void savesAndLoadsADay() {
        AppUsageStorageService storage(folder());
        const QList<AppUsageSession> sessions = twoSessions();
        storage.save(sessions, day());
        QCOMPARE(storage.filePath(day()), folder() + QStringLiteral("/2025-03-14.json"));
        QVERIFY(readFile(storage.filePath(day())).startsWith("{\"date\":\"2025-03-14\",\"sessions\":[{"));
        QCOMPARE(storage.load(day()), sessions);
        // A later save replaces the file as a whole.
        storage.save({sessions[1]}, day());
        QCOMPARE(storage.load(day()), QList<AppUsageSession>{sessions[1]});
        storage.save({}, day());
        QCOMPARE(readFile(storage.filePath(day())), QByteArray("{\"date\":\"2025-03-14\",\"sessions\":[]}"));
        QCOMPARE(QDir(folder()).entryList(QDir::Files), QStringList{QStringLiteral("2025-03-14.json")});
    }

    void loadWithoutAFolderCreatesNothing() {
        AppUsageStorageService storage(folder());
        QCOMPARE(storage.load(day()), QList<AppUsageSession>());
        QVERIFY(!QFileInfo::exists(folder()));
        storage.deleteData(day()); // nothing to delete is no error
        storage.deleteAllData();
        QCOMPARE(storage.availableDates(), QList<QDate>());
        QVERIFY(QFileInfo(folder()).isDir());
    }

    void unreadableFilesFailNamingTheFile_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("kind");
        QTest::newRow("garbage") << QByteArray("not json at all")
                                 << int(UsageStorageError::Kind::undecodable);
        QTest::newRow("truncated") << QByteArray("{\"date\":\"2025-03-14\",\"sessions\":[{\"id\":")
                                   << int(UsageStorageError::Kind::undecodable);
        QTest::newRow("wrong type") << QByteArray("{\"date\":\"2025-03-14\",\"sessions\":{}}")
                                    << int(UsageStorageError::Kind::undecodable);
        QByteArray huge(AppUsageStorageService::maximumFileSize + 1, ' ');
        huge.replace(0, 2, "{}");
        QTest::newRow("too large") << huge << int(UsageStorageError::Kind::tooLarge);
    }

    void unreadableFilesFailNamingTheFile() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, kind);
        AppUsageStorageService storage(folder());
        storage.ensureDirectoryExists();
        writeFile(storage.filePath(day()), bytes);
        try {
            storage.load(day());
            QFAIL("loaded an unreadable file");
        } catch (const UsageStorageError& error) {
            QCOMPARE(int(error.kind()), kind);
            QCOMPARE(error.path(), storage.filePath(day()));
            QVERIFY2(error.description().contains(storage.filePath(day())), qPrintable(error.description()));
        }
        QCOMPARE(readFile(storage.filePath(day())).size(), bytes.size()); // untouched
    }

    void anUnreadableDayIsMovedAsideBeforeItIsWritten() {
        const FakeClock clock(at(QStringLiteral("12:00")));
        const QByteArray damaged = "{\"date\":\"2025-03-14\",\"sessions\":[{\"id\":\"truncated";
        AppUsageStorageService storage(folder());
        storage.ensureDirectoryExists();
        writeFile(storage.filePath(day()), damaged);
        QVERIFY_THROWS_EXCEPTION(UsageStorageError, storage.load(day()));

        LogCapture log;
        const QList<AppUsageSession> fresh = twoSessions();
        storage.save(fresh, day());
        const QString aside = storage.filePath(day()) + QStringLiteral(".corrupt-") +
                              QString::number(clock.now().toSecsSinceEpoch());
        QCOMPARE(readFile(aside), damaged);
        QCOMPARE(storage.load(day()), fresh);
        QCOMPARE(log.count(aside), 1);
        // Only the first save of the day moves a file aside.
        storage.save(fresh, day());
        QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 2);
    }

    void aDayNeverLoadedIsCheckedBeforeTheFirstSave() {
        const FakeClock clock(at(QStringLiteral("12:00")));
        const QByteArray damaged = "\x00\x01garbage";
        {
            AppUsageStorageService writer(folder());
            writer.ensureDirectoryExists();
            writeFile(writer.filePath(day()), damaged);
        }
        AppUsageStorageService storage(folder()); // a new process: nothing loaded yet
        storage.save(twoSessions(), day());
        QCOMPARE(readFile(storage.filePath(day()) + QStringLiteral(".corrupt-") +
                          QString::number(clock.now().toSecsSinceEpoch())),
                 damaged);

        // A readable day written by an earlier run is simply replaced.
        AppUsageStorageService again(folder());
        again.save({}, day());
        QCOMPARE(QDir(folder()).entryList(QDir::Files).size(), 2);
    }

    void listsOnlyDayFilesNewestFirst() {
        AppUsageStorageService storage(folder());
        storage.ensureDirectoryExists();
        for (const char* name : {"2025-03-14.json", "2025-03-02.json", "2025-03-10.json", "2025-03-14.bak",
                                 "2025-03-09.json.corrupt-1741950000", "notes.txt", "2025-13-01.json",
                                 "2025-03-1.json", ".2025-03-08.json"}) {
            writeFile(folder() + QLatin1Char('/') + QLatin1String(name), "{}");
        }
        QDir(folder()).mkdir(QStringLiteral("2025-03-05.json"));
        QCOMPARE(storage.availableDates(),
                 (QList<QDate>{QDate(2025, 3, 14), QDate(2025, 3, 10), QDate(2025, 3, 2)}));
    }

    void cleanupByRetention_data() {
        QTest::addColumn<int>("days");
        QTest::addColumn<QStringList>("left");
        const QString today = QStringLiteral("2025-03-31.json");
        QTest::newRow("30 days keeps today and the 29 before")
            << 30
            << QStringList{QStringLiteral("2025-02-28.json.corrupt-1"),
                           QStringLiteral("2025-03-01.json.bak"),
                           QStringLiteral("2025-03-02.json"),
                           QStringLiteral("2025-03-30.json"),
                           today,
                           QStringLiteral("notes.txt")};
        QTest::newRow("negative means 30") << -5
                                           << QStringList{QStringLiteral("2025-02-28.json.corrupt-1"),
                                                          QStringLiteral("2025-03-01.json.bak"),
                                                          QStringLiteral("2025-03-02.json"),
                                                          QStringLiteral("2025-03-30.json"),
                                                          today,
                                                          QStringLiteral("notes.txt")};
        QTest::newRow("0 keeps today")
            << 0
            << QStringList{QStringLiteral("2025-02-28.json.corrupt-1"), QStringLiteral("2025-03-01.json.bak"),
                           today, QStringLiteral("notes.txt")};
        QTest::newRow("1 keeps only today (yesterday began before 15:00 yesterday)")
            << 1
            << QStringList{QStringLiteral("2025-02-28.json.corrupt-1"), QStringLiteral("2025-03-01.json.bak"),
                           today, QStringLiteral("notes.txt")};
    }

    void cleanupByRetention() {
        QFETCH(int, days);
        QFETCH(QStringList, left);
        const FakeClock clock(QDateTime(QDate(2025, 3, 31), QTime(15, 0)));
        AppUsageStorageService storage(folder());
        storage.ensureDirectoryExists();
        for (const char* name :
             {"2025-02-27.json", "2025-03-01.json", "2025-03-02.json", "2025-03-30.json", "2025-03-31.json",
              "2025-03-01.json.bak", "2025-02-28.json.corrupt-1", "notes.txt"}) {
            writeFile(folder() + QLatin1Char('/') + QLatin1String(name), "{}");
        }
        storage.cleanup(days);
        QStringList files = QDir(folder()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(files, left);
    }

    void deletesOneDayOrEverything() {
        AppUsageStorageService storage(folder());
        storage.save(twoSessions(), day());
        storage.save({}, day().addDays(1));
        storage.deleteData(day());
        QCOMPARE(storage.availableDates(), QList<QDate>{day().addDays(1)});
        storage.deleteAllData();
        QVERIFY(!QFileInfo::exists(folder()));
        storage.save({}, day()); // the next save makes the folder again
        QCOMPARE(storage.availableDates(), QList<QDate>{day()});
    }

    // Writes on the writer thread end in the order asked, report their end on the caller's thread,
    // and every other member waits for them: a read sees the last one, a delete is not undone.
    void backgroundWritesKeepTheirOrderAndAreWaitedFor() {
        AppUsageStorageService storage(folder());
        QObject context;
        auto ends = std::make_shared<QList<std::optional<UsageStorageError>>>();
        const QThread* caller = QThread::currentThread();
        bool otherThread = false;
        auto done = [ends, caller, &otherThread](const std::optional<UsageStorageError>& error) {
            otherThread = otherThread || QThread::currentThread() != caller;
            ends->append(error);
        };
        const QList<AppUsageSession> sessions = twoSessions();
        storage.saveInBackground(sessions.mid(0, 1), day(), &context, done);
        storage.saveInBackground(sessions, day(), &context, done);
        QCOMPARE(storage.load(day()), sessions);
        QTRY_COMPARE(ends->size(), 2);
        QVERIFY(!ends->at(0) && !ends->at(1));
        QVERIFY(!otherThread);

        storage.saveInBackground(sessions, day().addDays(1), &context, done);
        storage.deleteData(day().addDays(1));
        QVERIFY(!QFileInfo::exists(storage.filePath(day().addDays(1))));
        storage.saveInBackground(sessions, day().addDays(1), &context, done);
        storage.deleteAllData();
        QVERIFY(!QFileInfo::exists(folder()));
    }

    // A write that fails on the writer thread reports its error, naming the file; nothing is called
    // once the context is gone.
    void aFailedBackgroundWriteIsReported() {
        AppUsageStorageService storage(folder());
        storage.save(twoSessions(), day());
        // The day's file becomes a folder that holds something: the rename into place fails.
        const QString path = storage.filePath(day());
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkpath(path + QStringLiteral("/inside")));

        auto ends = std::make_shared<QList<std::optional<UsageStorageError>>>();
        auto done = [ends](const std::optional<UsageStorageError>& error) { ends->append(error); };
        auto context = std::make_unique<QObject>();
        storage.saveInBackground(twoSessions(), day(), context.get(), done);
        QTRY_COMPARE(ends->size(), 1);
        QVERIFY(ends->at(0).has_value());
        QCOMPARE(ends->at(0)->kind(), UsageStorageError::Kind::unwritable);
        QCOMPARE(ends->at(0)->path(), path);

        storage.saveInBackground(twoSessions(), day(), context.get(), done);
        storage.waitForWrites();
        context.reset();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(ends->size(), 1);
    }

    // A FIFO in the day's place would block an open() for good: it is refused at once, kept aside by
    // the next save, and the day is written anew.
    void aFifoInPlaceOfTheDayIsRefusedWithoutBlocking() {
        AppUsageStorageService storage(folder());
        storage.ensureDirectoryExists();
        const QString path = storage.filePath(day());
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        try {
            storage.load(day());
            QFAIL("a FIFO was read as a day");
        } catch (const UsageStorageError& error) {
            QCOMPARE(error.kind(), UsageStorageError::Kind::unreadable);
            QCOMPARE(error.path(), path);
        }
        const QList<AppUsageSession> sessions = twoSessions();
        storage.save(sessions, day());
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(storage.load(day()), sessions);
        QCOMPARE(QFileInfo(path).permissions() & 0x0077, QFileDevice::Permissions());
    }

    // A link at the day's path that leads out of the usage folder is not written through.
    void aLinkOutOfTheFolderIsNotWrittenThrough() {
        AppUsageStorageService storage(folder());
        storage.ensureDirectoryExists();
        const QString outside = m_root.path() + QStringLiteral("/elsewhere.json");
        QVERIFY(QFile::link(outside, storage.filePath(day())));
        QVERIFY_THROWS_EXCEPTION(UsageStorageError, storage.save(twoSessions(), day()));
        QVERIFY(!QFileInfo::exists(outside));
    }

    void aFolderThatCannotBeMadeIsReported() {
        const QString blocker = m_root.path() + QStringLiteral("/blocker");
        writeFile(blocker, "file, not folder");
        AppUsageStorageService storage(blocker + QStringLiteral("/usage"));
        QVERIFY_THROWS_EXCEPTION(UsageStorageError, storage.save({}, day()));
        QCOMPARE(storage.load(day()), QList<AppUsageSession>());
    }
};

PENDLOW_TEST_MAIN(UsageStorage)
#include "tst_UsageStorage.moc"
