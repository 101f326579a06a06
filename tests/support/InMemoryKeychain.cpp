#include "InMemoryKeychain.h"

#include "support/TestData.h"

#include "platform/KeychainError.h"

#include <utility>

QCoro::Task<std::optional<QString>> InMemoryKeychain::getValue(QString key) {
    ++m_getCount;
    if (m_unreadable) {
        co_return std::nullopt;
    }
    // Trimmed as the real store trims what it reads.
    const std::optional<QString> stored = item(key);
    co_return stored ? std::optional<QString>(stored->trimmed()) : std::nullopt;
}

QCoro::Task<> InMemoryKeychain::setValue(QString value, QString key) {
    ++m_setCount;
    if (const auto status = std::exchange(m_failNextSet, std::nullopt)) {
        throw KeychainError::saveFailed(*status);
    }
    m_items.insert(key, value);
    co_return;
}

QCoro::Task<> InMemoryKeychain::deleteValue(QString key) {
    ++m_deleteCount;
    if (const auto status = std::exchange(m_failNextDelete, std::nullopt)) {
        throw KeychainError::deleteFailed(*status);
    }
    m_items.remove(key);
    co_return;
}

void InMemoryKeychain::putItem(const QString& key, const QString& value) {
    m_items.insert(onHeap(key), onHeap(value));
}

std::optional<QString> InMemoryKeychain::item(const QString& key) const {
    const auto found = m_items.constFind(key);
    if (found == m_items.cend()) {
        return std::nullopt;
    }
    return *found;
}
