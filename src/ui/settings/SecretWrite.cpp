#include "ui/settings/SecretWrite.h"

#include "core/Error.h"
#include "core/Log.h"
#include "platform/SecretStore.h"

namespace {

std::optional<QString> logged(const QString& action, const QString& key, std::exception_ptr error) {
    if (!error) {
        return std::nullopt;
    }
    const QString text = Error::describe(error);
    Log::error(action + QStringLiteral(" \"") + key + QStringLiteral("\" failed: ") + text,
               Log::Category::keychain);
    return text;
}

} // namespace

QCoro::Task<std::optional<QString>> SecretWrite::store(SecretStore& keychain, QString value, QString key) {
    std::exception_ptr failure;
    try {
        co_await keychain.setValue(value, key);
    } catch (...) {
        failure = std::current_exception();
    }
    co_return logged(QStringLiteral("Storing"), key, failure);
}

QCoro::Task<std::optional<QString>> SecretWrite::remove(SecretStore& keychain, QString key) {
    std::exception_ptr failure;
    try {
        co_await keychain.deleteValue(key);
    } catch (...) {
        failure = std::current_exception();
    }
    co_return logged(QStringLiteral("Removing"), key, failure);
}
