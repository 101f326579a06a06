#include "services/clickup/ClickUpConversions.h"

#include "core/Clock.h"

#include <limits>

using namespace Qt::StringLiterals;

namespace {
const QString unknownTask = u"Unknown Task"_s;

// The link of a timer or entry: the reply's "task_url" when it is a usable address; without a
// "task_url", the task's own url when usable; else the task's page, or the start page without task.
QUrl taskLink(const std::optional<QString>& replyTaskUrl, const QString* taskId,
              const std::optional<QString>& taskOwnUrl) {
    if (replyTaskUrl) {
        if (auto link = parseTaskLink(*replyTaskUrl)) {
            return *link;
        }
    } else if (taskOwnUrl) {
        if (auto link = parseTaskLink(*taskOwnUrl)) {
            return *link;
        }
    }
    return taskId ? clickUpTaskUrl(*taskId) : clickUpWebAppUrl();
}

TaskStatus statusOf(const std::optional<ClickUpTaskStatus>& status) {
    return status ? taskStatusFromText(status->status) : TaskStatus::other;
}

std::optional<QDateTime> dateFromText(QStringView text) {
    if (const auto milliseconds = parseMilliseconds(text)) {
        return dateFromMilliseconds(*milliseconds);
    }
    return std::nullopt;
}
} // namespace

QUrl clickUpWebAppUrl() {
    return QUrl(u"https://"_s + clickUpWebAppHost);
}

QUrl clickUpTaskUrl(const QString& taskId) {
    return QUrl(u"https://"_s + clickUpWebAppHost + u"/t/"_s +
                    QString::fromLatin1(QUrl::toPercentEncoding(taskId)),
                QUrl::StrictMode);
}

std::optional<QUrl> parseTaskLink(const QString& text) {
    const QUrl url(text, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    const QString scheme = url.scheme();
    if (scheme != u"https"_s && scheme != u"http"_s) {
        return std::nullopt;
    }
    return url;
}

std::optional<qint64> parseMilliseconds(QStringView text) {
    qsizetype index = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        index = 1;
    }
    if (index == text.size()) {
        return std::nullopt;
    }
    // Accumulated as a negative number, whose range reaches one further than the positive one.
    constexpr qint64 lowest = std::numeric_limits<qint64>::min();
    qint64 value = 0;
    for (; index < text.size(); ++index) {
        const char16_t c = text[index].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        const int digit = c - u'0';
        if (value < (lowest + digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == lowest) {
            return std::nullopt;
        }
        value = -value;
    }
    return value;
}

QDateTime dateFromMilliseconds(qint64 milliseconds) {
    QDateTime local = QDateTime::fromMSecsSinceEpoch(milliseconds);
    if (local.isValid()) {
        return local;
    }
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

std::optional<ActiveTimer> makeActiveTimer(const std::optional<ClickUpCurrentTimerData>& data) {
    if (!data || !data->id || !data->start) {
        return std::nullopt;
    }
    ActiveTimer timer;
    timer.id = *data->id;
    if (data->task) {
        timer.taskId = data->task->id;
        timer.taskName = data->task->name;
    } else {
        timer.taskName = unknownTask;
    }
    timer.taskUrl = taskLink(data->taskUrl, data->task ? &data->task->id : nullptr,
                             data->task ? data->task->url : std::nullopt);
    timer.startTime = dateFromText(*data->start).value_or(Clock::now());
    return timer;
}

std::optional<TimeEntry> timeEntryFromResponse(const ClickUpTimeEntryResponse& response) {
    const auto start = dateFromText(response.start);
    if (!start) {
        return std::nullopt;
    }
    TimeEntry entry;
    entry.id = response.id;
    if (response.task) {
        entry.taskId = response.task->id;
        entry.taskName = response.task->name;
    } else {
        entry.taskName = unknownTask;
    }
    entry.taskUrl = taskLink(response.taskUrl, response.task ? &response.task->id : nullptr,
                             response.task ? response.task->url : std::nullopt);
    entry.status = response.task ? statusOf(response.task->status) : TaskStatus::other;
    entry.startTime = *start;
    entry.endTime = dateFromText(response.end.value_or(response.start)).value_or(Clock::now());
    if (const auto duration = parseMilliseconds(response.duration)) {
        entry.duration = double(*duration);
    } else {
        entry.duration = double(entry.startTime.msecsTo(entry.endTime));
    }
    return entry;
}

ClickUpSearchResult searchResultFromResponse(const ClickUpSearchTaskResponse& task) {
    ClickUpSearchResult result;
    result.id = task.id;
    result.name = task.name;
    result.status = statusOf(task.status);
    result.listName = task.list ? task.list->name : u"Unknown List"_s;
    const auto ownUrl = task.url ? parseTaskLink(*task.url) : std::nullopt;
    result.taskUrl = ownUrl.value_or(clickUpTaskUrl(task.id));
    result.assignees = task.assignees.value_or(QList<ClickUpAssignee>());
    result.parent = task.parent;
    result.subtasks = task.subtasks.value_or(QList<SubtaskRef>());
    return result;
}
