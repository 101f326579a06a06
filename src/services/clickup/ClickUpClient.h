#pragma once

#include "services/clickup/ActiveTimer.h"
#include "services/clickup/ClickUpSearchResult.h"
#include "services/clickup/TimeEntry.h"

#include <QCoroTask>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The ClickUp REST client as the states and day planning hold it, so tests can substitute it.
// Every operation may throw: APIError, or a transport error where the client passes one on unwrapped.
class ClickUpClient {
public:
    virtual ~ClickUpClient() = default;

    virtual QCoro::Task<std::optional<ActiveTimer>> getCurrentTimer(QString teamId) = 0;
    // Stops whatever runs first, then starts a timer on the task.
    virtual QCoro::Task<std::optional<ActiveTimer>> startTimer(QString teamId, QString taskId) = 0;
    virtual QCoro::Task<> stopTimer(QString teamId) = 0;
    // Every entry from the start date on, in the order ClickUp lists them.
    virtual QCoro::Task<QList<TimeEntry>> getTimeEntries(QString teamId, QDateTime startDate) = 0;
    virtual QCoro::Task<TimeEntry> createTimeEntry(QString teamId, QString taskId, QDateTime startDate,
                                                   QDateTime endDate, std::optional<QString> description) = 0;
    virtual QCoro::Task<TimeEntry> updateTimeEntry(QString teamId, QString timeEntryId, QDateTime startDate,
                                                   QDateTime endDate) = 0;
    virtual QCoro::Task<> deleteTimeEntry(QString teamId, QString timeEntryId) = 0;
    // Tasks whose name or id contains the query (case-insensitive), at most limit of them.
    virtual QCoro::Task<QList<ClickUpSearchResult>> searchTasks(QString teamId, QString query, int limit) = 0;
};
