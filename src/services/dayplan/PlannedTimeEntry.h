#pragma once

#include "services/dayplan/SyncStatus.h"

#include <QDateTime>
#include <QJsonObject>
#include <QMetaType>
#include <QString>
#include <QUuid>

#include <optional>

class JsonReader;

// One block of a day plan: time the user means to log against a ClickUp task, later synced to a
// ClickUp time entry. Identified by `id`.
struct PlannedTimeEntry {
    QUuid id;
    QString taskId;
    QString taskName;
    QDateTime startTime;
    QDateTime endTime;
    SyncStatus syncStatus = SyncStatus::local;
    // The ClickUp time entry that holds this entry once synced.
    std::optional<QString> clickUpEntryId;
    QDateTime createdAt;
    QDateTime modifiedAt;

    // The shortest entry a plan keeps, in seconds.
    static constexpr qint64 minimumSeconds = 900;

    // Both times floored to the quarter hour, the end moved to start + 15 min when it is not after
    // the start, modifiedAt = now, and a synced entry becomes modified.
    void normalizeTimes();
    // "[HH:mm - HH:mm]" in local time.
    QString timeRangeText() const;
    qint64 durationSeconds() const { return startTime.secsTo(endTime); }

    // The plan file's entry object: keys sorted, dates as UTC ISO 8601 with whole seconds, the id
    // upper-case, "clickUpEntryId" left out when there is none.
    QJsonObject toJson() const;
    // Every key but "clickUpEntryId" required; dates must be ISO 8601 internet date-times without a
    // fraction of a second. Throws DecodingError.
    static PlannedTimeEntry fromJson(const JsonReader& json);

    // A plan-file date: UTC, whole seconds ("2025-03-09T23:00:00Z").
    static QString dateText(const QDateTime& date);
    // The strict reading of a plan-file date; throws DecodingError at the reader's place.
    static QDateTime readDate(const JsonReader& json);

    bool operator==(const PlannedTimeEntry&) const = default;
};

Q_DECLARE_METATYPE(PlannedTimeEntry)
