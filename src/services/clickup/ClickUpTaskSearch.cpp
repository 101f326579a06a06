#include "services/clickup/ClickUpTaskSearch.h"

#include "core/Clock.h"
#include "core/Log.h"
#include "services/clickup/ClickUpConversions.h"
#include "services/clickup/ClickUpSearchResponse.h"
#include "services/clickup/ClickUpSender.h"
#include "services/clickup/TaskListingFetch.h"

#include <QCoroSignal>
#include <QElapsedTimer>
#include <QNetworkReply>
#include <QUrlQuery>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

// Diagnostic lines of the task search go to standard output, one per line.
void printLine(const QString& line) {
    Log::console(line);
}

// Detail lines of one listing are capped, so a broad query does not flood the output.
constexpr int detailLineLimit = 20;
constexpr int subtaskDetailLimit = 10;

void printMore(qsizetype total, qsizetype shown) {
    if (total > shown) {
        printLine(u"   … and "_s + QString::number(total - shown) + u" more"_s);
    }
}

QString statusText(const ClickUpSearchTaskResponse& task) {
    return task.status ? task.status->status : u"none"_s;
}

const QStringList hiddenStatuses{u"closed"_s, u"archived"_s, u"backlog"_s};
} // namespace

ClickUpTaskSearch::ClickUpTaskSearch(ClickUpSender& sender)
    : m_sender(sender) {}

QCoro::Task<QList<ClickUpSearchResult>> ClickUpTaskSearch::searchTasks(QString teamId, QString query,
                                                                       int limit) {
    if (query.isEmpty()) {
        co_return {};
    }
    const QList<ClickUpSearchTaskResponse> tasks = co_await teamTasks(teamId);
    printLine(u"🔍 Query: '"_s + query + u"'"_s);
    const QList<const ClickUpSearchTaskResponse*> matched = matching(tasks, query);
    const QList<const ClickUpSearchTaskResponse*> kept = withoutHiddenStatuses(matched);

    const qsizetype count = std::min<qsizetype>(kept.size(), std::max(limit, 0));
    QList<ClickUpSearchResult> results;
    results.reserve(count);
    for (qsizetype i = 0; i < count; ++i) {
        results.append(searchResultFromResponse(*kept[i]));
    }

    printLine(u"✅ Returning "_s + QString::number(results.size()) + u" filtered results"_s);
    const qsizetype resultLines = std::min<qsizetype>(results.size(), detailLineLimit);
    for (qsizetype i = 0; i < resultLines; ++i) {
        const ClickUpSearchResult& result = results[i];
        printLine(u"   • "_s + result.name +
                  (result.parent ? u" (subtask of "_s + *result.parent + u")"_s : u" (task)"_s));
    }
    printMore(results.size(), resultLines);
    co_return results;
}

QCoro::Task<QList<ClickUpSearchTaskResponse>> ClickUpTaskSearch::teamTasks(QString teamId) {
    QElapsedTimer elapsed;
    elapsed.start();
    const QDateTime start = Clock::now();

    QList<ClickUpSearchTaskResponse> tasks;
    bool fresh = false;
    QString cacheState = u"empty"_s;
    if (const auto cached = m_taskCache.constFind(teamId); cached != m_taskCache.cend()) {
        // An entry stamped after now (the clock was set back) is not trusted either.
        const qint64 ageMs = cached->timestamp.msecsTo(start);
        if (ageMs >= 0 && ageMs <= cacheLifetimeSeconds * 1000) {
            fresh = true;
            tasks = cached->tasks;
            printLine(u"🚀 Using cached tasks ("_s + QString::number(tasks.size()) + u" tasks, age: "_s +
                      QString::number(ageMs / 1000) + u"s)"_s);
        } else {
            cacheState = u"stale"_s;
        }
    }
    if (!fresh) {
        printLine(u"📥 Fetching tasks from API (cache "_s + cacheState + u")..."_s);
        tasks = co_await fetchAllTasks(teamId);
        m_taskCache.insert(teamId, TaskCache{tasks, Clock::now()});
        printLine(u"💾 Cached "_s + QString::number(tasks.size()) + u" tasks for future searches"_s);
    }
    printLine(u"⏱️  Fetch took "_s + QString::asprintf("%.2f", double(elapsed.nsecsElapsed()) / 1e6) +
              u"ms"_s);
    co_return tasks;
}

