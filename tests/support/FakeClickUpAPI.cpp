#include "FakeClickUpAPI.h"

#include "core/Clock.h"

#include <QCoreApplication>
#include <QCoroSignal>
#include <QPointer>

#include <utility>

namespace {
// What the fake answers, with its texts copied onto the heap: tests fill the fake with literals.
ActiveTimer answered(ActiveTimer timer) {
    timer.id = onHeap(timer.id);
    timer.taskId = onHeap(timer.taskId);
    timer.taskName = onHeap(timer.taskName);
    return timer;
}

TimeEntry answered(TimeEntry entry) {
    entry.id = onHeap(entry.id);
    entry.taskId = onHeap(entry.taskId);
    entry.taskName = onHeap(entry.taskName);
    return entry;
}

ClickUpSearchResult answered(ClickUpSearchResult result) {
    result.id = onHeap(result.id);
    result.name = onHeap(result.name);
    result.listName = onHeap(result.listName);
    if (result.parent) {
        result.parent = onHeap(*result.parent);
    }
    return result;
}

template <typename T>
QList<T> answered(const QList<T>& values) {
    QList<T> copies;
    for (const T& value : values) {
        copies.append(answered(value));
    }
    return copies;
}
} // namespace

FakeClickUpAPI::FakeClickUpAPI(QObject* parent)
    : QObject(parent) {}

FakeClickUpAPI::~FakeClickUpAPI() {
    m_closing = true;
    const QSet<QString> held = std::exchange(m_held, {});
    for (const QString& operation : held) {
        emit released(operation);
    }
    // Waiting calls resume through queued calls on this object: deliver them while it still exists,
    // those of calls released just before included.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void FakeClickUpAPI::failNext(const QString& operation, std::exception_ptr error) {
    m_errors[operation].append(error);
}

void FakeClickUpAPI::release(const QString& operation) {
    m_held.remove(operation);
    emit released(operation);
}

QList<FakeClickUpAPI::Call> FakeClickUpAPI::calls(const QString& operation) const {
    QList<Call> matching;
    for (const Call& call : m_calls) {
        if (call.operation == operation) {
            matching.append(call);
        }
    }
    return matching;
}

QStringList FakeClickUpAPI::operations() const {
    QStringList names;
    for (const Call& call : m_calls) {
        names.append(call.operation);
    }
    return names;
}

void FakeClickUpAPI::throwQueuedError(const QString& operation) {
    QList<std::exception_ptr>& queued = m_errors[operation];
    if (!queued.isEmpty()) {
        std::rethrow_exception(queued.takeFirst());
    }
}

QCoro::Task<> FakeClickUpAPI::begin(Call call, bool deferError) {
    const QString operation = call.operation;
    m_calls.append(std::move(call));
    QPointer<FakeClickUpAPI> self(this);
    while (m_held.contains(operation)) {
        ++m_waiting[operation];
        co_await qCoro(this, &FakeClickUpAPI::released);
        if (!self || m_closing) {
            throw TransportFailure("client destroyed");
        }
        --m_waiting[operation];
    }
    if (!deferError) {
        throwQueuedError(operation);
    }
}

QCoro::Task<std::optional<ActiveTimer>> FakeClickUpAPI::getCurrentTimer(QString teamId) {
    Call call;
    call.operation = getCurrentTimerOp;
    call.teamId = teamId;
    co_await begin(call);
    if (!runningTimer) {
        co_return std::nullopt;
    }
    co_return answered(*runningTimer);
}

QCoro::Task<std::optional<ActiveTimer>> FakeClickUpAPI::startTimer(QString teamId, QString taskId) {
    Call call;
    call.operation = startTimerOp;
    call.teamId = teamId;
    call.taskId = taskId;
    co_await begin(call, failAfterEffect);
    ActiveTimer timer;
    timer.id = QStringLiteral("timer-") + taskId;
    timer.taskId = taskId;
    timer.taskName = taskNames.value(taskId, QStringLiteral("Task ") + taskId);
    timer.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/") + taskId);
    timer.startTime = Clock::now();
    runningTimer = timer;
    if (failAfterEffect) {
        throwQueuedError(startTimerOp);
    }
    if (startAnswersNone) {
        co_return std::nullopt;
    }
    co_return answered(timer);
}

QCoro::Task<> FakeClickUpAPI::stopTimer(QString teamId) {
    Call call;
    call.operation = stopTimerOp;
    call.teamId = teamId;
    co_await begin(call, failAfterEffect);
    runningTimer.reset();
    if (failAfterEffect) {
        throwQueuedError(stopTimerOp);
    }
}

QCoro::Task<QList<TimeEntry>> FakeClickUpAPI::getTimeEntries(QString teamId, QDateTime startDate) {
    Call call;
    call.operation = getTimeEntriesOp;
    call.teamId = teamId;
    call.startDate = startDate;
    co_await begin(call);
    co_return answered(timeEntries);
}

QCoro::Task<TimeEntry> FakeClickUpAPI::createTimeEntry(QString teamId, QString taskId, QDateTime startDate,
                                                       QDateTime endDate, std::optional<QString>) {
    Call call;
    call.operation = createTimeEntryOp;
    call.teamId = teamId;
    call.taskId = taskId;
    call.startDate = startDate;
    call.endDate = endDate;
    co_await begin(call);
    TimeEntry entry;
    entry.id = QStringLiteral("entry-%1").arg(m_calls.size());
    entry.taskId = taskId;
    entry.taskName = taskNames.value(taskId, QStringLiteral("Task ") + taskId);
    entry.startTime = startDate;
    entry.endTime = endDate;
    entry.duration = double(startDate.msecsTo(endDate));
    timeEntries.append(entry);
    co_return answered(entry);
}

QCoro::Task<TimeEntry> FakeClickUpAPI::updateTimeEntry(QString teamId, QString timeEntryId,
                                                       QDateTime startDate, QDateTime endDate) {
    Call call;
    call.operation = updateTimeEntryOp;
    call.teamId = teamId;
    call.taskId = timeEntryId;
    call.startDate = startDate;
    call.endDate = endDate;
    co_await begin(call);
    TimeEntry entry;
    entry.id = timeEntryId;
    entry.startTime = startDate;
    entry.endTime = endDate;
    entry.duration = double(startDate.msecsTo(endDate));
    co_return answered(entry);
}

QCoro::Task<> FakeClickUpAPI::deleteTimeEntry(QString teamId, QString timeEntryId) {
    Call call;
    call.operation = deleteTimeEntryOp;
    call.teamId = teamId;
    call.taskId = timeEntryId;
    co_await begin(call);
}

QCoro::Task<QList<ClickUpSearchResult>> FakeClickUpAPI::searchTasks(QString teamId, QString query,
                                                                    int limit) {
    Call call;
    call.operation = searchTasksOp;
    call.teamId = teamId;
    call.query = query;
    call.limit = limit;
    co_await begin(call);
    co_return answered(searchResults);
}
