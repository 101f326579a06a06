#include "services/clickup/ClickUpAPIService.h"
#include "core/Clock.h"
#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "core/Log.h"
#include "core/OversizedReplyError.h"
#include "core/ServerText.h"
#include "core/TransportError.h"
#include "core/Utf8Text.h"
#include "platform/KeychainItem.h"
#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpConversions.h"
#include "services/clickup/ClickUpCurrentTimerResponse.h"
#include "services/clickup/ClickUpErrorResponse.h"
#include "services/clickup/ClickUpSearchResponse.h"
#include "services/clickup/ClickUpTimeEntriesResponse.h"
#include "services/clickup/ClickUpTimeEntryCreateResponse.h"
#include "services/clickup/CreateTimeEntryRequest.h"
#include "services/clickup/StartTimerRequest.h"
#include "services/clickup/TaskListingFetch.h"
#include "services/clickup/UpdateTimeEntryRequest.h"

#include <QCoroNetworkReply>
#include <QCoroSignal>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;

namespace {
constexpr auto timerLog = Log::Category::timer;
constexpr auto apiLog = Log::Category::api;

struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

// A token goes into a header line as it is, so one holding a line break could add headers of its own.
bool isSendableToken(const QString& token) {
    return !token.isEmpty() && std::none_of(token.cbegin(), token.cend(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() == 0x7f;
    });
}

qint64 epochMilliseconds(const QDateTime& date) {
    return date.toMSecsSinceEpoch();
}

// Diagnostic lines of the task search go to standard output, one per line.
void printLine(const QString& line) {
    QByteArray bytes = line.toUtf8();
    bytes += '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

struct FlushStdoutOnExit {
    FlushStdoutOnExit() = default;
    FlushStdoutOnExit(const FlushStdoutOnExit&) = delete;
    FlushStdoutOnExit& operator=(const FlushStdoutOnExit&) = delete;
    ~FlushStdoutOnExit() { std::fflush(stdout); }
};

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

ClickUpAPIService::ClickUpAPIService(KeychainServiceProtocol& keychain, QUrl baseUrl, QObject* parent)
    : QObject(parent)
    , m_keychain(keychain)
    , m_baseUrl(std::move(baseUrl))
    , m_network(new QNetworkAccessManager(this)) {}

ClickUpAPIService::~ClickUpAPIService() {
    // Requests still under way end now, as failures, so that the calls awaiting them finish instead
    // of waiting for good on replies that go with the client.
    const QList<QNetworkReply*> pending = m_network->findChildren<QNetworkReply*>();
    for (QNetworkReply* reply : pending) {
        reply->abort();
    }
}

// --- addresses and token

ClickUpAPIService::Path ClickUpAPIService::teamPath(const QString& teamId, const QStringList& below,
                                                    QUrlQuery query) {
    return Path{QStringList{u"team"_s, teamId} + below, std::move(query)};
}

std::optional<QUrl> ClickUpAPIService::urlFor(const Path& path) const {
    const QString scheme = m_baseUrl.scheme();
    if (!m_baseUrl.isValid() || m_baseUrl.host().isEmpty() || (scheme != u"https"_s && scheme != u"http"_s)) {
        return std::nullopt;
    }
    QString encodedPath = m_baseUrl.path(QUrl::FullyEncoded);
    while (encodedPath.endsWith(u'/')) {
        encodedPath.chop(1);
    }
    for (const QString& segment : path.segments) {
        // A dot segment would address another resource once the path is normalised.
        if (segment == u"."_s || segment == u".."_s) {
            return std::nullopt;
        }
        encodedPath += u'/' + QString::fromLatin1(QUrl::toPercentEncoding(segment));
    }
    QUrl url = m_baseUrl;
    url.setPath(encodedPath, QUrl::StrictMode);
    if (path.query.isEmpty()) {
        url.setQuery(QString());
    } else {
        url.setQuery(path.query);
    }
    url.setFragment(QString());
    if (!url.isValid()) {
        return std::nullopt;
    }
    return url;
}

QUrl ClickUpAPIService::requireUrl(const Path& path) const {
    if (auto url = urlFor(path)) {
        return *url;
    }
    throw APIError::invalidURL();
}

QCoro::Task<std::optional<QString>> ClickUpAPIService::readToken() {
    const QPointer<ClickUpAPIService> self(this);
    std::optional<QString> token = co_await m_keychain.getValue(KeychainItem::clickUpAPIToken);
    if (!self) {
        // The client went away while the secret store answered: every caller reads the token first,
        // so none of them goes on into a client that is gone.
        throw TransportError(QNetworkReply::OperationCanceledError, u"The ClickUp client was closed"_s);
    }
    if (!token || token->isEmpty()) {
        co_return std::nullopt;
    }
    if (!isSendableToken(*token)) {
        Log::warning(u"The stored ClickUp token holds a line break or another control character; "
                     u"it is not sent"_s,
                     apiLog);
        co_return std::nullopt;
    }
    co_return token;
}

QCoro::Task<QString> ClickUpAPIService::requireToken() {
    std::optional<QString> token = co_await readToken();
    if (!token) {
        throw APIError::invalidToken();
    }
    co_return *token;
}

// --- sending

QNetworkReply* ClickUpAPIService::send(HTTPMethod method, const QUrl& url, const QString& token,
                                       bool acceptJson, const std::optional<QJsonObject>& body) {
    QNetworkRequest request(url);
    // Never follow a redirect to another origin: the token would go along.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::SameOriginRedirectPolicy);
    request.setRawHeader("Authorization", token.toUtf8());
    if (acceptJson) {
        request.setRawHeader("Accept", "application/json");
    }
    QByteArray data;
    if (body) {
        request.setRawHeader("Content-Type", "application/json");
        data = QJsonDocument(*body).toJson(QJsonDocument::Compact);
    }
    QByteArray verb;
    switch (method) {
    case HTTPMethod::get:
        verb = "GET";
        break;
    case HTTPMethod::post:
        verb = "POST";
        break;
    case HTTPMethod::put:
        verb = "PUT";
        break;
    case HTTPMethod::del:
        verb = "DELETE";
        break;
    }
    return m_limits.apply(m_network->sendCustomRequest(request, verb, data));
}

QCoro::Task<HttpReply> ClickUpAPIService::exchange(HTTPMethod method, QUrl url, QString token,
                                                   bool acceptJson, std::optional<QJsonObject> body) {
    try {
        co_return co_await HttpReply::receive(send(method, url, token, acceptJson, body));
    } catch (const OversizedReplyError&) {
        throw APIError::invalidResponse();
    }
}

template <class T>
QCoro::Task<T> ClickUpAPIService::request(Path path, HTTPMethod method, std::optional<QJsonObject> body) {
    const QString token = co_await requireToken();
    const QUrl url = requireUrl(path);
    const std::unique_ptr<QNetworkReply, DeleteLater> reply(send(method, url, token, true, body));
    co_await reply.get();
    co_return readGenericReply<T>(*reply);
}

template <class T>
T ClickUpAPIService::readGenericReply(QNetworkReply& reply) {
    HttpReply raw;
    try {
        raw = HttpReply::read(reply);
    } catch (const OversizedReplyError&) {
        throw APIError::invalidResponse();
    } catch (const std::exception& error) {
        throw APIError::networkError(error);
    }
    if (!raw.status) {
        throw APIError::invalidResponse();
    }
    if (!raw.isSuccess()) {
        throw APIError::httpError(*raw.status, ClickUpErrorResponse::messageOf(raw.body));
    }
    try {
        return decodeJson<T>(raw.body);
    } catch (const DecodingError& error) {
        Log::error(u"Failed to decode response. Raw JSON: "_s + serverText(raw.body).value_or(u"nil"_s),
                   apiLog);
        Log::error(u"Decoding error details: "_s + error.description(), apiLog);
        throw APIError::decodingError(error);
    }
}

// --- timer

QCoro::Task<std::optional<ActiveTimer>> ClickUpAPIService::getCurrentTimer(QString teamId) {
    Log::debug(u"getCurrentTimer called with teamId: "_s + teamId, timerLog);
    const std::optional<QString> token = co_await readToken();
    if (!token) {
        Log::error(u"No token found!"_s, timerLog);
        throw APIError::invalidToken();
    }
    Log::debug(u"Token found: "_s + Log::redacted(*token), timerLog);

    const std::optional<QUrl> url = urlFor(teamPath(teamId, {u"time_entries"_s, u"current"_s}));
    if (!url) {
        Log::error(u"Invalid URL!"_s, timerLog);
        throw APIError::invalidURL();
    }
    Log::debug(u"URL: "_s + url->toDisplayString(), timerLog);

    Log::debug(u"Making request..."_s, timerLog);
    const HttpReply reply = co_await exchange(HTTPMethod::get, *url, *token, false, std::nullopt);
    const int code = reply.status.value_or(0);
    Log::debug(u"Response status code: "_s + QString::number(code), timerLog);
    if (!reply.isSuccess()) {
        Log::error(u"HTTP error: "_s + QString::number(code), timerLog);
        throw APIError::httpError(code, ClickUpErrorResponse::messageOf(reply.body));
    }

    ClickUpCurrentTimerResponse decoded;
    try {
        decoded = decodeJson<ClickUpCurrentTimerResponse>(reply.body);
    } catch (const DecodingError& error) {
        // An unreadable reply counts as no timer running.
        Log::error(u"Decode error"_s, timerLog, error);
        co_return std::nullopt;
    }
    Log::debug(u"Decoded current timer response"_s, timerLog);
    if (!decoded.data) {
        Log::debug(u"No timer running"_s, timerLog);
    } else {
        const ClickUpCurrentTimerData& data = *decoded.data;
        Log::debug(u"Timer data: id="_s + data.id.value_or(u"nil"_s) + u", start="_s +
                       data.start.value_or(u"nil"_s) + u", task="_s +
                       (data.task ? data.task->name : u"nil"_s),
                   timerLog);
    }

    std::optional<ActiveTimer> timer = makeActiveTimer(decoded.data);
    if (timer) {
        Log::info(u"Active timer: id="_s + timer->id + u", task="_s + timer->taskName + u", elapsed="_s +
                      timer->elapsedTimeString(),
                  timerLog);
    }
    co_return timer;
}

QCoro::Task<> ClickUpAPIService::stopTimer(QString teamId) {
    Path path = teamPath(teamId, {u"time_entries"_s, u"stop"_s});
    co_await request<ClickUpCurrentTimerResponse>(std::move(path), HTTPMethod::post);
}

QCoro::Task<std::optional<ActiveTimer>> ClickUpAPIService::startTimer(QString teamId, QString taskId) {
    try {
        co_await stopTimer(teamId);
    } catch (...) {
        // Whatever ran is stopped as far as it can be; the start goes ahead regardless.
    }

    const QString token = co_await requireToken();
    const QUrl url = requireUrl(teamPath(teamId, {u"time_entries"_s, u"start"_s}));
    std::optional<QJsonObject> body = StartTimerRequest{taskId}.toJson();
    const HttpReply reply = co_await exchange(HTTPMethod::post, url, token, false, std::move(body));

    if (reply.isSuccess()) {
        Log::debug(u"Start timer response received"_s, timerLog);
        std::optional<ClickUpCurrentTimerResponse> decoded;
        try {
            decoded = decodeJson<ClickUpCurrentTimerResponse>(reply.body);
        } catch (const DecodingError&) {
            // Read back what runs now instead.
        }
        if (decoded) {
            co_return makeActiveTimer(decoded->data);
        }
        co_return co_await getCurrentTimer(teamId);
    }

    const std::optional<QString> text = serverText(reply.body);
    Log::error(u"Start timer error: "_s + text.value_or(u"unknown"_s), timerLog);
    throw APIError::httpError(reply.status.value_or(0), ClickUpErrorResponse::messageOf(reply.body));
}

// --- time entries

QCoro::Task<QList<TimeEntry>> ClickUpAPIService::getTimeEntries(QString teamId, QDateTime startDate) {
    QUrlQuery query;
    query.addQueryItem(u"start_date"_s, QString::number(epochMilliseconds(startDate)));
    Path path = teamPath(teamId, {u"time_entries"_s}, std::move(query));
    const auto response = co_await request<ClickUpTimeEntriesResponse>(std::move(path), HTTPMethod::get);
    QList<TimeEntry> entries;
    entries.reserve(response.data.size());
    for (const ClickUpTimeEntryResponse& item : response.data) {
        if (auto entry = timeEntryFromResponse(item)) {
            entries.append(std::move(*entry));
        }
    }
    co_return entries;
}

QCoro::Task<TimeEntry> ClickUpAPIService::createTimeEntry(QString teamId, QString taskId, QDateTime startDate,
                                                          QDateTime endDate,
                                                          std::optional<QString> description) {
    const CreateTimeEntryRequest body{taskId, epochMilliseconds(startDate), startDate.msecsTo(endDate),
                                      std::move(description), false};
    const QString token = co_await requireToken();
    const QUrl url = requireUrl(teamPath(teamId, {u"time_entries"_s}));

    Log::debug(u"Creating time entry: taskId="_s + taskId + u", start="_s + QString::number(body.start) +
                   u", duration="_s + QString::number(body.duration) + u"ms"_s,
               timerLog);
    std::optional<QJsonObject> json = body.toJson();
    const HttpReply reply = co_await exchange(HTTPMethod::post, url, token, false, std::move(json));
    if (!reply.status) {
        throw APIError::invalidResponse();
    }
    const QString text = serverText(reply.body).value_or(u"nil"_s);
    Log::debug(u"Create time entry raw response: "_s + text, timerLog);
    if (!reply.isSuccess()) {
        Log::error(u"Create time entry HTTP error "_s + QString::number(*reply.status) + u": "_s + text,
                   timerLog);
        throw APIError::httpError(*reply.status, ClickUpErrorResponse::messageOf(reply.body));
    }

    const auto logDecodeFailure = [&text](const Error& error) {
        Log::error(u"Failed to decode create time entry response: "_s + error.description(), timerLog);
        Log::error(u"Raw JSON was: "_s + text, timerLog);
    };
    std::optional<TimeEntry> entry;
    try {
        entry = timeEntryFromResponse(decodeJson<ClickUpTimeEntryCreateResponse>(reply.body).data);
    } catch (const DecodingError& error) {
        logDecodeFailure(error);
        throw APIError::decodingError(error);
    }
    if (!entry) {
        Log::error(u"Failed to convert response to TimeEntry"_s, timerLog);
        const APIError error = APIError::decodingError(u"Failed to parse created time entry"_s);
        logDecodeFailure(error);
        throw error;
    }
    Log::info(u"Created time entry: "_s + entry->id + u" for task "_s + taskId, timerLog);
    co_return *entry;
}

QCoro::Task<TimeEntry> ClickUpAPIService::updateTimeEntry(QString teamId, QString timeEntryId,
                                                          QDateTime startDate, QDateTime endDate) {
    const UpdateTimeEntryRequest body{epochMilliseconds(startDate), startDate.msecsTo(endDate)};
    Path path = teamPath(teamId, {u"time_entries"_s, timeEntryId});
    std::optional<QJsonObject> json = body.toJson();
    const auto response =
        co_await request<ClickUpTimeEntryCreateResponse>(std::move(path), HTTPMethod::put, std::move(json));
    std::optional<TimeEntry> entry = timeEntryFromResponse(response.data);
    if (!entry) {
        throw APIError::decodingError(u"Failed to parse updated time entry"_s);
    }
    Log::info(u"Updated time entry: "_s + entry->id, timerLog);
    co_return *entry;
}

QCoro::Task<> ClickUpAPIService::deleteTimeEntry(QString teamId, QString timeEntryId) {
    const QString token = co_await requireToken();
    const QUrl url = requireUrl(teamPath(teamId, {u"time_entries"_s, timeEntryId}));
    const HttpReply reply = co_await exchange(HTTPMethod::del, url, token, false, std::nullopt);
    if (!reply.isSuccess()) {
        throw APIError::httpError(reply.status.value_or(0), ClickUpErrorResponse::messageOf(reply.body));
    }
    Log::info(u"Deleted time entry: "_s + timeEntryId, timerLog);
}

// --- task search

QCoro::Task<QList<ClickUpSearchResult>> ClickUpAPIService::searchTasks(QString teamId, QString query,
                                                                       int limit) {
    if (query.isEmpty()) {
        co_return {};
    }
    const FlushStdoutOnExit flush;
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
    printLine(u"🔍 Query: '"_s + query + u"'"_s);

    const QString needle = query.toLower();
    QList<const ClickUpSearchTaskResponse*> subtasks;
    QList<const ClickUpSearchTaskResponse*> matched;
    for (const ClickUpSearchTaskResponse& task : std::as_const(tasks)) {
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

    QList<const ClickUpSearchTaskResponse*> kept;
    QList<const ClickUpSearchTaskResponse*> dropped;
    for (const ClickUpSearchTaskResponse* task : std::as_const(matched)) {
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

QCoro::Task<QList<ClickUpSearchTaskResponse>> ClickUpAPIService::fetchAllTasks(QString teamId) {
    const QString token = co_await requireToken();
    QList<QUrl> urls;
    for (int page = 0; page < taskPageCount; ++page) {
        QUrlQuery query;
        query.addQueryItem(u"page"_s, QString::number(page));
        query.addQueryItem(u"include_closed"_s, u"true"_s);
        query.addQueryItem(u"subtasks"_s, u"true"_s);
        urls.append(requireUrl(teamPath(teamId, {u"task"_s}, std::move(query))));
    }

    QList<QNetworkReply*> replies;
    for (const QUrl& url : std::as_const(urls)) {
        replies.append(send(HTTPMethod::get, url, token, true, std::nullopt));
    }
    const std::unique_ptr<TaskListingFetch, DeleteLater> listing(
        new TaskListingFetch(replies, [](int page, QNetworkReply& reply) {
            QList<ClickUpSearchTaskResponse> tasks = readGenericReply<ClickUpSearchResponse>(reply).tasks;
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
