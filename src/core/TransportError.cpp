#include "core/TransportError.h"

TransportError::TransportError(QNetworkReply::NetworkError code, QString text)
    : m_code(code)
    , m_text(std::move(text)) {}

TransportError TransportError::fromReply(const QNetworkReply& reply) {
    const QNetworkReply::NetworkError code = reply.error();
    if (code == QNetworkReply::OperationCanceledError) {
        return TransportError(code, QStringLiteral("The request timed out."));
    }
    return TransportError(code, reply.errorString());
}
