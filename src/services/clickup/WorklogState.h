#pragma once

#include "services/clickup/APIError.h"
#include "services/clickup/TimeEntry.h"

#include <QCoroTask>
#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class ClickUpClient;

// Today's ClickUp time entries, newest first, for the worked-on list, the tray label's total and the
// logged-today line. Lives on the GUI thread. timeEntries and isLoading notify only when their value
// changes; every assignment of error notifies.
class WorklogState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<TimeEntry> timeEntries READ timeEntries NOTIFY timeEntriesChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(std::optional<APIError> error READ error NOTIFY errorChanged)
    // Depends on the clock while an entry runs: read it again on each redraw.
    Q_PROPERTY(QString totalTimeText READ totalTimeText NOTIFY timeEntriesChanged)

public:
    explicit WorklogState(ClickUpClient& clickUpAPI, QObject* parent = nullptr);

    const QList<TimeEntry>& timeEntries() const { return m_timeEntries; }
    bool isLoading() const { return m_isLoading; }
    const std::optional<APIError>& error() const { return m_error; }

    void setTimeEntries(const QList<TimeEntry>& entries);
    void setIsLoading(bool loading);
    // Always notifies, also for an equal value.
    void setError(const std::optional<APIError>& error);

    // Reloads the entries from local midnight of the current day on, newest start first. Never
    // throws: a failure keeps the entries and ends in `error`. A fetch that a later one started after
    // it (the refresh gave up waiting for it) has its answer dropped.
    QCoro::Task<> fetchTimeEntries(QString teamId);

    // Milliseconds logged today: the entries' effective durations added up (a running entry counts
    // up to now, never below 0).
    double totalDuration() const;
    // totalDuration() as "%02d:%02d" hours and minutes; "00:00" for no entries.
    QString totalTimeText() const;
    // The entries whose task name, or else task id, contains the text (case-insensitive, no
    // trimming), in their order; all of them for an empty text.
    Q_INVOKABLE QList<TimeEntry> filteredEntries(const QString& searchText) const;

Q_SIGNALS:
    void timeEntriesChanged();
    void isLoadingChanged();
    void errorChanged();

private:
    QList<TimeEntry> m_timeEntries;
    bool m_isLoading = false;
    // Counts the fetches started: only the newest publishes its answer.
    quint64 m_fetches = 0;
    std::optional<APIError> m_error;
    ClickUpClient& m_clickUpAPI;
};
