#include "services/dayplan/DayPlanningStorageService.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "core/Log.h"
#include "core/PrivateFile.h"
#include "core/PrivateFileError.h"
#include "services/dayplan/PlanFileError.h"
#include "services/dayplan/QuarterHour.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

using namespace Qt::StringLiterals;

DayPlanningStorageService::DayPlanningStorageService(QString planningDirectory)
    : m_directory(std::move(planningDirectory)) {}

QString DayPlanningStorageService::defaultDirectory() {
    return AppPaths::dataRoot() + u"/planning"_s;
}

void DayPlanningStorageService::ensureDirectoryExists() const {
    if (m_directory.isEmpty()) {
        throw PlanFileError(PlanFileError::Kind::unwritable, u"planning"_s, u"no data folder"_s);
    }
    if (!PrivateFile::ensureFolder(m_directory)) {
        throw PlanFileError(PlanFileError::Kind::unwritable, m_directory, u"the folder cannot be created"_s);
    }
}

QString DayPlanningStorageService::dayKey(const QDateTime& day) {
    return day.toLocalTime().date().toString(u"yyyy-MM-dd"_s);
}

QString DayPlanningStorageService::filePath(const QDateTime& day) const {
    return m_directory + u"/plan-"_s + dayKey(day) + u".json"_s;
}

void DayPlanningStorageService::sortByStart(QList<PlannedTimeEntry>& entries) {
    std::stable_sort(
        entries.begin(), entries.end(),
        [](const PlannedTimeEntry& a, const PlannedTimeEntry& b) { return a.startTime < b.startTime; });
}

QByteArray DayPlanningStorageService::encode(const QList<PlannedTimeEntry>& entries, const QDateTime& day) {
    QJsonArray list;
    for (const PlannedTimeEntry& entry : entries) {
        list.append(entry.toJson());
    }
    QJsonObject root;
    root.insert(u"date"_s, PlannedTimeEntry::dateText(startOfLocalDay(day)));
    root.insert(u"entries"_s, list);
    root.insert(u"version"_s, 1);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QList<PlannedTimeEntry> DayPlanningStorageService::decode(const QByteArray& bytes) {
    const JsonReader root = JsonReader::parse(bytes);
    root.object();
    PlannedTimeEntry::readDate(root["date"_L1]);
    root["version"_L1].integer();
    return root["entries"_L1].list<PlannedTimeEntry>();
}

QList<PlannedTimeEntry> DayPlanningStorageService::loadEntries(const QDateTime& day) const {
    const QString path = filePath(day);
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return {};
    }
    QByteArray bytes;
    try {
        bytes = PrivateFile::read(path, maximumFileSize);
    } catch (const PrivateFileError& error) {
        throw PlanFileError(PlanFileError::Kind::unreadable, path, error.detail());
    }
    try {
        return decode(bytes);
    } catch (const DecodingError& error) {
        throw PlanFileError(PlanFileError::Kind::undecodable, path, error.description());
    }
}

void DayPlanningStorageService::saveEntries(const QList<PlannedTimeEntry>& entries,
                                            const QDateTime& day) const {
    ensureDirectoryExists();
    const QString path = filePath(day);
    try {
        PrivateFile::write(path, encode(entries, day));
    } catch (const PrivateFileError& error) {
        throw PlanFileError(PlanFileError::Kind::unwritable, path, error.detail());
    }
    Log::debug(u"Saved "_s + QString::number(entries.size()) + u" planned entries for "_s + dayKey(day),
               Log::Category::general);
}

void DayPlanningStorageService::addEntry(const PlannedTimeEntry& entry, const QDateTime& day) const {
    QList<PlannedTimeEntry> entries = loadEntries(day);
    entries.append(entry);
    sortByStart(entries);
    saveEntries(entries, day);
}

void DayPlanningStorageService::updateEntry(const PlannedTimeEntry& entry, const QDateTime& day) const {
    QList<PlannedTimeEntry> entries = loadEntries(day);
    const auto found = std::find_if(entries.begin(), entries.end(), [&entry](const PlannedTimeEntry& stored) {
        return stored.id == entry.id;
    });
    if (found == entries.end()) {
        return;
    }
    *found = entry;
    sortByStart(entries);
    saveEntries(entries, day);
}

void DayPlanningStorageService::removeEntry(const QUuid& id, const QDateTime& day) const {
    QList<PlannedTimeEntry> entries = loadEntries(day);
    entries.removeIf([&id](const PlannedTimeEntry& stored) { return stored.id == id; });
    saveEntries(entries, day);
}

void DayPlanningStorageService::markEntrySynced(const QUuid& id, const QString& clickUpEntryId,
                                                const QDateTime& day) const {
    QList<PlannedTimeEntry> entries = loadEntries(day);
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&id](const PlannedTimeEntry& stored) { return stored.id == id; });
    if (found == entries.end()) {
        return;
    }
    found->syncStatus = SyncStatus::synced;
    found->clickUpEntryId = clickUpEntryId;
    found->modifiedAt = Clock::now();
    saveEntries(entries, day);
}

void DayPlanningStorageService::markEntryDeleted(const QUuid& id, const QDateTime& day) const {
    QList<PlannedTimeEntry> entries = loadEntries(day);
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&id](const PlannedTimeEntry& stored) { return stored.id == id; });
    if (found == entries.end()) {
        return;
    }
    found->syncStatus = SyncStatus::deleted;
    found->modifiedAt = Clock::now();
    saveEntries(entries, day);
}

void DayPlanningStorageService::unlinkEntry(const QUuid& id, const QDateTime& day) const {
    QList<PlannedTimeEntry> entries = loadEntries(day);
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&id](const PlannedTimeEntry& stored) { return stored.id == id; });
    if (found == entries.end()) {
        return;
    }
    found->syncStatus = SyncStatus::local;
    found->clickUpEntryId.reset();
    found->modifiedAt = Clock::now();
    saveEntries(entries, day);
}
