#pragma once

#include "platform/SecretStore.h"

#include <QHash>
#include <QObject>

#include <optional>

// The secrets in the desktop's Secret Service (through QtKeychain; no plain-text fallback): one item
// per name, its service attribute "com.brisvane.Pendlow" and its key the item name. Operations run
// on the GUI thread; the store queues them and runs them one at a time, in the order given.
// Every value read or written is registered with Log::registerSecret.
//
// A value found is held in memory and answered from there until this store writes or deletes it,
// so a refresh costs no D-Bus round trip; surrounding whitespace is trimmed from what is read. An
// absent item is not held: it is looked up again at every read, so one stored meanwhile by another
// program is found. When the user cancels the prompt to unlock the store (libsecret then answers
// "not found" while the Secret Service still lists the item as locked), or there is no Secret
// Service, reads give none without asking again until allowUnlockPrompt(). An item that does not
// exist in a locked keyring is missing, not locked.
class KeychainService : public QObject, public SecretStore {
    Q_OBJECT

public:
    static inline const QString defaultServiceName = QStringLiteral("com.brisvane.Pendlow");

    // Tests give a service name of their own, so their items never meet the application's.
    explicit KeychainService(const QString& serviceName = defaultServiceName, QObject* parent = nullptr);

    // The process-wide store over defaultServiceName, created on first use, never destroyed.
    static KeychainService& shared();

    QString serviceName() const;

    QCoro::Task<std::optional<QString>> getValue(QString key) override;
    QCoro::Task<> setValue(QString value, QString key) override;
    QCoro::Task<> deleteValue(QString key) override;

    Access access() const override { return m_access; }
    void allowUnlockPrompt() override { m_promptAllowed = true; }

protected:
    // What the Secret Service answered to one read.
    struct StoreRead {
        enum class Outcome { found, missing, cancelled, unavailable, failed };
        Outcome outcome = Outcome::failed;
        QString value;  // found only
        QString status; // the store's error, for the log
    };

    // One read from the Secret Service; tests put a fake store in its place.
    virtual QCoro::Task<StoreRead> readFromStore(QString key);
    // Whether the Secret Service holds the item, locked.
    QCoro::Task<bool> isLocked(QString key);

private:
    const QString m_serviceName;
    QHash<QString, std::optional<QString>> m_cache;
    Access m_access = Access::available;
    bool m_promptAllowed = true;
};
