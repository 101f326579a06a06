#pragma once

#include <QByteArray>
#include <QCoroTask>

#include <optional>

class QNetworkReply;

// What an HTTP request got back: its status and its body, whatever the status. The network clients
// read their replies through it, so they agree on what counts as an answer and what as a transport
// failure.
struct HttpReply {
    // None when the reply is not an HTTP reply.
    std::optional<int> status;
    QByteArray body;

    bool isSuccess() const { return status && *status >= 200 && *status <= 299; }

    // Reads a finished reply. A reply whose only fault is its status (4xx, 5xx) is an HTTP reply; any
    // other failure (no connection, broken off, also after the status line, timed out) throws
    // TransportError; a reply aborted by its RequestLimits throws TransportError (timed out) or
    // OversizedReplyError.
    static HttpReply read(QNetworkReply& reply);

    // Waits for a reply just sent, deletes it later and reads it. The reply belongs to its manager,
    // which may go first: a reply destroyed while it is waited for throws TransportError too.
    static QCoro::Task<HttpReply> receive(QNetworkReply* reply);
};