QList<const ClickUpSearchTaskResponse*>
ClickUpTaskSearch::matching(const QList<ClickUpSearchTaskResponse>& tasks, const QString& query) {
    const QString needle = query.toLower();
    QList<const ClickUpSearchTaskResponse*> subtasks;
    QList<const ClickUpSearchTaskResponse*> matched;
    for (const ClickUpSearchTaskResponse& task : tasks) {
        if (task.parent) {
            subtasks.append(&task);
        }
        if (task.name.toLower().contains(needle) || task.id.toLower().contains(needle)) {
            matched.append(&task);
        }
    }

    printLine(u"📊 Found "_s + QString::number(subtasks.size()) +
              u" tasks that ARE subtasks (have parent field):"_s);
    const qsizetype subtaskLines = std::min<qsizetype>(subtasks.size(), subtaskDetailLimit);
    for (qsizetype i = 0; i < subtaskLines; ++i) {
        const auto& task = *subtasks[i];
        printLine(u"   • "_s + task.name + u" (parent: "_s + *task.parent + u", status: "_s +
                  statusText(task) + u")"_s);
    }
    printLine(u"📋 Found "_s + QString::number(matched.size()) + u" tasks matching query '"_s + query +
              u"':"_s);
    const qsizetype matchLines = std::min<qsizetype>(matched.size(), detailLineLimit);
    for (qsizetype i = 0; i < matchLines; ++i) {
        const auto& task = *matched[i];
        printLine(u"   • "_s + (task.parent ? u"[subtask] "_s : u"[task] "_s) + task.name + u" (parent: "_s +
                  task.parent.value_or(u"none"_s) + u", status: "_s + statusText(task) + u", id: "_s +
                  task.id + u")"_s);
    }
    printMore(matched.size(), matchLines);
    printLine(u"🔎 Query matched "_s + QString::number(matched.size()) + u" tasks"_s);
    return matched;
}

QList<const ClickUpSearchTaskResponse*>
ClickUpTaskSearch::withoutHiddenStatuses(const QList<const ClickUpSearchTaskResponse*>& matched) {
    QList<const ClickUpSearchTaskResponse*> kept;
    QList<const ClickUpSearchTaskResponse*> dropped;
    for (const ClickUpSearchTaskResponse* task : matched) {
        if (task->status && hiddenStatuses.contains(task->status->status.toLower())) {
            dropped.append(task);
        } else {
            kept.append(task);
        }
    }
    if (!dropped.isEmpty()) {
        printLine(u"⚠️ Filtered out "_s + QString::number(dropped.size()) +
                  u" tasks due to status (closed/archived/backlog)"_s);
        const qsizetype droppedLines = std::min<qsizetype>(dropped.size(), detailLineLimit);
        for (qsizetype i = 0; i < droppedLines; ++i) {
            printLine(u"   • "_s + dropped[i]->name + u" (status: "_s + statusText(*dropped[i]) + u")"_s);
        }
        printMore(dropped.size(), droppedLines);
    }
    return kept;
}

QCoro::Task<QList<ClickUpSearchTaskResponse>> ClickUpTaskSearch::fetchAllTasks(QString teamId) {
    const QString token = co_await m_sender.requireToken();
    QList<QUrl> urls;
    for (int page = 0; page < taskPageCount; ++page) {
        QUrlQuery query;
        query.addQueryItem(u"page"_s, QString::number(page));
        query.addQueryItem(u"include_closed"_s, u"true"_s);
        query.addQueryItem(u"subtasks"_s, u"true"_s);
        urls.append(m_sender.requireUrl(ClickUpSender::teamPath(teamId, {u"task"_s}, std::move(query))));
    }

    QList<QNetworkReply*> replies;
    for (const QUrl& url : std::as_const(urls)) {
        replies.append(m_sender.send(ClickUpSender::HTTPMethod::get, url, token, true, std::nullopt));
    }
    const std::unique_ptr<TaskListingFetch, DeleteLater> listing(
        new TaskListingFetch(replies, [](int page, QNetworkReply& reply) {
            QList<ClickUpSearchTaskResponse> tasks =
                ClickUpSender::decodeGeneric<ClickUpSearchResponse>(ClickUpSender::genericBody(reply)).tasks;
            printLine(u"  📄 Page "_s + QString::number(page) + u": "_s + QString::number(tasks.size()) +
                      u" tasks"_s);
            return tasks;
        }));
    if (!listing->isSettled()) {
        co_await qCoro(listing.get(), &TaskListingFetch::settled);
    }
    QList<ClickUpSearchTaskResponse> tasks = listing->tasks();
    printLine(u"  ✅ Total: "_s + QString::number(tasks.size()) + u" tasks from "_s +
              QString::number(listing->pagesRead()) + u" pages"_s);
    co_return tasks;
}
