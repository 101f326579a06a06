#pragma once

#include "platform/SecretStore.h"

#include <QMap>

#include <optional>

// A secret store in memory for the unit tests of its consumers. It behaves like KeychainService:
// a missing item reads as none, deleting one succeeds, and a failed write or delete (armed with
// failNextSet/failNextDelete) throws KeychainError and leaves the stored value as it was.
class InMemoryKeychain : public SecretStore {
public:
    QCoro::Task<std::optional<QString>> getValue(QString key) override;
    QCoro::Task<> setValue(QString value, QString key) override;
    QCoro::Task<> deleteValue(QString key) override;

    // What is stored now, by item name.
    const QMap<QString, QString>& items() const { return m_items; }
    std::optional<QString> item(const QString& key) const;
    // Stores or removes an item directly, without going through the protocol. The value is kept as a
    // copy on the heap, so that what getValue gives is never a literal's static data.
    void putItem(const QString& key, const QString& value);
    void removeItem(const QString& key) { m_items.remove(key); }

    // The next setValue / deleteValue throws KeychainError::saveFailed / deleteFailed with the status.
    void failNextSet(int status = 7) { m_failNextSet = status; }
    void failNextDelete(int status = 7) { m_failNextDelete = status; }
    // While set, every getValue gives none, as an unreadable store does.
    void setUnreadable(bool unreadable) { m_unreadable = unreadable; }

    // Calls made so far, successful or not.
    int getCount() const { return m_getCount; }
    int setCount() const { return m_setCount; }
    int deleteCount() const { return m_deleteCount; }

private:
    QMap<QString, QString> m_items;
    std::optional<int> m_failNextSet;
    std::optional<int> m_failNextDelete;
    bool m_unreadable = false;
    int m_getCount = 0;
    int m_setCount = 0;
    int m_deleteCount = 0;
};
