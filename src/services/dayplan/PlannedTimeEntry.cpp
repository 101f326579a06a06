#include "services/dayplan/PlannedTimeEntry.h"

#include "core/Clock.h"
#include "core/JsonReader.h"
#include "services/dayplan/QuarterHour.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

void PlannedTimeEntry::normalizeTimes() {
    startTime = floorToQuarterHour(startTime);
    endTime = floorToQuarterHour(endTime);
    if (startTime >= endTime) {
        endTime = startTime.addSecs(minimumSeconds);
    }
    modifiedAt = Clock::now();
    if (syncStatus == SyncStatus::synced) {
        syncStatus = SyncStatus::modified;
    }
}

QString PlannedTimeEntry::timeRangeText() const {
    const QString format = u"HH:mm"_s;
    return u"["_s + startTime.toLocalTime().toString(format) + u" - "_s +
           endTime.toLocalTime().toString(format) + u"]"_s;
}

QString PlannedTimeEntry::dateText(const QDateTime& date) {
    return date.toUTC().toString(u"yyyy-MM-dd'T'HH:mm:ss'Z'"_s);
}

QDateTime PlannedTimeEntry::readDate(const JsonReader& json) {
    static const QRegularExpression shape(
        u"^\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}(Z|[+-]\\d{2}:\\d{2})$"_s);
    const QString text = json.string();
    if (!shape.match(text).hasMatch()) {
        throw json.dataCorrupted(u"Expected an ISO 8601 date without fractional seconds, found \""_s + text +
                                 u"\""_s);
    }
    const QDateTime date = QDateTime::fromString(text, Qt::ISODate);
    if (!date.isValid()) {
        throw json.dataCorrupted(u"Invalid date \""_s + text + u"\""_s);
    }
    return date.toLocalTime();
}

QJsonObject PlannedTimeEntry::toJson() const {
    QJsonObject json;
    if (clickUpEntryId) {
        json.insert(u"clickUpEntryId"_s, *clickUpEntryId);
    }
    json.insert(u"createdAt"_s, dateText(createdAt));
    json.insert(u"endTime"_s, dateText(endTime));
    json.insert(u"id"_s, id.toString(QUuid::WithoutBraces).toUpper());
    json.insert(u"modifiedAt"_s, dateText(modifiedAt));
    json.insert(u"startTime"_s, dateText(startTime));
    json.insert(u"syncStatus"_s, rawValue(syncStatus));
    json.insert(u"taskId"_s, taskId);
    json.insert(u"taskName"_s, taskName);
    return json;
}

PlannedTimeEntry PlannedTimeEntry::fromJson(const JsonReader& json) {
    PlannedTimeEntry entry;
    entry.clickUpEntryId = json["clickUpEntryId"_L1].optionalString();
    entry.createdAt = readDate(json["createdAt"_L1]);
    entry.endTime = readDate(json["endTime"_L1]);
    const JsonReader idReader = json["id"_L1];
    const QString idText = idReader.string();
    entry.id = QUuid::fromString(idText);
    if (entry.id.isNull() || idText.size() != 36) {
        throw idReader.dataCorrupted(u"Invalid UUID \""_s + idText + u"\""_s);
    }
    entry.modifiedAt = readDate(json["modifiedAt"_L1]);
    entry.startTime = readDate(json["startTime"_L1]);
    const JsonReader statusReader = json["syncStatus"_L1];
    const QString statusText = statusReader.string();
    const std::optional<SyncStatus> status = syncStatusFromRawValue(statusText);
    if (!status) {
        throw statusReader.dataCorrupted(u"Unknown sync status \""_s + statusText + u"\""_s);
    }
    entry.syncStatus = *status;
    entry.taskId = json["taskId"_L1].string();
    entry.taskName = json["taskName"_L1].string();
    return entry;
}
