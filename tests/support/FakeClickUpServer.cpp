#include "FakeClickUpServer.h"

#include "core/Clock.h"

#include <QJsonDocument>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {
const QString apiPrefix = QStringLiteral("/api/v2");

QByteArray dataReply(const QJsonValue& data) {
    QJsonObject reply;
    reply.insert(QStringLiteral("data"), data);
    return QJsonDocument(reply).toJson(QJsonDocument::Compact);
}

QJsonObject taskJson(const QString& taskId, const QString& taskName) {
    QJsonObject status;
    status.insert(QStringLiteral("status"), QStringLiteral("in progress"));
    QJsonObject task;
    task.insert(QStringLiteral("id"), taskId);
    task.insert(QStringLiteral("name"), taskName);
    task.insert(QStringLiteral("status"), status);
    return task;
}
} // namespace

FakeClickUpServer::FakeClickUpServer(QObject* parent)
    : QObject(parent) {
    m_clock.start();
    m_http.setFallback([this](const FakeHttpServer::Request& request) {
        const qint64 now = m_clock.elapsed();
        m_answerTimes.removeIf([now](qint64 time) { return time <= now; });
        FakeHttpServer::Response response;
        if (std::optional<FakeHttpServer::Response> scripted =
                intercept ? intercept(request) : std::nullopt) {
            response = *scripted;
        } else {
            response = answer(request);
        }
        response.delayMs += latencyMs;
        m_answerTimes.append(response.hang ? std::numeric_limits<qint64>::max() : now + response.delayMs);
        m_maxConcurrent = std::max(m_maxConcurrent, int(m_answerTimes.size()));
        return response;
    });
}

QUrl FakeClickUpServer::apiUrl() const {
    QUrl url = m_http.baseUrl();
    url.setPath(apiPrefix);
    return url;
}

QJsonObject FakeClickUpServer::timerJson(const QString& id, const QString& taskId, const QString& taskName,
                                         qint64 startMSecs) {
    QJsonObject timer;
    timer.insert(QStringLiteral("id"), id);
    timer.insert(QStringLiteral("task"), taskJson(taskId, taskName));
    timer.insert(QStringLiteral("start"), QString::number(startMSecs));
    timer.insert(QStringLiteral("duration"), QString::number(-startMSecs));
    timer.insert(QStringLiteral("task_url"), QStringLiteral("https://app.clickup.com/t/") + taskId);
    return timer;
}

QJsonObject FakeClickUpServer::timeEntryJson(const QString& id, const QString& taskId,
                                             const QString& taskName, qint64 startMSecs,
                                             qint64 durationMSecs) {
    QJsonObject entry;
    entry.insert(QStringLiteral("id"), id);
    entry.insert(QStringLiteral("task"), taskJson(taskId, taskName));
    entry.insert(QStringLiteral("start"), QString::number(startMSecs));
    entry.insert(QStringLiteral("end"), QString::number(startMSecs + durationMSecs));
    entry.insert(QStringLiteral("duration"), QString::number(durationMSecs));
    entry.insert(QStringLiteral("billable"), false);
    entry.insert(QStringLiteral("task_url"), QStringLiteral("https://app.clickup.com/t/") + taskId);
    return entry;
}

FakeHttpServer::Response FakeClickUpServer::answer(const FakeHttpServer::Request& request) {
    static const QRegularExpression teamPath(
        QStringLiteral("^/api/v2/team/([^/]+)/time_entries(?:/([^/]+))?$"));
    const auto notFound = [] {
        return FakeHttpServer::Response::json(R"({"err":"Route not found","ECODE":"APP_001"})", 404);
    };
    const QRegularExpressionMatch match = teamPath.match(request.path);
    if (!match.hasMatch()) {
        return notFound();
    }
    if (request.header("authorization").isEmpty()) {
        return FakeHttpServer::Response::json(R"({"err":"Token invalid","ECODE":"OAUTH_025"})", 401);
    }
    const QString action = match.captured(2);
    if (request.method == "GET" && action == QLatin1String("current")) {
        return FakeHttpServer::Response::json(
            dataReply(runningTimer ? QJsonValue(*runningTimer) : QJsonValue()));
    }
    if (request.method == "GET" && action.isEmpty()) {
        return FakeHttpServer::Response::json(dataReply(timeEntries));
    }
    if (request.method == "POST" && action == QLatin1String("stop")) {
        const QJsonValue stopped = runningTimer ? QJsonValue(*runningTimer) : QJsonValue();
        runningTimer.reset();
        return FakeHttpServer::Response::json(dataReply(stopped));
    }
    if (request.method == "POST" && action == QLatin1String("start")) {
        const QString taskId = request.jsonBody().value(QStringLiteral("tid")).toString();
        runningTimer = timerJson(QStringLiteral("timer-") + taskId, taskId, QStringLiteral("Task ") + taskId,
                                 Clock::nowMSecs());
        return FakeHttpServer::Response::json(dataReply(*runningTimer));
    }
    if (request.method == "POST" && action.isEmpty()) {
        const QVariantMap body = request.jsonBody();
        const QString taskId = body.value(QStringLiteral("tid")).toString();
        const QJsonObject entry =
            timeEntryJson(QStringLiteral("ce-") + QString::number(++m_created), taskId,
                          QStringLiteral("Task ") + taskId, body.value(QStringLiteral("start")).toLongLong(),
                          body.value(QStringLiteral("duration")).toLongLong());
        timeEntries.append(entry);
        return FakeHttpServer::Response::json(dataReply(entry));
    }
    // An entry of its own: update or delete it.
    for (qsizetype i = 0; i < timeEntries.size(); ++i) {
        QJsonObject entry = timeEntries.at(i).toObject();
        if (entry.value(QStringLiteral("id")).toString() != action || action.isEmpty()) {
            continue;
        }
        if (request.method == "PUT") {
            const QVariantMap body = request.jsonBody();
            const qint64 start = body.value(QStringLiteral("start")).toLongLong();
            const qint64 duration = body.value(QStringLiteral("duration")).toLongLong();
            entry.insert(QStringLiteral("start"), QString::number(start));
            entry.insert(QStringLiteral("end"), QString::number(start + duration));
            entry.insert(QStringLiteral("duration"), QString::number(duration));
            timeEntries.replace(i, entry);
            return FakeHttpServer::Response::json(dataReply(entry));
        }
        if (request.method == "DELETE") {
            timeEntries.removeAt(i);
            return FakeHttpServer::Response::json(dataReply(QJsonArray{entry}));
        }
    }
    if (request.method == "PUT" || request.method == "DELETE") {
        return FakeHttpServer::Response::json(R"({"err":"Time entry not found","ECODE":"TE_404"})", 404);
    }
    return notFound();
}
