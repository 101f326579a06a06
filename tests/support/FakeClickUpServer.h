#pragma once

#include "FakeHttpServer.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QObject>
#include <QUrl>

#include <optional>

// A loopback ClickUp for the real client: answers the current-timer, start, stop and time-entry
// list requests of any team under "/api/v2" in ClickUp's formats, from the timer and entries it holds.
// Every request is recorded by the HTTP server underneath.
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

    // A running timer as ClickUp sends it: id, start as text, negative duration, task and address.
    static QJsonObject timerJson(const QString& id, const QString& taskId, const QString& taskName,
                                 qint64 startMSecs);
    // A finished time entry as ClickUp sends it.
    static QJsonObject timeEntryJson(const QString& id, const QString& taskId, const QString& taskName,
                                     qint64 startMSecs, qint64 durationMSecs);

private:
    FakeHttpServer::Response answer(const FakeHttpServer::Request& request);

    FakeHttpServer m_http;
};
