#include "services/forwarding/EmailForwardingError.h"

using namespace Qt::StringLiterals;

EmailForwardingError::EmailForwardingError(Kind kind, int statusCode, QString message, QString sha256)
    : m_kind(kind)
    , m_statusCode(statusCode)
    , m_message(std::move(message))
    , m_certificateSha256(std::move(sha256)) {}

EmailForwardingError EmailForwardingError::notConfigured() {
    return EmailForwardingError(Kind::notConfigured);
}

EmailForwardingError EmailForwardingError::noEmailSelected() {
    return EmailForwardingError(Kind::noEmailSelected);
}

EmailForwardingError EmailForwardingError::failedToGetLink() {
    return EmailForwardingError(Kind::failedToGetLink);
}

EmailForwardingError EmailForwardingError::invalidEndpoint() {
    return EmailForwardingError(Kind::invalidEndpoint);
}

EmailForwardingError EmailForwardingError::invalidResponse() {
    return EmailForwardingError(Kind::invalidResponse);
}

EmailForwardingError EmailForwardingError::timeout() {
    return EmailForwardingError(Kind::timeout);
}

EmailForwardingError EmailForwardingError::httpError(int statusCode, QString message) {
    return EmailForwardingError(Kind::httpError, statusCode, std::move(message));
}

EmailForwardingError EmailForwardingError::rejected(QString message) {
    return EmailForwardingError(Kind::rejected, 0, std::move(message));
}

EmailForwardingError EmailForwardingError::certificateRejected(QString problems, QString sha256) {
    return EmailForwardingError(Kind::certificateRejected, 0, std::move(problems), std::move(sha256));
}

EmailForwardingError EmailForwardingError::invalidSharedKey() {
    return EmailForwardingError(Kind::invalidSharedKey);
}

EmailForwardingError EmailForwardingError::alreadyForwarding() {
    return EmailForwardingError(Kind::alreadyForwarding);
}

EmailForwardingError EmailForwardingError::certificateChanged(QString problems, QString sha256) {
    return EmailForwardingError(Kind::certificateChanged, 0, std::move(problems), std::move(sha256));
}

EmailForwardingError EmailForwardingError::unreachable(QString server, QString reason) {
    EmailForwardingError error(Kind::unreachable, 0, std::move(reason));
    error.m_server = std::move(server);
    return error;
}

QString EmailForwardingError::description() const {
    switch (m_kind) {
    case Kind::notConfigured:
        return u"n8n endpoint not configured. Please configure in Settings."_s;
    case Kind::noEmailSelected:
        return u"No email window found. Open an email in your mail client and try again."_s;
    case Kind::failedToGetLink:
        return u"Could not get shareable link. Copy the email's link (http or https) and try again."_s;
    case Kind::invalidEndpoint:
        return u"Invalid n8n endpoint URL."_s;
    case Kind::invalidResponse:
        return u"Invalid response from n8n webhook."_s;
    case Kind::timeout:
        return u"Request timed out. n8n may be slow or unreachable."_s;
    case Kind::httpError:
        return m_message.isEmpty()
                   ? u"n8n webhook error (HTTP "_s + QString::number(m_statusCode) + u")"_s
                   : u"n8n webhook error (HTTP "_s + QString::number(m_statusCode) + u"): "_s + m_message;
    case Kind::rejected:
        return m_message.isEmpty() ? u"n8n could not process the email."_s
                                   : u"n8n could not process the email: "_s + m_message;
    case Kind::certificateRejected:
        return u"The n8n server's certificate was not accepted: "_s + m_message;
    case Kind::invalidSharedKey:
        return u"The n8n shared key holds a line break or another control character. Enter it again in Settings."_s;
    case Kind::alreadyForwarding:
        return u"An email is being forwarded already."_s;
    case Kind::certificateChanged:
        return u"The n8n server's certificate differs from the one trusted before: "_s + m_message;
    case Kind::unreachable:
        return u"Could not reach n8n at "_s + m_server + u": "_s + m_message;
    }
    return QString();
}
