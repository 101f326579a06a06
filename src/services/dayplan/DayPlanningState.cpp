#include "services/dayplan/DayPlanningState.h"

#include "core/Clock.h"
#include "core/Log.h"
#include "core/Observable.h"
#include "services/clickup/CaughtError.h"
#include "services/clickup/ClickUpClient.h"
#include "services/clickup/TaskNameCleaner.h"
#include "services/dayplan/DayPlanText.h"
#include "services/dayplan/DayPlanningStorageService.h"
#include "services/dayplan/QuarterHour.h"
#include "services/tools/PlanningState.h"

#include <QPointer>
#include <QSet>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
constexpr auto generalLog = Log::Category::general;
constexpr auto timerLog = Log::Category::timer;

// How the log names an instant: the UTC moment, "2025-03-09 23:00:00 +0000".
QString standardText(const QDateTime& date) {
    return date.toUTC().toString(u"yyyy-MM-dd HH:mm:ss"_s) + u" +0000"_s;
}

bool overlaps(const QDateTime& start, const QDateTime& end, const QDateTime& otherStart,
              const QDateTime& otherEnd) {
    return start < otherEnd && end > otherStart;
}

bool isPending(SyncStatus status) {
    return status == SyncStatus::local || status == SyncStatus::modified || status == SyncStatus::deleted;
}

bool sameDay(const QDateTime& a, const QDateTime& b) {
    return a.toLocalTime().date() == b.toLocalTime().date();
}

// A move or resize keeps at least the shortest entry a plan holds.
void keepMinimumLength(QDateTime& start, QDateTime& end) {
    if (start.secsTo(end) < PlannedTimeEntry::minimumSeconds) {
        end = start.addSecs(PlannedTimeEntry::minimumSeconds);
    }
}

// ClickUp answered that it does not hold the entry (deleted there meanwhile).
bool isNotFound(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const APIError& apiError) {
        return apiError.kind() == APIError::Kind::httpError && apiError.statusCode() == 404;
    } catch (...) {
        return false;
    }
}

void logFailure(const QString& message, Log::Category category, std::exception_ptr error) {
    Log::error(message + u": "_s + Error::describe(error), category);
}
} // namespace

DayPlanningState::DayPlanningState(ClickUpClient& clickUpAPI, DayPlanningStorageService& storage,
                                   PlanningState& planningState, QObject* parent)
    : QObject(parent)
    , m_clickUpAPI(clickUpAPI)
    , m_storage(storage)
    , m_planningState(planningState)
    , m_selectedDate(Clock::now()) {}

DayPlanningState::~DayPlanningState() = default;

// --- setters

void DayPlanningState::setPlannedEntries(QList<PlannedTimeEntry> entries) {
    setIfChanged(m_plannedEntries, std::move(entries), this, &DayPlanningState::plannedEntriesChanged);
}

void DayPlanningState::setExistingEntries(QList<TimeEntry> entries) {
    setIfChanged(m_existingEntries, std::move(entries), this, &DayPlanningState::existingEntriesChanged);
}

void DayPlanningState::setSelectedDateValue(const QDateTime& date) {
    setIfChanged(m_selectedDate, date, this, &DayPlanningState::selectedDateChanged);
}

void DayPlanningState::setIsLoading(bool loading) {
    setIfChanged(m_isLoading, loading, this, &DayPlanningState::isLoadingChanged);
}

void DayPlanningState::setIsSyncing(bool syncing) {
    setIfChanged(m_isSyncing, syncing, this, &DayPlanningState::isSyncingChanged);
}

void DayPlanningState::setIsLoadingAssignees(bool loading) {
    setIfChanged(m_isLoadingAssignees, loading, this, &DayPlanningState::isLoadingAssigneesChanged);
}

void DayPlanningState::setCurrentTeamId(const QString& teamId) {
    setIfChanged(m_currentTeamId, teamId, this, &DayPlanningState::currentTeamIdChanged);
}

void DayPlanningState::setError(const std::optional<APIError>& error) {
    m_error = error;
    emit errorChanged();
}

