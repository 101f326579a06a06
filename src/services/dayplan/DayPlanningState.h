#pragma once

#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpAssignee.h"
#include "services/clickup/ClickUpSearchResult.h"
#include "services/clickup/TimeEntry.h"
#include "services/dayplan/DraggableTask.h"
#include "services/dayplan/PlannedTimeEntry.h"
#include "services/dayplan/TimelineEntry.h"
#include "services/tools/PlanningTask.h"

#include <QCoroTask>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

class ClickUpClient;
class DayPlanningStorageService;
class PlanningState;

// The state behind the day-planning window: the shown day, its planned entries (mirrored into the
// day's plan file), the ClickUp time entries already logged that day, the assignees of ClickUp tasks,
// and the operations that add, move, delete and sync entries. GUI thread only; no operation throws:
// ClickUp failures and plan-file failures of loads and adds end in `error`, refused placements in
// `notice`, the rest in the log.
//
// Every signal but errorChanged and noticeChanged fires only when its value changes.
class DayPlanningState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QDateTime selectedDate READ selectedDate NOTIFY selectedDateChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(bool isSyncing READ isSyncing NOTIFY isSyncingChanged)
    Q_PROPERTY(bool isLoadingAssignees READ isLoadingAssignees NOTIFY isLoadingAssigneesChanged)
    Q_PROPERTY(QString currentTeamId READ currentTeamId NOTIFY currentTeamIdChanged)
    Q_PROPERTY(QString notice READ notice NOTIFY noticeChanged)

