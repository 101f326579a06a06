#pragma once

#include <QCoro/QCoroTask>
#include <QString>

#include <optional>

class SecretStore;

// A settings page's write of one keychain item. Never throws: the failure comes back as its text, for
// the page's result line, and is logged. The keychain must outlive the write.
class SecretWrite {
public:
    // Stores `value` under `key`.
    static QCoro::Task<std::optional<QString>> store(SecretStore& keychain, QString value, QString key);
    // Removes the item `key`; a missing item is not a failure.
    static QCoro::Task<std::optional<QString>> remove(SecretStore& keychain, QString key);
};
