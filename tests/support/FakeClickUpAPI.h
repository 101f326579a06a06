#pragma once

#include "support/TestData.h"

#include "services/clickup/ClickUpClient.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <exception>
#include <stdexcept>

// A ClickUp client for the tests of its consumers. It keeps a running timer like ClickUp does (a
// start replaces it, a stop clears it), answers with the entries and search results it was given,
// records every call, fails an operation with scripted errors, and can hold an operation's calls
// until released. The texts it answers with are made on the heap, whatever the test gave it.
class FakeClickUpAPI : public QObject, public ClickUpClient {
    Q_OBJECT

public:
    // Operation names, as recorded and as used by failNext() and hold().
    static inline const QString getCurrentTimerOp = onHeap(u"getCurrentTimer");
    static inline const QString startTimerOp = onHeap(u"startTimer");
    static inline const QString stopTimerOp = onHeap(u"stopTimer");
    static inline const QString getTimeEntriesOp = onHeap(u"getTimeEntries");
    static inline const QString createTimeEntryOp = onHeap(u"createTimeEntry");
    static inline const QString updateTimeEntryOp = onHeap(u"updateTimeEntry");
    static inline const QString deleteTimeEntryOp = onHeap(u"deleteTimeEntry");
    static inline const QString searchTasksOp = onHeap(u"searchTasks");

    struct Call {
        QString operation;
        QString teamId;
        QString taskId; // start: the task; update and delete: the entry id
        QDateTime startDate;
        QDateTime endDate; // create and update
        QString query;
        int limit = 0;
    };

    // A failure that is not an APIError, as the client passes transport failures on unwrapped.
    struct TransportFailure : std::runtime_error {
        using std::runtime_error::runtime_error;
    };

    explicit FakeClickUpAPI(QObject* parent = nullptr);
    // Calls still held fail as a closed client's would, so that no caller waits on for good.
    ~FakeClickUpAPI() override;

    QCoro::Task<std::optional<ActiveTimer>> getCurrentTimer(QString teamId) override;
    QCoro::Task<std::optional<ActiveTimer>> startTimer(QString teamId, QString taskId) override;
    QCoro::Task<> stopTimer(QString teamId) override;
    QCoro::Task<QList<TimeEntry>> getTimeEntries(QString teamId, QDateTime startDate) override;
    QCoro::Task<TimeEntry> createTimeEntry(QString teamId, QString taskId, QDateTime startDate,
                                           QDateTime endDate, std::optional<QString> description) override;
    QCoro::Task<TimeEntry> updateTimeEntry(QString teamId, QString timeEntryId, QDateTime startDate,
                                           QDateTime endDate) override;
    QCoro::Task<> deleteTimeEntry(QString teamId, QString timeEntryId) override;
    QCoro::Task<QList<ClickUpSearchResult>> searchTasks(QString teamId, QString query, int limit) override;

    // What ClickUp holds.
    std::optional<ActiveTimer> runningTimer;
    QList<TimeEntry> timeEntries;
    QList<ClickUpSearchResult> searchResults;
    // Names for started timers, by task id ("Task <id>" otherwise).
    QHash<QString, QString> taskNames;
    // While set, a successful start answers none (as when ClickUp's reply names no timer) while
    // the timer still runs.
    bool startAnswersNone = false;

    // The next call of the operation throws the error (each queued error is used once), after its
    // hold if any. A failing start or stop changes nothing, unless failAfterEffect is set: then
    // the start or stop takes effect and the call fails all the same.
    void failNext(const QString& operation, std::exception_ptr error);
    bool failAfterEffect = false;
    // Calls of the operation wait (recorded already) until release().
    void hold(const QString& operation) { m_held.insert(operation); }
    void release(const QString& operation);
    // New calls of the operation pass, while those waiting now wait on until release().
    void stopHolding(const QString& operation) { m_held.remove(operation); }
    // Calls of the operation waiting now.
    int waiting(const QString& operation) const { return m_waiting.value(operation); }

    QList<Call> calls() const { return m_calls; }
    QList<Call> calls(const QString& operation) const;
    int callCount(const QString& operation) const { return int(calls(operation).size()); }
    QStringList operations() const;
    void clearCalls() { m_calls.clear(); }

Q_SIGNALS:
    void released(const QString& operation);

private:
    // Records the call, waits while the operation is held, then throws a queued error if any.
    QCoro::Task<> begin(Call call, bool deferError = false);
    void throwQueuedError(const QString& operation);

    QList<Call> m_calls;
    QHash<QString, QList<std::exception_ptr>> m_errors;
    QSet<QString> m_held;
    bool m_closing = false;
    QHash<QString, int> m_waiting;
};
