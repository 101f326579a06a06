#pragma once

#include "core/RequestLimits.h"
#include "platform/SecretStore.h"
#include "services/clickup/ClickUpClient.h"
#include "services/clickup/ClickUpTaskSearch.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QUrl>

#include <chrono>
#include <memory>
#include <optional>

class ClickUpEndpoints;
class ClickUpSender;

// The application's client of the ClickUp REST API v2, as the rest of the application holds it: the
// sending (ClickUpSender: token, addresses, requests), the timer and time-entry operations
// (ClickUpEndpoints) and the task search with its cache (ClickUpTaskSearch) behind one object.
// Every call reads the personal API token from the secret store anew and sends it as the
// "Authorization" header; a missing, empty or unsendable token fails with APIError::invalidToken
// before anything is sent. Ids go into the address percent-encoded, each as one path segment.
// Nothing is retried.
//
// Failures: the listing, stop, update and task-page requests report every failure as an APIError
// (a transport failure as networkError); getCurrentTimer, startTimer, createTimeEntry and
// deleteTimeEntry pass transport failures on as TransportError (see each operation).
//
// searchTasks keeps each team's whole task listing for cacheLifetimeSeconds and answers from it;
// it writes diagnostic lines to standard output.
class ClickUpAPIService : public QObject, public ClickUpClient {
    Q_OBJECT

public:
    using TaskCache = ClickUpTaskSearch::TaskCache;

    // A cached listing is fresh while it is at most this old (300 s itself included).
    static constexpr qint64 cacheLifetimeSeconds = ClickUpTaskSearch::cacheLifetimeSeconds;
    // The pages of a team's task listing requested by one fetch.
    static constexpr int taskPageCount = ClickUpTaskSearch::taskPageCount;
    // A request fails as timed out when no data moves for this long, or when it is not over after
    // RequestLimits::defaultDeadline; a body above RequestLimits::defaultMaxBodyBytes is refused as
    // invalidResponse before it is read.
    static constexpr std::chrono::milliseconds defaultTransferTimeout = RequestLimits::defaultInactivity;

    // baseUrl: the API's address, e.g. "https://api.clickup.com/api/v2"; paths are appended to its
    // path. An address that is not absolute http or https makes every call fail with invalidURL.
    ClickUpAPIService(SecretStore& keychain, QUrl baseUrl, QObject* parent = nullptr);
    ~ClickUpAPIService() override;

    // None when ClickUp reports no timer, and also when the reply cannot be read. Transport failures
    // pass on unchanged; any status outside 2xx is httpError without a message.
    QCoro::Task<std::optional<ActiveTimer>> getCurrentTimer(QString teamId) override;
    // Stops what runs (ignoring any failure of that), then starts the task's timer. A reply that
    // cannot be read is answered by reading the current timer. A status outside 2xx is httpError with
    // the whole body as message; transport failures pass on unchanged.
    QCoro::Task<std::optional<ActiveTimer>> startTimer(QString teamId, QString taskId) override;
    QCoro::Task<> stopTimer(QString teamId) override;
    QCoro::Task<QList<TimeEntry>> getTimeEntries(QString teamId, QDateTime startDate) override;
    // A status outside 2xx is httpError with the whole body as message; transport failures pass on.
    QCoro::Task<TimeEntry> createTimeEntry(QString teamId, QString taskId, QDateTime startDate,
                                           QDateTime endDate, std::optional<QString> description) override;
    QCoro::Task<TimeEntry> updateTimeEntry(QString teamId, QString timeEntryId, QDateTime startDate,
                                           QDateTime endDate) override;
    // Succeeds on any 2xx status, body ignored; otherwise httpError without a message. Transport
    // failures pass on unchanged.
    QCoro::Task<> deleteTimeEntry(QString teamId, QString timeEntryId) override;
    // An empty query gives nothing at once. Otherwise the team's tasks (from the cache, or fetched)
    // whose lower-cased name, or else id, contains the lower-cased query, in page order, without
    // closed, archived and backlog tasks, at most limit of them.
    QCoro::Task<QList<ClickUpSearchResult>> searchTasks(QString teamId, QString query, int limit) override;

    QUrl baseUrl() const;
    std::chrono::milliseconds transferTimeout() const;
    // These apply to requests sent from now on.
    void setTransferTimeout(std::chrono::milliseconds timeout);
    const RequestLimits& requestLimits() const;
    void setRequestLimits(const RequestLimits& limits);

private:
    std::unique_ptr<ClickUpSender> m_sender;
    std::unique_ptr<ClickUpEndpoints> m_endpoints;
    ClickUpTaskSearch m_search;
};
