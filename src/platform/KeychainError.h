#pragma once

#include "core/Error.h"

#include <optional>

// A failure to write or delete a secret. The status is the secret store's error code
// (QKeychain::Error: 2 could not delete, 3 access denied by the user, 4 access denied,
// 5 no secret service available, 7 other).
class KeychainError : public Error {
public:
    enum class Kind { saveFailed, deleteFailed, encodingFailed };

    static KeychainError saveFailed(int status);
    static KeychainError deleteFailed(int status);
    static KeychainError encodingFailed();

    Kind kind() const { return m_kind; }
    // The store's status for saveFailed and deleteFailed; none for encodingFailed.
    std::optional<int> status() const { return m_status; }

    // "Failed to save to Keychain: <status>", "Failed to delete from Keychain: <status>",
    // "Failed to encode value for Keychain storage".
    QString description() const override;

private:
    KeychainError(Kind kind, std::optional<int> status);

    Kind m_kind;
    std::optional<int> m_status;
};
