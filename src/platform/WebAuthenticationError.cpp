#include "platform/WebAuthenticationError.h"

WebAuthenticationError::WebAuthenticationError(Kind kind, QString reason)
    : m_kind(kind)
    , m_reason(std::move(reason)) {}

WebAuthenticationError WebAuthenticationError::cancelled() {
    return WebAuthenticationError(Kind::cancelled, {});
}

WebAuthenticationError WebAuthenticationError::startFailed(const QString& reason) {
    return WebAuthenticationError(Kind::startFailed, reason);
}

WebAuthenticationError WebAuthenticationError::failed(const QString& reason) {
    return WebAuthenticationError(Kind::failed, reason);
}

QString WebAuthenticationError::description() const {
    switch (m_kind) {
    case Kind::cancelled:
        return QStringLiteral("The sign-in window was closed");
    case Kind::startFailed:
        return QStringLiteral("Could not open the sign-in window: %1").arg(m_reason);
    case Kind::failed:
        return QStringLiteral("The sign-in window ended unexpectedly: %1").arg(m_reason);
    }
    return {};
}
