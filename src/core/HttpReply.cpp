#include "core/HttpReply.h"

#include "core/TransportError.h"

#include <QCoroNetworkReply>
#include <QNetworkReply>
#include <QPointer>

namespace {
// Errors the network layer raises for an HTTP reply whose status is not 2xx (the reply itself came
// back whole): 4xx statuses are the content errors and 400 the invalid operation, 5xx the server errors.
bool isStatusError(QNetworkReply::NetworkError error) {
    return (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError) ||
           error == QNetworkReply::ProtocolInvalidOperationError ||
           (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}
} // namespace

HttpReply HttpReply::read(QNetworkReply& reply) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply.error();
    if (error != QNetworkReply::NoError && !(status.isValid() && isStatusError(error))) {
        throw TransportError::fromReply(reply);
    }
    HttpReply result;
    if (status.isValid()) {
        result.status = status.toInt();
    }
    result.body = reply.readAll();
    return result;
}

QCoro::Task<HttpReply> HttpReply::receive(QNetworkReply* sent) {
    const QPointer<QNetworkReply> reply(sent);
    co_await sent;
    if (!reply) {
        throw TransportError(QNetworkReply::UnknownNetworkError, QStringLiteral("The request was abandoned"));
    }
    reply->deleteLater();
    co_return read(*reply);
}
