#include "DayPlanSamples.h"

#include <QTime>
#include <QUuid>

#include <ctime>

void useBerlinTime() {
    qputenv("TZ", "Europe/Berlin");
    tzset();
}

QDateTime at(const QDate& day, const QString& hhmm) {
    return QDateTime(day, QTime::fromString(hhmm, QStringLiteral("HH:mm")), Qt::LocalTime);
}

PlannedTimeEntry plannedEntry(const QString& name, const QDateTime& start, const QDateTime& end,
                              SyncStatus status, const std::optional<QString>& clickUpEntryId) {
    PlannedTimeEntry entry;
    entry.id = QUuid::createUuid();
    entry.taskId = QStringLiteral("t-") + name;
    entry.taskName = name;
    entry.startTime = start;
    entry.endTime = end;
    entry.syncStatus = status;
    entry.clickUpEntryId = clickUpEntryId;
    entry.createdAt = start;
    entry.modifiedAt = start;
    return entry;
}