public:
    using AssigneeMap = QHash<QString, QList<ClickUpAssignee>>;

    // Seconds every task of the planning lists is added or dragged with.
    static constexpr double defaultTaskDuration = 3600;

    DayPlanningState(ClickUpClient& clickUpAPI, DayPlanningStorageService& storage,
                     PlanningState& planningState, QObject* parent = nullptr);
    ~DayPlanningState() override;

    // The shown day's plan in ascending start order (entries marked deleted included).
    const QList<PlannedTimeEntry>& plannedEntries() const { return m_plannedEntries; }
    // ClickUp time entries starting within the shown day, in ClickUp's order.
    const QList<TimeEntry>& existingEntries() const { return m_existingEntries; }
    // The shown day: the moment of creation until the first navigation, then local midnight.
    const QDateTime& selectedDate() const { return m_selectedDate; }
    bool isLoading() const { return m_isLoading; }
    bool isSyncing() const { return m_isSyncing; }
    const std::optional<APIError>& error() const { return m_error; }
    // A refused placement ("Cannot add ...: overlaps with existing entry"), for the header's banner.
    const QString& notice() const { return m_notice; }
    const AssigneeMap& taskAssignees() const { return m_taskAssignees; }
    bool isLoadingAssignees() const { return m_isLoadingAssignees; }
    const QString& currentTeamId() const { return m_currentTeamId; }

    // Always notifies. The banner's dismiss button clears both.
    void setError(const std::optional<APIError>& error);
    void setNotice(const QString& notice);
    void clearMessages();

    // --- loading and the day

    // Reads the shown day's plan file. A failure empties the list and sets `error`.
    void loadPlannedEntries();
    // The ClickUp entries of the shown day; an empty team id does nothing. A failure empties the
    // list and sets `error`. A reply that arrives after the day changed is dropped.
    QCoro::Task<> loadExistingEntries(QString teamId);
    // The assignees of the team's tasks (one search for " " with limit 500); the map only grows.
    // Returns at once while a load runs or for an empty team id.
    QCoro::Task<> loadTaskAssignees(QString teamId);
    // Local midnight of the instant's day; reloads the plan and, once a team id is known, the
    // ClickUp entries.
    QCoro::Task<> setSelectedDate(QDateTime date);
    QCoro::Task<> previousDay();
    QCoro::Task<> nextDay();
    // What the window runs when it opens: today, then its plan, its ClickUp entries and the assignees,
    // one after the other.
    QCoro::Task<> openToday(QString teamId);

    // --- adding

    // A dropped task at the drop instant (floored to the quarter hour), under the payload's task name:
    // the name its list shows, so that a task keeps one name however it is planned. False when
    // nothing was added.
    bool addDroppedTask(const DraggableTask& task, const QDateTime& dropTime);
    // A planning task at the given start, under listedName().
    bool addPlannedEntry(const PlanningTask& task, const QDateTime& start, double durationSeconds);
    // A ClickUp search result at the next free start, named as it stands.
    bool addSearchResult(const ClickUpSearchResult& result, double durationSeconds);

    // --- moving and deleting

    // Moves or resizes a planned entry (times floored, at least 15 minutes). Refused when it would
    // overlap another planned entry; nothing happens when the times stay as they are.
    void updateEntryTimes(const QUuid& id, const QDateTime& newStart, const QDateTime& newEnd);
    // Moves or resizes a ClickUp entry in ClickUp, then reloads the day's entries. Nothing is sent
    // when the times stay as they are.
    QCoro::Task<> updateExistingEntryTimes(QString clickUpEntryId, QDateTime newStart, QDateTime newEnd);
    // A planned entry that ClickUp holds (synced or modified, with a ClickUp id) is marked deleted for
    // the next sync; any other is removed from the plan.
    void removePlannedEntry(const QUuid& id);
    // Deletes a ClickUp entry in ClickUp, then drops it from the list.
    QCoro::Task<> deleteExistingEntry(QString clickUpEntryId);

    // --- syncing

    // Creates, updates and deletes the pending entries in ClickUp, one request at a time, for the team
    // whose entries the state loaded last (currentTeamId) and the day shown when the sync starts.
    // Without a team it only logs "Cannot sync: no team ID configured". Refused while a sync runs.
    // Before the first create it reads the day's ClickUp entries and links an entry an earlier run
    // created instead of creating it again; when they cannot be read it creates nothing (those entries
    // fail and stay local). An update that ClickUp answers with 404 drops the stale link and creates
    // the entry anew; a delete answered with 404 counts as done. Logs "Sync complete: N succeeded, M
    // failed" and reloads the day's ClickUp entries at the end.
    QCoro::Task<> syncToClickUp();
    // Entries waiting for a sync: local, modified and deleted ones.
    int entriesNeedingSync() const;
    bool hasUnsyncedChanges() const { return entriesNeedingSync() > 0; }

    // --- derived values

    // ClickUp entries that no planned entry links, and planned entries not marked deleted, by start.
    QList<TimelineEntry> timelineEntries() const;
    // The first quarter hour from 09:00 to 18:00 of the shown day where a block of the duration
    // overlaps no timeline entry; 09:00 when there is none.
    QDateTime nextAvailableStartTime(double durationSeconds) const;
    // False when the candidate overlaps a planned entry (not deleted, another id) or any ClickUp entry.
    bool canPlaceEntry(const PlannedTimeEntry& candidate) const;
    // True when the candidate overlaps a planned entry that is not deleted and has another id.
    bool hasOverlap(const PlannedTimeEntry& candidate) const;
    // The current week's planning tasks, then the unscheduled ones, those with a ClickUp task id.
    QList<PlanningTask> availableTasks() const;
    // Planned entries the timeline shows (those marked deleted are not counted: they only wait for
    // the sync), and their sum as "%dh %02dm".
    int shownPlannedCount() const;
    QString totalPlannedText() const;
    // Sum over the ClickUp entries as "%dh %02dm".
    QString totalLoggedText() const;
    // Seconds logged in the day's ClickUp entries.
    qint64 totalLoggedSeconds() const;

    // The name a planning task is listed, dragged and planned under: its cleaned name, client part
    // included ("Acme - Website").
    static QString listedName(const PlanningTask& task);

