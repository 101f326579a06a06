#pragma once

#include "services/usage/AppUsageSession.h"
#include "services/usage/UsageStorageError.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QObject;
class QThreadPool;

// Keeps one usage day file per calendar day, "<folder>/yyyy-MM-dd.json" (see UsageDayFile for the
// format). Operations run on the calling (GUI) thread, but for the writes of saveInBackground; every
// failure is a UsageStorageError naming the file.
//
// A day file that cannot be read is never overwritten: before the first save of that day it is
// renamed to "yyyy-MM-dd.json.corrupt-<seconds since 1970>" (bytes untouched) and a warning says so;
// the day is then recorded anew.
class AppUsageStorageService {
public:
    // Files larger than this are refused on reading (a day of heavy use is a few megabytes).
    static constexpr qint64 maximumFileSize = 32 * 1024 * 1024;

    // The folder of the day files: the application's "usage" data folder when not given.
    explicit AppUsageStorageService(QString usageDirectory = {});
    // Waits for the writes still running.
    ~AppUsageStorageService();
    AppUsageStorageService(const AppUsageStorageService&) = delete;
    AppUsageStorageService& operator=(const AppUsageStorageService&) = delete;

    const QString& usageDirectory() const { return m_directory; }
    // Creates the folder and its parents when missing.
    void ensureDirectoryExists() const;
    QString filePath(QDate day) const;

    // The sessions of the day's file, unchanged and in file order; an empty list when the day has no
    // file (nothing is created then).
    QList<AppUsageSession> load(QDate day);
    // Writes the list as the day's file, replacing it as a whole: written aside, flushed, renamed into
    // place, and the folder flushed, so a power cut leaves the old or the new file.
    void save(const QList<AppUsageSession>& sessions, QDate day);
    // Like save(), but only the checks and the encoding run on the calling thread: the write, its
    // flushes and the rename run on the storage's own writer thread (a flush to disk can take tens of
    // milliseconds on a busy machine), one write after the other in the order asked. Every other
    // member waits for the writes asked before it, so a read sees them and a delete is not undone by
    // one still running. `done` runs on the calling thread's event loop once the write has ended, with
    // its error if it failed; not when `context` is gone by then. Failures of the checks (the folder,
    // an unreadable day) are thrown at once, like save().
    using WriteDone = std::function<void(const std::optional<UsageStorageError>& error)>;
    void saveInBackground(const QList<AppUsageSession>& sessions, QDate day, QObject* context,
                          WriteDone done);
    // save() and saveInBackground() of a day file already encoded (what UsageDayFile::toJson, or
    // CompactSessionList::dayFile, writes of that day's sessions).
    void saveEncoded(const QByteArray& bytes, QDate day);
    void saveEncodedInBackground(QByteArray bytes, QDate day, QObject* context, WriteDone done);
    // Blocks until every write asked so far has ended.
    void waitForWrites() const;
    // The days that have a file named "yyyy-MM-dd.json", newest first. Creates the folder.
    QList<QDate> availableDates() const;
    // Removes the day files of days that began before now (Clock::now()) moved back by that many
    // calendar days; a negative number means 30. Today's file is never removed, nor any file whose
    // name is not "yyyy-MM-dd.json".
    void cleanup(int olderThanDays);
    // Removes the folder with all it holds.
    void deleteAllData();
    // Removes the day's file when there is one.
    void deleteData(QDate day);

private:
    QList<AppUsageSession> read(const QString& path) const;
    void moveAside(const QString& path, const QString& reason);
    QList<QDate> datedFiles() const;
    // The checks before a day is written.
    void prepareWrite(QDate day);

    QString m_directory;
    // Days whose file on disk is known to be a readable day (loaded or written by us), and days whose
    // file failed to load.
    QSet<QDate> m_readable;
    QHash<QDate, QString> m_unreadable;
    // Receives the ends of the background writes on the thread that made the storage; declared before
    // the writer so that it outlives the writer's thread.
    std::unique_ptr<QObject> m_writeEnds;
    std::unique_ptr<QThreadPool> m_writer;
};
