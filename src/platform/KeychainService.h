#pragma once

#include "platform/KeychainServiceProtocol.h"

#include <QObject>

// The secrets in the desktop's Secret Service (through QtKeychain; no plain-text fallback): one item
// per name, its service attribute "com.brisvane.Pendlow" and its key the item name. Operations run
// on the GUI thread; the store queues them and runs them one at a time, in the order given.
// Every value read or written is registered with Log::registerSecret.
class KeychainService : public QObject, public KeychainServiceProtocol {
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

private:
    const QString m_serviceName;
};
