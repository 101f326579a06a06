#pragma once

#include "services/clickup/ClickUpSearchResult.h"
#include "services/clickup/ClickUpSearchTaskResponse.h"

#include <QCoroTask>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

class ClickUpSender;

// The task search of the ClickUp client: each team's whole task listing (every status, subtasks
// included) fetched page by page through a ClickUpSender, kept for cacheLifetimeSeconds and searched.
// It writes diagnostic lines to standard output.
class ClickUpTaskSearch {
public:
    // A team's tasks as last fetched: every status, subtasks included, in page order.
    struct TaskCache {
        QList<ClickUpSearchTaskResponse> tasks;
        QDateTime timestamp; // when the fetch finished (Clock::now())
    };

    // A cached listing is fresh while it is at most this old (300 s itself included).
    static constexpr qint64 cacheLifetimeSeconds = 300;
    // The pages of a team's task listing requested by one fetch.
    static constexpr int taskPageCount = 5;

    explicit ClickUpTaskSearch(ClickUpSender& sender);

    // An empty query gives nothing at once. Otherwise the team's tasks (from the cache, or fetched)
    // whose lower-cased name, or else id, contains the lower-cased query, in page order, without
    // closed, archived and backlog tasks, at most limit of them. A failed fetch leaves the cache as it was.
    QCoro::Task<QList<ClickUpSearchResult>> searchTasks(QString teamId, QString query, int limit);

private:
    // The team's tasks from the cache while it is fresh, otherwise fetched and cached.
    QCoro::Task<QList<ClickUpSearchTaskResponse>> teamTasks(QString teamId);
    // All pages of the team's task listing, in page order.
    QCoro::Task<QList<ClickUpSearchTaskResponse>> fetchAllTasks(QString teamId);
    // The tasks whose lower-cased name or id contains the lower-cased query, in their order.
    static QList<const ClickUpSearchTaskResponse*> matching(const QList<ClickUpSearchTaskResponse>& tasks,
                                                            const QString& query);
    // The tasks that are not closed, archived or backlog.
    static QList<const ClickUpSearchTaskResponse*>
    withoutHiddenStatuses(const QList<const ClickUpSearchTaskResponse*>& matched);

    ClickUpSender& m_sender;
    QHash<QString, TaskCache> m_taskCache;
};