Q_SIGNALS:
    void plannedEntriesChanged();
    void existingEntriesChanged();
    void selectedDateChanged();
    void isLoadingChanged();
    void isSyncingChanged();
    void errorChanged();
    void noticeChanged();
    void taskAssigneesChanged();
    void isLoadingAssigneesChanged();
    void currentTeamIdChanged();

private:
    bool addEntry(PlannedTimeEntry entry, const QString& overlapMessage, const QString& successText,
                  const QString& failureMessage);
    void setPlannedEntries(QList<PlannedTimeEntry> entries);
    void setExistingEntries(QList<TimeEntry> entries);
    void setSelectedDateValue(const QDateTime& date);
    void setIsLoading(bool loading);
    void setIsSyncing(bool syncing);
    void setIsLoadingAssignees(bool loading);
    void setCurrentTeamId(const QString& teamId);
    void storeFailure(std::exception_ptr error);
    // The list set anew with the entry of the id changed, when it is still listed; byStart puts it
    // back in start order after a change of times.
    enum class ListOrder { kept, byStart };
    void changeListed(const QUuid& id, const std::function<void(PlannedTimeEntry&)>& change,
                      ListOrder order = ListOrder::kept);
    // The list set anew without the entry of the id, when it is still listed.
    void removeListed(const QUuid& id);
    // Runs a write of the shown day's plan file. A failure is logged under the message and becomes
    // `error`; false then.
    bool writePlanFile(const std::function<void()>& write, const QString& failureMessage);
    // Without a team, "<action>: no team ID configured" is logged and becomes the notice; true then.
    bool refusedWithoutTeam(const QString& action);
    // A failed change of a ClickUp entry: logged as the message followed by its description, kept as
    // `error`.
    void storeClickUpFailure(const QString& message, std::exception_ptr failure);

    // The steps of a sync, one pending entry at a time. Each step throws what counts as the entry's
    // failure, and returns early when the state is gone.
    struct SyncRun;
    QList<PlannedTimeEntry> pendingEntries() const;
    QSet<QString> linkedClickUpIds() const;
    QCoro::Task<> syncEntry(SyncRun& run, const PlannedTimeEntry& entry);
    // A modified entry's times to ClickUp; one ClickUp deleted meanwhile is created anew.
    QCoro::Task<> pushUpdate(SyncRun& run, const PlannedTimeEntry& entry);
    // A local entry into ClickUp, linked to an earlier run's copy there when there is one.
    QCoro::Task<> pushCreate(SyncRun& run, const PlannedTimeEntry& entry);
    // A deleted entry out of ClickUp (when it ever got there), then out of the plan.
    QCoro::Task<> pushDelete(SyncRun& run, const PlannedTimeEntry& entry);
    QCoro::Task<> readClickUpEntriesOnce(SyncRun& run);
    // The id of the day's ClickUp entry that an earlier run made for the entry and never linked.
    static std::optional<QString> earlierCopy(const SyncRun& run, const PlannedTimeEntry& entry);
    // The entry synced under the ClickUp id, in the plan file and the list, and counted.
    void recordSynced(SyncRun& run, const PlannedTimeEntry& entry, const QString& clickUpEntryId,
                      const QString& logPrefix);
    // The planned entry with the id, in the list now.
    PlannedTimeEntry* findPlanned(const QUuid& id);

    ClickUpClient& m_clickUpAPI;
    DayPlanningStorageService& m_storage;
    PlanningState& m_planningState;

    QList<PlannedTimeEntry> m_plannedEntries;
    QList<TimeEntry> m_existingEntries;
    QDateTime m_selectedDate;
    bool m_isLoading = false;
    bool m_isSyncing = false;
    std::optional<APIError> m_error;
    QString m_notice;
    AssigneeMap m_taskAssignees;
    bool m_isLoadingAssignees = false;
    QString m_currentTeamId;
};
