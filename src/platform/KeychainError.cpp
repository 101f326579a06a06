#include "platform/KeychainError.h"

KeychainError::KeychainError(Kind kind, std::optional<int> status)
    : m_kind(kind)
    , m_status(status) {}

KeychainError KeychainError::saveFailed(int status) {
    return KeychainError(Kind::saveFailed, status);
}

KeychainError KeychainError::deleteFailed(int status) {
    return KeychainError(Kind::deleteFailed, status);
}

KeychainError KeychainError::encodingFailed() {
    return KeychainError(Kind::encodingFailed, std::nullopt);
}

QString KeychainError::description() const {
    switch (m_kind) {
    case Kind::saveFailed:
        return QStringLiteral("Failed to save to Keychain: %1").arg(m_status.value_or(0));
    case Kind::deleteFailed:
        return QStringLiteral("Failed to delete from Keychain: %1").arg(m_status.value_or(0));
    case Kind::encodingFailed:
        return QStringLiteral("Failed to encode value for Keychain storage");
    }
    return {};
}