void DayPlanningState::setNotice(const QString& notice) {
    m_notice = notice;
    emit noticeChanged();
}

void DayPlanningState::clearMessages() {
    setError(std::nullopt);
    setNotice(QString());
}

void DayPlanningState::storeFailure(std::exception_ptr error) {
    setError(CaughtError::from(error).apiError);
}

PlannedTimeEntry* DayPlanningState::findPlanned(const QUuid& id) {
    const auto found = std::find_if(m_plannedEntries.begin(), m_plannedEntries.end(),
                                    [&id](const PlannedTimeEntry& entry) { return entry.id == id; });
    return found == m_plannedEntries.end() ? nullptr : &*found;
}

void DayPlanningState::changeListed(const QUuid& id, const std::function<void(PlannedTimeEntry&)>& change,
                                    ListOrder order) {
    if (!findPlanned(id)) {
        return;
    }
    QList<PlannedTimeEntry> entries = m_plannedEntries;
    for (PlannedTimeEntry& stored : entries) {
        if (stored.id == id) {
            change(stored);
        }
    }
    if (order == ListOrder::byStart) {
        DayPlanningStorageService::sortByStart(entries);
    }
    setPlannedEntries(std::move(entries));
}

bool DayPlanningState::writePlanFile(const std::function<void()>& write, const QString& failureMessage) {
    try {
        write();
    } catch (const std::exception& error) {
        Log::error(failureMessage, generalLog, error);
        setError(APIError::decodingError(error));
        return false;
    }
    return true;
}

bool DayPlanningState::refusedWithoutTeam(const QString& action) {
    if (!m_currentTeamId.isEmpty()) {
        return false;
    }
    const QString message = action + u": no team ID configured"_s;
    Log::warning(message, timerLog);
    setNotice(message);
    return true;
}

void DayPlanningState::storeClickUpFailure(const QString& message, std::exception_ptr failure) {
    const CaughtError caught = CaughtError::from(failure);
    Log::error(message + caught.description, timerLog);
    setError(caught.apiError);
}

void DayPlanningState::removeListed(const QUuid& id) {
    QList<PlannedTimeEntry> entries = m_plannedEntries;
    if (entries.removeIf([&id](const PlannedTimeEntry& stored) { return stored.id == id; }) > 0) {
        setPlannedEntries(std::move(entries));
    }
}

// --- loading and the day

void DayPlanningState::loadPlannedEntries() {
    setIsLoading(true);
    try {
        QList<PlannedTimeEntry> entries = m_storage.loadEntries(m_selectedDate);
        const qsizetype count = entries.size();
        setPlannedEntries(std::move(entries));
        Log::debug(u"Loaded "_s + QString::number(count) + u" planned entries for "_s +
                       standardText(m_selectedDate),
                   generalLog);
    } catch (const std::exception& error) {
        Log::error(u"Failed to load planned entries"_s, generalLog, error);
        // Nothing of another day stays listed under this one.
        setPlannedEntries({});
        setError(APIError::decodingError(error));
    }
    setIsLoading(false);
}

