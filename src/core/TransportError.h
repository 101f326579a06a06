#pragma once

#include "core/Error.h"

#include <QNetworkReply>
#include <QString>

// A request that got no usable HTTP reply: the connection could not be made, broke off, or stayed
// silent longer than the client's time-out. Carries the network layer's error code and its text.
class TransportError : public Error {
public:
    TransportError(QNetworkReply::NetworkError code, QString text);

    // The failure of a finished reply. A cancelled reply counts as timed out, because the clients
    // only ever cancel their requests through the transfer time-out.
    static TransportError fromReply(const QNetworkReply& reply);

    QNetworkReply::NetworkError code() const { return m_code; }
    bool isTimeout() const { return m_code == QNetworkReply::OperationCanceledError; }

    // The network layer's text, e.g. "Connection refused"; "The request timed out." for a time-out.
    QString description() const override { return m_text; }

private:
    QNetworkReply::NetworkError m_code;
    QString m_text;
};
