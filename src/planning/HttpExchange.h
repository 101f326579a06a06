#pragma once

#include <QByteArray>
#include <QCoroTask>
#include <QNetworkAccessManager>
#include <QNetworkRequest>

// One HTTP request and the answer the server gave, whatever its status.
struct HttpExchange {
    int status = 0;
    QByteArray body;

    bool isSuccess() const { return status >= 200 && status <= 299; }

    // Sends the request and waits for the answer. A request that gets no HTTP answer (refused,
    // dropped, timed out, aborted) throws APIError::networkError with the transport's reason.
    static QCoro::Task<HttpExchange> send(QNetworkAccessManager& manager, QNetworkRequest request,
                                          QByteArray method, QByteArray body = {});
};
