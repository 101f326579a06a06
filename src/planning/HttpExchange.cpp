#include "planning/HttpExchange.h"

#include "clickup/APIError.h"

#include <QCoroNetworkReply>
#include <QNetworkReply>
#include <QPointer>

QCoro::Task<HttpExchange> HttpExchange::send(QNetworkAccessManager& manager, QNetworkRequest request,
                                             QByteArray method, QByteArray body) {
    // The reply belongs to the manager, which may go first; hence the guarded pointer.
    QPointer<QNetworkReply> reply = manager.sendCustomRequest(request, method, body);
    co_await reply.get();
    if (!reply) {
        throw APIError::networkError(QStringLiteral("The request was abandoned"));
    }
    reply->deleteLater();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid()) {
        throw APIError::networkError(reply->errorString());
    }
    co_return HttpExchange{status.toInt(), reply->readAll()};
}
