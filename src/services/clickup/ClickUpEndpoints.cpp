#include "services/clickup/ClickUpEndpoints.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"
#include "core/Log.h"
#include "core/ServerText.h"
#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpConversions.h"
#include "services/clickup/ClickUpCurrentTimerResponse.h"
#include "services/clickup/ClickUpErrorResponse.h"
#include "services/clickup/ClickUpSender.h"
#include "services/clickup/ClickUpTimeEntriesResponse.h"
#include "services/clickup/ClickUpTimeEntryCreateResponse.h"
#include "services/clickup/CreateTimeEntryRequest.h"
#include "services/clickup/StartTimerRequest.h"
#include "services/clickup/UpdateTimeEntryRequest.h"

#include <QUrlQuery>

using namespace Qt::StringLiterals;

namespace {
constexpr auto timerLog = Log::Category::timer;
using HTTPMethod = ClickUpSender::HTTPMethod;

qint64 epochMilliseconds(const QDateTime& date) {
    return date.toMSecsSinceEpoch();
}
} // namespace

ClickUpEndpoints::ClickUpEndpoints(ClickUpSender& sender)
    : m_sender(sender) {}

// --- timer

QCoro::Task<std::optional<ActiveTimer>> ClickUpEndpoints::getCurrentTimer(QString teamId) {
    Log::debug(u"getCurrentTimer called with teamId: "_s + teamId, timerLog);
    const std::optional<QString> token = co_await m_sender.readToken();
    if (!token) {
        Log::error(u"No token found!"_s, timerLog);
        throw APIError::invalidToken();
    }
    Log::debug(u"Token found: "_s + Log::redacted(*token), timerLog);

    const std::optional<QUrl> url =
        m_sender.urlFor(ClickUpSender::teamPath(teamId, {u"time_entries"_s, u"current"_s}));
    if (!url) {
        Log::error(u"Invalid URL!"_s, timerLog);
        throw APIError::invalidURL();
    }
    Log::debug(u"URL: "_s + url->toDisplayString(), timerLog);

    Log::debug(u"Making request..."_s, timerLog);
    const HttpReply reply = co_await m_sender.exchange(HTTPMethod::get, *url, *token, false, std::nullopt);
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

QCoro::Task<> ClickUpEndpoints::stopTimer(QString teamId) {
    ClickUpSender::Path path = ClickUpSender::teamPath(teamId, {u"time_entries"_s, u"stop"_s});
    co_await m_sender.request<ClickUpCurrentTimerResponse>(std::move(path), HTTPMethod::post);
}

QCoro::Task<std::optional<ActiveTimer>> ClickUpEndpoints::startTimer(QString teamId, QString taskId) {
    try {
        co_await stopTimer(teamId);
    } catch (...) {
        // Whatever ran is stopped as far as it can be; the start goes ahead regardless.
    }

    const QString token = co_await m_sender.requireToken();
    const QUrl url = m_sender.requireUrl(ClickUpSender::teamPath(teamId, {u"time_entries"_s, u"start"_s}));
    std::optional<QJsonObject> body = StartTimerRequest{taskId}.toJson();
    const HttpReply reply = co_await m_sender.exchange(HTTPMethod::post, url, token, false, std::move(body));

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

QCoro::Task<QList<TimeEntry>> ClickUpEndpoints::getTimeEntries(QString teamId, QDateTime startDate) {
    QUrlQuery query;
    query.addQueryItem(u"start_date"_s, QString::number(epochMilliseconds(startDate)));
    ClickUpSender::Path path = ClickUpSender::teamPath(teamId, {u"time_entries"_s}, std::move(query));
    const auto response =
        co_await m_sender.request<ClickUpTimeEntriesResponse>(std::move(path), HTTPMethod::get);
    QList<TimeEntry> entries;
    entries.reserve(response.data.size());
    for (const ClickUpTimeEntryResponse& item : response.data) {
        if (auto entry = timeEntryFromResponse(item)) {
            entries.append(std::move(*entry));
        }
    }
    co_return entries;
}

QCoro::Task<TimeEntry> ClickUpEndpoints::createTimeEntry(QString teamId, QString taskId, QDateTime startDate,
                                                         QDateTime endDate,
                                                         std::optional<QString> description) {
    const CreateTimeEntryRequest body{taskId, epochMilliseconds(startDate), startDate.msecsTo(endDate),
                                      std::move(description), false};
    const QString token = co_await m_sender.requireToken();
    const QUrl url = m_sender.requireUrl(ClickUpSender::teamPath(teamId, {u"time_entries"_s}));

    Log::debug(u"Creating time entry: taskId="_s + taskId + u", start="_s + QString::number(body.start) +
                   u", duration="_s + QString::number(body.duration) + u"ms"_s,
               timerLog);
    std::optional<QJsonObject> json = body.toJson();
    const HttpReply reply = co_await m_sender.exchange(HTTPMethod::post, url, token, false, std::move(json));
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

QCoro::Task<TimeEntry> ClickUpEndpoints::updateTimeEntry(QString teamId, QString timeEntryId,
                                                         QDateTime startDate, QDateTime endDate) {
    const UpdateTimeEntryRequest body{epochMilliseconds(startDate), startDate.msecsTo(endDate)};
    ClickUpSender::Path path = ClickUpSender::teamPath(teamId, {u"time_entries"_s, timeEntryId});
    std::optional<QJsonObject> json = body.toJson();
    const auto response = co_await m_sender.request<ClickUpTimeEntryCreateResponse>(
        std::move(path), HTTPMethod::put, std::move(json));
    std::optional<TimeEntry> entry = timeEntryFromResponse(response.data);
    if (!entry) {
        throw APIError::decodingError(u"Failed to parse updated time entry"_s);
    }
    Log::info(u"Updated time entry: "_s + entry->id, timerLog);
    co_return *entry;
}

QCoro::Task<> ClickUpEndpoints::deleteTimeEntry(QString teamId, QString timeEntryId) {
    const QString token = co_await m_sender.requireToken();
    const QUrl url = m_sender.requireUrl(ClickUpSender::teamPath(teamId, {u"time_entries"_s, timeEntryId}));
    const HttpReply reply = co_await m_sender.exchange(HTTPMethod::del, url, token, false, std::nullopt);
    if (!reply.isSuccess()) {
        throw APIError::httpError(reply.status.value_or(0), ClickUpErrorResponse::messageOf(reply.body));
    }
    Log::info(u"Deleted time entry: "_s + timeEntryId, timerLog);
}
