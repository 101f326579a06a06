#include "core/HttpReply.h"

#include "core/OversizedReplyError.h"
#include "core/RequestLimits.h"
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
    switch (RequestLimits::breachOf(reply)) {
    case RequestLimits::Breach::timedOut:
        throw TransportError(QNetworkReply::OperationCanceledError, QStringLiteral("The request timed out."));
    case RequestLimits::Breach::tooLarge:
        throw OversizedReplyError();
    case RequestLimits::Breach::none:
        break;
    }
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply.error();
    // A reply that broke off after a 2xx status line (a body cut short or that could not be
    // decompressed) is no answer either.
    const bool success = status.isValid() && status.toInt() >= 200 && status.toInt() <= 299;
    if (error != QNetworkReply::NoError && (success || !(status.isValid() && isStatusError(error)))) {
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
