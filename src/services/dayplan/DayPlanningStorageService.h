#pragma once

#include "services/dayplan/PlannedTimeEntry.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QUuid>

// The plan store: one JSON file per day, "plan-yyyy-MM-dd.json" in its folder
// ($XDG_DATA_HOME/Pendlow/planning in the application). Every operation reads the day's file afresh
// and writes the whole file back atomically (PrivateFile: 0600 in a 0700 folder, never through a link
// out of the folder), so a reader never sees half a file. A file is read only when it is a regular
// file of at most maximumFileSize bytes, opened without blocking. All of
// it runs on the calling (GUI) thread and finishes before returning, so two changes never interleave.
//
// The day argument is any instant of the day (local time). A missing file is an empty plan. A file
// that cannot be read or decoded fails every operation with PlanFileError and is never written.
// The operations are virtual so that tests can make one of them fail.
class DayPlanningStorageService {
public:
    // A day holds a few dozen entries (about 300 bytes each); anything near this is not a plan.
    static constexpr qint64 maximumFileSize = 1024 * 1024;

    explicit DayPlanningStorageService(QString planningDirectory);
    virtual ~DayPlanningStorageService() = default;
    DayPlanningStorageService(const DayPlanningStorageService&) = delete;
    DayPlanningStorageService& operator=(const DayPlanningStorageService&) = delete;

    // $XDG_DATA_HOME/Pendlow/planning.
    static QString defaultDirectory();

    const QString& planningDirectory() const { return m_directory; }
    // Creates the folder with its parents when it is missing; throws PlanFileError when it cannot.
    void ensureDirectoryExists() const;
    // The day's file: folder + "/plan-" + yyyy-MM-dd of the local day + ".json".
    QString filePath(const QDateTime& day) const;
    static QString dayKey(const QDateTime& day);

    // The file's entries in stored order; none when there is no file.
    virtual QList<PlannedTimeEntry> loadEntries(const QDateTime& day) const;
    // Writes the list as the day's file, exactly in the given order.
    virtual void saveEntries(const QList<PlannedTimeEntry>& entries, const QDateTime& day) const;
    // Load, append, stable sort by start, save.
    virtual void addEntry(const PlannedTimeEntry& entry, const QDateTime& day) const;
    // Replaces the first entry with the same id, sorts by start, saves; nothing written when none has it.
    virtual void updateEntry(const PlannedTimeEntry& entry, const QDateTime& day) const;
    // Drops every entry with the id and saves (also when nothing matched, also without a file).
    virtual void removeEntry(const QUuid& id, const QDateTime& day) const;
    // The first entry with the id becomes synced with the ClickUp id, modifiedAt now; order kept.
    // Nothing written when none has the id.
    virtual void markEntrySynced(const QUuid& id, const QString& clickUpEntryId, const QDateTime& day) const;
    // The first entry with the id becomes deleted, modifiedAt now; order kept. Nothing written when
    // none has the id.
    virtual void markEntryDeleted(const QUuid& id, const QDateTime& day) const;
    // The first entry with the id loses its ClickUp link and becomes local again, modifiedAt now;
    // order kept. Nothing written when none has the id.
    virtual void unlinkEntry(const QUuid& id, const QDateTime& day) const;

    // Stable ascending order by start.
    static void sortByStart(QList<PlannedTimeEntry>& entries);
    // The file's bytes for the day and entries (indented, keys sorted, "version" 1).
    static QByteArray encode(const QList<PlannedTimeEntry>& entries, const QDateTime& day);
    // The entries of a file's bytes; throws DecodingError.
    static QList<PlannedTimeEntry> decode(const QByteArray& bytes);

private:
    QString m_directory;
};
