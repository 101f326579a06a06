#pragma once

#include "services/clickup/ActiveTimer.h"
#include "services/clickup/TimeEntry.h"

#include <QCoroTask>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class ClickUpSender;

// The timer and time-entry operations of the ClickUp API, sent through a ClickUpSender.
//
// Failures: the stop and update requests and the entry listing report every failure as an APIError
// (a transport failure as networkError); getCurrentTimer, startTimer, createTimeEntry and
// deleteTimeEntry pass transport failures on as TransportError (see each operation).
class ClickUpEndpoints {
public:
    explicit ClickUpEndpoints(ClickUpSender& sender);

    // None when ClickUp reports no timer, and also when the reply cannot be read. Transport failures
    // pass on unchanged; any status outside 2xx is httpError without a message.
    QCoro::Task<std::optional<ActiveTimer>> getCurrentTimer(QString teamId);
    // Stops what runs (ignoring any failure of that), then starts the task's timer. A reply that
    // cannot be read is answered by reading the current timer. A status outside 2xx is httpError with
    // the whole body as message; transport failures pass on unchanged.
    QCoro::Task<std::optional<ActiveTimer>> startTimer(QString teamId, QString taskId);
    QCoro::Task<> stopTimer(QString teamId);
    QCoro::Task<QList<TimeEntry>> getTimeEntries(QString teamId, QDateTime startDate);
    // A status outside 2xx is httpError with the whole body as message; transport failures pass on.
    QCoro::Task<TimeEntry> createTimeEntry(QString teamId, QString taskId, QDateTime startDate,
                                           QDateTime endDate, std::optional<QString> description);
    QCoro::Task<TimeEntry> updateTimeEntry(QString teamId, QString timeEntryId, QDateTime startDate,
                                           QDateTime endDate);
    // Succeeds on any 2xx status, body ignored; otherwise httpError without a message. Transport
    // failures pass on unchanged.
    QCoro::Task<> deleteTimeEntry(QString teamId, QString timeEntryId);

private:
    ClickUpSender& m_sender;
};
