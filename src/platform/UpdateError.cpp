#include "platform/UpdateError.h"

UpdateError::UpdateError(Kind kind, int statusCode, QString detail)
    : m_kind(kind)
    , m_statusCode(statusCode)
    , m_detail(std::move(detail)) {}

UpdateError UpdateError::networkError(const QString& detail) {
    return UpdateError(Kind::networkError, 0, detail);
}

UpdateError UpdateError::httpError(int statusCode) {
    return UpdateError(Kind::httpError, statusCode, {});
}

UpdateError UpdateError::timedOut() {
    return UpdateError(Kind::timedOut, 0, {});
}

UpdateError UpdateError::invalidFeed(const QString& detail) {
    return UpdateError(Kind::invalidFeed, 0, detail);
}

UpdateError UpdateError::feedTooLarge() {
    return UpdateError(Kind::feedTooLarge, 0, {});
}

QString UpdateError::description() const {
    switch (m_kind) {
    case Kind::networkError:
        return QStringLiteral("The update server could not be reached: %1").arg(m_detail);
    case Kind::httpError:
        return QStringLiteral("The update server answered with HTTP status %1.").arg(m_statusCode);
    case Kind::timedOut:
        return QStringLiteral("The update server did not answer in time.");
    case Kind::invalidFeed:
        return QStringLiteral("The update information could not be read: %1").arg(m_detail);
    case Kind::feedTooLarge:
        return QStringLiteral("The update information is larger than expected.");
    }
    return {};
}

QString UpdateError::recoverySuggestion() const {
    switch (m_kind) {
    case Kind::networkError:
    case Kind::timedOut:
        return QStringLiteral("Check your network connection and try again.");
    case Kind::httpError:
        return QStringLiteral("Please try again later.");
    case Kind::invalidFeed:
    case Kind::feedTooLarge:
        return {};
    }
    return {};
}
