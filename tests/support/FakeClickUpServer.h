#pragma once

#include "FakeHttpServer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QUrl>

#include <QElapsedTimer>
#include <QList>

#include <functional>
#include <optional>

// A loopback ClickUp for the real client: answers the current-timer, start, stop and time-entry
// list, create, update and delete requests of any team under "/api/v2" in ClickUp's formats, from the
// timer and entries it holds. Every request is recorded by the HTTP server underneath.
class FakeClickUpServer : public QObject {
    Q_OBJECT

public:
    explicit FakeClickUpServer(QObject* parent = nullptr);

    // http://127.0.0.1:<port>/api/v2, the client's base address.
    QUrl apiUrl() const;
    FakeHttpServer& http() { return m_http; }

    // The running timer ("data" of the current-timer reply), none when no timer runs.
    std::optional<QJsonObject> runningTimer;
    // The "data" list of the time-entry reply.
    QJsonArray timeEntries;

    // Each answer waits this long (every request, the scripted ones too).
    int latencyMs = 0;
    // Asked first for every request: an answer of its own (a failure, garbage, a hang) or none for the
    // normal one.
    std::function<std::optional<FakeHttpServer::Response>(const FakeHttpServer::Request&)> intercept;
    // The most requests that were under way at one moment (received and not yet answered).
    int maxConcurrentRequests() const { return m_maxConcurrent; }
    // Ids given to created entries: "ce-1", "ce-2", ...
    int createdCount() const { return m_created; }

    // The normal answer to a request, without latency or interception.
    FakeHttpServer::Response answer(const FakeHttpServer::Request& request);

    // A running timer as ClickUp sends it: id, start as text, negative duration, task and address.
    static QJsonObject timerJson(const QString& id, const QString& taskId, const QString& taskName,
                                 qint64 startMSecs);
    // A finished time entry as ClickUp sends it.
    static QJsonObject timeEntryJson(const QString& id, const QString& taskId, const QString& taskName,
                                     qint64 startMSecs, qint64 durationMSecs);

private:
    FakeHttpServer m_http;
    QElapsedTimer m_clock;
    // When each request under way will have been answered (m_clock milliseconds).
    QList<qint64> m_answerTimes;
    int m_maxConcurrent = 0;
    int m_created = 0;
};