QCoro::Task<> DayPlanningState::loadExistingEntries(QString teamId) {
    if (teamId.isEmpty()) {
        co_return;
    }
    const QPointer<DayPlanningState> self(this);
    setCurrentTeamId(teamId);
    const QDateTime day = m_selectedDate;
    const QDateTime dayStart = startOfLocalDay(day);
    const QDateTime dayEnd = dayStart.date().addDays(1).startOfDay(Qt::LocalTime);

    QList<TimeEntry> entries;
    std::exception_ptr failure;
    try {
        entries = co_await m_clickUpAPI.getTimeEntries(teamId, dayStart);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (!sameDay(m_selectedDate, day)) {
        // The day changed meanwhile; its own load brings its entries.
        co_return;
    }
    if (failure) {
        logFailure(u"Failed to load existing entries"_s, timerLog, failure);
        setExistingEntries({});
        storeFailure(failure);
        co_return;
    }
    QList<TimeEntry> kept;
    for (TimeEntry& entry : entries) {
        if (entry.startTime >= dayStart && entry.startTime < dayEnd) {
            kept.append(std::move(entry));
        }
    }
    Log::debug(u"Loaded "_s + QString::number(kept.size()) + u" existing entries for "_s + standardText(day),
               timerLog);
    setExistingEntries(std::move(kept));
}

QCoro::Task<> DayPlanningState::loadTaskAssignees(QString teamId) {
    if (teamId.isEmpty() || m_isLoadingAssignees) {
        co_return;
    }
    const QPointer<DayPlanningState> self(this);
    setIsLoadingAssignees(true);
    QList<ClickUpSearchResult> results;
    std::exception_ptr failure;
    try {
        const QString query = QString(QChar(u' '));
        results = co_await m_clickUpAPI.searchTasks(teamId, query, 500);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (failure) {
        logFailure(u"Failed to load task assignees"_s, generalLog, failure);
    } else {
        bool changed = false;
        for (const ClickUpSearchResult& result : std::as_const(results)) {
            if (!result.assignees.isEmpty() && m_taskAssignees.value(result.id) != result.assignees) {
                m_taskAssignees.insert(result.id, result.assignees);
                changed = true;
            }
        }
        Log::debug(u"Loaded assignees for "_s + QString::number(m_taskAssignees.size()) + u" tasks"_s,
                   generalLog);
        if (changed) {
            emit taskAssigneesChanged();
        }
    }
    setIsLoadingAssignees(false);
}

QCoro::Task<> DayPlanningState::setSelectedDate(QDateTime date) {
    setSelectedDateValue(startOfLocalDay(date));
    loadPlannedEntries();
    if (!m_currentTeamId.isEmpty()) {
        const QString teamId = m_currentTeamId;
        co_await loadExistingEntries(teamId);
    }
}

QCoro::Task<> DayPlanningState::previousDay() {
    const QDateTime day = startOfLocalDay(m_selectedDate).date().addDays(-1).startOfDay(Qt::LocalTime);
    co_await setSelectedDate(day);
}

QCoro::Task<> DayPlanningState::nextDay() {
    const QDateTime day = startOfLocalDay(m_selectedDate).date().addDays(1).startOfDay(Qt::LocalTime);
    co_await setSelectedDate(day);
}

QCoro::Task<> DayPlanningState::openToday(QString teamId) {
    const QPointer<DayPlanningState> self(this);
    setSelectedDateValue(startOfLocalDay(Clock::now()));
    loadPlannedEntries();
    co_await loadExistingEntries(teamId);
    if (!self) {
        co_return;
    }
    co_await loadTaskAssignees(teamId);
}

// --- adding

bool DayPlanningState::addEntry(PlannedTimeEntry entry, const QString& overlapMessage,
                                const QString& successText, const QString& failureMessage) {
    if (!canPlaceEntry(entry)) {
        Log::warning(overlapMessage, generalLog);
        setNotice(overlapMessage);
        return false;
    }
    if (!writePlanFile([&] { m_storage.addEntry(entry, m_selectedDate); }, failureMessage)) {
        return false;
    }
    QList<PlannedTimeEntry> entries = m_plannedEntries;
    entries.append(entry);
    DayPlanningStorageService::sortByStart(entries);
    setPlannedEntries(std::move(entries));
    Log::info(successText, generalLog);
    return true;
}

namespace {
PlannedTimeEntry newEntry(const QString& taskId, const QString& taskName, const QDateTime& start,
                          double durationSeconds) {
    PlannedTimeEntry entry;
    entry.id = QUuid::createUuid();
    entry.taskId = taskId;
    entry.taskName = taskName;
    entry.startTime = start;
    entry.endTime = start.addMSecs(qint64(durationSeconds * 1000));
    entry.syncStatus = SyncStatus::local;
    entry.createdAt = Clock::now();
    entry.modifiedAt = entry.createdAt;
    entry.normalizeTimes();
    return entry;
}
} // namespace

QString DayPlanningState::listedName(const PlanningTask& task) {
    return cleanTaskName(task.name);
}

bool DayPlanningState::addDroppedTask(const DraggableTask& task, const QDateTime& dropTime) {
    const PlannedTimeEntry entry =
        newEntry(task.taskId, task.taskName, floorToQuarterHour(dropTime), task.duration);
    return addEntry(entry, u"Cannot add dropped task: overlaps with existing entry"_s,
                    u"Added task via drag-drop: "_s + entry.taskName + u" at "_s + entry.timeRangeText(),
                    u"Failed to add dropped task"_s);
}

bool DayPlanningState::addPlannedEntry(const PlanningTask& task, const QDateTime& start,
                                       double durationSeconds) {
    const PlannedTimeEntry entry =
        newEntry(task.clickUpTaskId, listedName(task), floorToQuarterHour(start), durationSeconds);
    return addEntry(entry, u"Cannot add entry: overlaps with existing entry"_s,
                    u"Added planned entry: "_s + entry.taskName + u" at "_s + entry.timeRangeText(),
                    u"Failed to add planned entry"_s);
}

bool DayPlanningState::addSearchResult(const ClickUpSearchResult& result, double durationSeconds) {
    const QDateTime start = floorToQuarterHour(nextAvailableStartTime(durationSeconds));
    const PlannedTimeEntry entry = newEntry(result.id, result.name, start, durationSeconds);
    return addEntry(entry, u"Cannot add search result entry: overlaps with existing entry"_s,
                    u"Added search result to day plan: "_s + result.name,
                    u"Failed to add search result entry"_s);
}

// --- placement

bool DayPlanningState::hasOverlap(const PlannedTimeEntry& candidate) const {
    return std::any_of(
        m_plannedEntries.cbegin(), m_plannedEntries.cend(), [&candidate](const PlannedTimeEntry& other) {
            return other.syncStatus != SyncStatus::deleted && other.id != candidate.id &&
                   overlaps(candidate.startTime, candidate.endTime, other.startTime, other.endTime);
        });
}

bool DayPlanningState::canPlaceEntry(const PlannedTimeEntry& candidate) const {
    if (hasOverlap(candidate)) {
        return false;
    }
    return std::none_of(
        m_existingEntries.cbegin(), m_existingEntries.cend(), [&candidate](const TimeEntry& other) {
            return overlaps(candidate.startTime, candidate.endTime, other.startTime, other.endTime);
        });
}

QDateTime DayPlanningState::nextAvailableStartTime(double durationSeconds) const {
    const QDate day = m_selectedDate.toLocalTime().date();
    const QDateTime first = roundUpToQuarterHour(localTimeOfDay(day, 9));
    const QDateTime last = localTimeOfDay(day, 18);
    const QList<TimelineEntry> blocks = timelineEntries();
    const qint64 durationMs = qint64(durationSeconds * 1000);
    for (QDateTime candidate = first; candidate <= last; candidate = candidate.addSecs(900)) {
        const QDateTime end = candidate.addMSecs(durationMs);
        const bool taken = std::any_of(blocks.cbegin(), blocks.cend(), [&](const TimelineEntry& block) {
            return overlaps(candidate, end, block.startTime, block.endTime);
        });
        if (!taken) {
            return candidate;
        }
    }
    return localTimeOfDay(day, 9);
}

// --- moving and deleting

void DayPlanningState::updateEntryTimes(const QUuid& id, const QDateTime& newStart, const QDateTime& newEnd) {
    const PlannedTimeEntry* listed = findPlanned(id);
    if (!listed) {
        return;
    }
    PlannedTimeEntry moved = *listed;
    const QDateTime previousStart = moved.startTime;
    moved.startTime = floorToQuarterHour(newStart);
    moved.endTime = floorToQuarterHour(newEnd);
    keepMinimumLength(moved.startTime, moved.endTime);
    if (moved.startTime == listed->startTime && moved.endTime == listed->endTime) {
        // A drag too short to leave its quarter hour changes nothing, not even the status.
        return;
    }
    moved.modifiedAt = Clock::now();
    if (moved.syncStatus == SyncStatus::synced) {
        moved.syncStatus = SyncStatus::modified;
    }
    if (hasOverlap(moved)) {
        const QString message = u"Cannot move entry: would overlap with another entry"_s;
        Log::warning(message, generalLog);
        setNotice(message);
        return;
    }
    if (!writePlanFile([&] { m_storage.updateEntry(moved, m_selectedDate); },
                       u"Failed to update entry times"_s)) {
        return;
    }
    const auto place = [&moved](PlannedTimeEntry& entry) { entry = moved; };
    changeListed(id, place, ListOrder::byStart);
    Log::debug(u"Updated entry times: "_s + previousStart.toString() + u" -> "_s + newStart.toString(),
               generalLog);
}

QCoro::Task<> DayPlanningState::updateExistingEntryTimes(QString clickUpEntryId, QDateTime newStart,
                                                         QDateTime newEnd) {
    if (refusedWithoutTeam(u"Cannot update"_s)) {
        co_return;
    }
    const QPointer<DayPlanningState> self(this);
    QDateTime start = floorToQuarterHour(newStart);
    QDateTime end = floorToQuarterHour(newEnd);
    keepMinimumLength(start, end);
    const auto listed =
        std::find_if(m_existingEntries.cbegin(), m_existingEntries.cend(),
                     [&clickUpEntryId](const TimeEntry& entry) { return entry.id == clickUpEntryId; });
    if (listed != m_existingEntries.cend() && ((newStart == listed->startTime && newEnd == listed->endTime) ||
                                               (start == listed->startTime && end == listed->endTime))) {
        // Nothing moves: ClickUp keeps the entry as it is.
        co_return;
    }
    const QString teamId = m_currentTeamId;
    std::exception_ptr failure;
    try {
        const TimeEntry updated = co_await m_clickUpAPI.updateTimeEntry(teamId, clickUpEntryId, start, end);
        Q_UNUSED(updated);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (failure) {
        storeClickUpFailure(u"Failed to update existing entry: "_s, failure);
        co_return;
    }
    Log::info(u"Updated existing entry: "_s + clickUpEntryId, timerLog);
    co_await loadExistingEntries(teamId);
}

void DayPlanningState::removePlannedEntry(const QUuid& id) {
    const PlannedTimeEntry* listed = findPlanned(id);
    if (!listed) {
        return;
    }
    const PlannedTimeEntry entry = *listed;
    const bool heldByClickUp = entry.clickUpEntryId && (entry.syncStatus == SyncStatus::synced ||
                                                        entry.syncStatus == SyncStatus::modified);
    const auto write = [&] {
        if (heldByClickUp) {
            m_storage.markEntryDeleted(id, m_selectedDate);
        } else {
            m_storage.removeEntry(id, m_selectedDate);
        }
    };
    if (!writePlanFile(write, u"Failed to remove entry"_s)) {
        return;
    }
    if (heldByClickUp) {
        Log::info(u"Marked entry for deletion: "_s + entry.taskName, generalLog);
        changeListed(id, [](PlannedTimeEntry& stored) {
            stored.syncStatus = SyncStatus::deleted;
            stored.modifiedAt = Clock::now();
        });
    } else {
        Log::info(u"Removed planned entry: "_s + entry.taskName, generalLog);
        removeListed(id);
    }
}

QCoro::Task<> DayPlanningState::deleteExistingEntry(QString clickUpEntryId) {
    if (refusedWithoutTeam(u"Cannot delete"_s)) {
        co_return;
    }
    const QPointer<DayPlanningState> self(this);
    const QString teamId = m_currentTeamId;
    std::exception_ptr failure;
    try {
        co_await m_clickUpAPI.deleteTimeEntry(teamId, clickUpEntryId);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (failure) {
        storeClickUpFailure(u"Failed to delete existing entry: "_s, failure);
        co_return;
    }
    Log::info(u"Deleted existing entry: "_s + clickUpEntryId, timerLog);
    QList<TimeEntry> entries = m_existingEntries;
    entries.removeIf([&clickUpEntryId](const TimeEntry& entry) { return entry.id == clickUpEntryId; });
    setExistingEntries(std::move(entries));
}

// --- syncing

// One sync run: where it sends and writes, what it has learnt of ClickUp and what it has counted.
struct DayPlanningState::SyncRun {
    // The team and the day current when the run started: every request of the run goes to this team,
    // every file operation names this day.
    QString teamId;
    QDateTime day;
    // ClickUp ids the plan links; an entry ClickUp holds under one of them is not linked again.
    QSet<QString> linkedIds;
    // ClickUp's entries of the day, read before the first create, to recognise an entry created by an
    // earlier run whose reply or file write was lost: it is linked instead of created again. When they
    // cannot be read, this run creates nothing (each such entry counts as failed and stays local for
    // the next run): creating blind is how an entry ends up twice in ClickUp.
    std::optional<QList<TimeEntry>> clickUpEntries;
    std::exception_ptr listingFailure;
    int succeeded = 0;
    int failed = 0;
};

int DayPlanningState::entriesNeedingSync() const {
    return int(std::count_if(m_plannedEntries.cbegin(), m_plannedEntries.cend(),
                             [](const PlannedTimeEntry& entry) { return isPending(entry.syncStatus); }));
}

QCoro::Task<> DayPlanningState::syncToClickUp() {
    if (m_currentTeamId.isEmpty()) {
        Log::warning(u"Cannot sync: no team ID configured"_s, timerLog);
        co_return;
    }
    if (m_isSyncing) {
        // Two runs would both take the same local entries and create them twice.
        Log::warning(u"Sync already running; request ignored"_s, timerLog);
        co_return;
    }
    const QPointer<DayPlanningState> self(this);
    setIsSyncing(true);
    SyncRun run;
    run.teamId = m_currentTeamId;
    run.day = m_selectedDate;
    run.linkedIds = linkedClickUpIds();
    const QList<PlannedTimeEntry> pending = pendingEntries();
    for (const PlannedTimeEntry& entry : pending) {
        co_await syncEntry(run, entry);
        if (!self) {
            co_return;
        }
    }
    Log::info(u"Sync complete: "_s + QString::number(run.succeeded) + u" succeeded, "_s +
                  QString::number(run.failed) + u" failed"_s,
              timerLog);
    if (run.failed == 0) {
        setError(std::nullopt);
    }
    co_await loadExistingEntries(run.teamId);
    if (!self) {
        co_return;
    }
    setIsSyncing(false);
}

QList<PlannedTimeEntry> DayPlanningState::pendingEntries() const {
    QList<PlannedTimeEntry> pending;
    std::copy_if(m_plannedEntries.cbegin(), m_plannedEntries.cend(), std::back_inserter(pending),
                 [](const PlannedTimeEntry& entry) { return isPending(entry.syncStatus); });
    return pending;
}

QSet<QString> DayPlanningState::linkedClickUpIds() const {
    QSet<QString> ids;
    for (const PlannedTimeEntry& entry : m_plannedEntries) {
        if (entry.clickUpEntryId) {
            ids.insert(*entry.clickUpEntryId);
        }
    }
    return ids;
}

QCoro::Task<> DayPlanningState::syncEntry(SyncRun& run, const PlannedTimeEntry& entry) {
    const QPointer<DayPlanningState> self(this);
    try {
        switch (entry.syncStatus) {
        case SyncStatus::modified:
            co_await pushUpdate(run, entry);
            break;
        case SyncStatus::local:
            co_await pushCreate(run, entry);
            break;
        case SyncStatus::deleted:
            co_await pushDelete(run, entry);
            break;
        case SyncStatus::synced:
            break;
        }
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        if (!self) {
            co_return;
        }
        ++run.failed;
        const CaughtError caught = CaughtError::from(failure);
        setError(caught.apiError);
        Log::error(caught.isAPIError
                       ? u"Failed to sync entry: "_s + entry.taskName + u" - "_s + caught.description
                       : u"Failed to sync entry: "_s + entry.taskName + u": "_s + caught.description,
                   timerLog);
    }
}

QCoro::Task<> DayPlanningState::pushUpdate(SyncRun& run, const PlannedTimeEntry& entry) {
    if (!entry.clickUpEntryId) {
        // Nothing in ClickUp to update; the entry waits as it is.
        co_return;
    }
    const QPointer<DayPlanningState> self(this);
    const QString clickUpId = *entry.clickUpEntryId;
    std::exception_ptr failure;
    try {
        const TimeEntry updated =
            co_await m_clickUpAPI.updateTimeEntry(run.teamId, clickUpId, entry.startTime, entry.endTime);
        Q_UNUSED(updated);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (!failure) {
        recordSynced(run, entry, clickUpId, u"Updated entry: "_s);
        co_return;
    }
    if (!isNotFound(failure)) {
        std::rethrow_exception(failure);
    }
    // Deleted in ClickUp meanwhile: the stale link goes first (so that a failure from here on leaves
    // an ordinary local entry), then the entry is created anew, once.
    Log::info(u"ClickUp no longer holds the entry of "_s + entry.taskName + u"; creating it anew"_s,
              timerLog);
    m_storage.unlinkEntry(entry.id, run.day);
    changeListed(entry.id, [](PlannedTimeEntry& stored) {
        stored.clickUpEntryId.reset();
        stored.syncStatus = SyncStatus::local;
        stored.modifiedAt = Clock::now();
    });
    run.linkedIds.remove(clickUpId);
    co_await pushCreate(run, entry);
}

QCoro::Task<> DayPlanningState::pushCreate(SyncRun& run, const PlannedTimeEntry& entry) {
    const QPointer<DayPlanningState> self(this);
    co_await readClickUpEntriesOnce(run);
    if (!self) {
        co_return;
    }
    if (run.listingFailure) {
        std::rethrow_exception(run.listingFailure);
    }
    std::optional<QString> clickUpId = earlierCopy(run, entry);
    if (clickUpId) {
        Log::info(u"Entry already in ClickUp, linking it: "_s + entry.taskName, timerLog);
    } else {
        const TimeEntry created = co_await m_clickUpAPI.createTimeEntry(
            run.teamId, entry.taskId, entry.startTime, entry.endTime, std::nullopt);
        if (!self) {
            co_return;
        }
        clickUpId = created.id;
    }
    run.linkedIds.insert(*clickUpId);
    recordSynced(run, entry, *clickUpId, u"Synced new entry: "_s);
}

QCoro::Task<> DayPlanningState::pushDelete(SyncRun& run, const PlannedTimeEntry& entry) {
    if (entry.clickUpEntryId) {
        const QPointer<DayPlanningState> self(this);
        const QString clickUpId = *entry.clickUpEntryId;
        std::exception_ptr failure;
        try {
            co_await m_clickUpAPI.deleteTimeEntry(run.teamId, clickUpId);
        } catch (...) {
            failure = std::current_exception();
        }
        if (!self) {
            co_return;
        }
        // An entry ClickUp no longer holds is as deleted as it can be.
        if (failure && !isNotFound(failure)) {
            std::rethrow_exception(failure);
        }
    }
    m_storage.removeEntry(entry.id, run.day);
    removeListed(entry.id);
    if (entry.clickUpEntryId) {
        ++run.succeeded;
        Log::info(u"Deleted entry: "_s + entry.taskName, timerLog);
    }
}

QCoro::Task<> DayPlanningState::readClickUpEntriesOnce(SyncRun& run) {
    if (run.clickUpEntries || run.listingFailure) {
        co_return;
    }
    const QPointer<DayPlanningState> self(this);
    const QDateTime dayStart = startOfLocalDay(run.day);
    try {
        run.clickUpEntries = co_await m_clickUpAPI.getTimeEntries(run.teamId, dayStart);
    } catch (...) {
        run.listingFailure = std::current_exception();
    }
    if (!self) {
        co_return;
    }
    if (run.listingFailure) {
        Log::warning(u"Could not read the day's ClickUp entries before the sync; nothing is created: "_s +
                         Error::describe(run.listingFailure),
                     timerLog);
    }
}

std::optional<QString> DayPlanningState::earlierCopy(const SyncRun& run, const PlannedTimeEntry& entry) {
    const qint64 duration = entry.startTime.msecsTo(entry.endTime);
    const auto earlier = std::find_if(
        run.clickUpEntries->cbegin(), run.clickUpEntries->cend(), [&](const TimeEntry& existing) {
            return !run.linkedIds.contains(existing.id) && existing.taskId == entry.taskId &&
                   existing.startTime == entry.startTime &&
                   existing.startTime.msecsTo(existing.endTime) == duration;
        });
    if (earlier == run.clickUpEntries->cend()) {
        return std::nullopt;
    }
    return earlier->id;
}

void DayPlanningState::recordSynced(SyncRun& run, const PlannedTimeEntry& entry,
                                    const QString& clickUpEntryId, const QString& logPrefix) {
    m_storage.markEntrySynced(entry.id, clickUpEntryId, run.day);
    changeListed(entry.id, [&clickUpEntryId](PlannedTimeEntry& stored) {
        stored.clickUpEntryId = clickUpEntryId;
        stored.syncStatus = SyncStatus::synced;
        stored.modifiedAt = Clock::now();
    });
    ++run.succeeded;
    Log::info(logPrefix + entry.taskName, timerLog);
}

// --- derived values

QList<TimelineEntry> DayPlanningState::timelineEntries() const {
    QSet<QString> linkedIds;
    for (const PlannedTimeEntry& entry : m_plannedEntries) {
        if (entry.clickUpEntryId) {
            linkedIds.insert(*entry.clickUpEntryId);
        }
    }
    QList<TimelineEntry> blocks;
    blocks.reserve(m_existingEntries.size() + m_plannedEntries.size());
    for (const TimeEntry& entry : m_existingEntries) {
        if (linkedIds.contains(entry.id)) {
            continue;
        }
        blocks.append(TimelineEntry{QUuid::createUuid(), entry.startTime, entry.endTime, entry.taskName,
                                    entry.taskId, false, std::nullopt, entry.id, SyncStatus::synced});
    }
    for (const PlannedTimeEntry& entry : m_plannedEntries) {
        if (entry.syncStatus == SyncStatus::deleted) {
            continue;
        }
        blocks.append(TimelineEntry{entry.id, entry.startTime, entry.endTime, entry.taskName, entry.taskId,
                                    true, entry.id, entry.clickUpEntryId, entry.syncStatus});
    }
    std::stable_sort(blocks.begin(), blocks.end(), [](const TimelineEntry& a, const TimelineEntry& b) {
        return a.startTime < b.startTime;
    });
    return blocks;
}

QList<PlanningTask> DayPlanningState::availableTasks() const {
    QList<PlanningTask> tasks;
    for (const std::optional<WeekPlan>& plan :
         {m_planningState.currentWeekPlan(), m_planningState.unscheduledPlan()}) {
        if (!plan) {
            continue;
        }
        for (const PlanningTask& task : plan->tasks) {
            if (!task.clickUpTaskId.isEmpty()) {
                tasks.append(task);
            }
        }
    }
    return tasks;
}

int DayPlanningState::shownPlannedCount() const {
    return int(
        std::count_if(m_plannedEntries.cbegin(), m_plannedEntries.cend(),
                      [](const PlannedTimeEntry& entry) { return entry.syncStatus != SyncStatus::deleted; }));
}

QString DayPlanningState::totalPlannedText() const {
    qint64 seconds = 0;
    for (const PlannedTimeEntry& entry : m_plannedEntries) {
        if (entry.syncStatus != SyncStatus::deleted) {
            seconds += entry.startTime.secsTo(entry.endTime);
        }
    }
    return DayPlanText::totalText(seconds);
}

qint64 DayPlanningState::totalLoggedSeconds() const {
    double milliseconds = 0;
    for (const TimeEntry& entry : m_existingEntries) {
        milliseconds += entry.effectiveDuration();
    }
    return qint64(milliseconds / 1000);
}

QString DayPlanningState::totalLoggedText() const {
    return DayPlanText::totalText(totalLoggedSeconds());
}
