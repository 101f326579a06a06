#include "FakeSecretStore.h"

#include <QCoreApplication>

FakeSecretStore::FakeSecretStore(QObject* parent)
    : KeychainService(QStringLiteral("com.brisvane.Pendlow.fake-%1").arg(QCoreApplication::applicationPid()),
                      parent) {}

QCoro::Task<KeychainService::StoreRead> FakeSecretStore::readFromStore(QString key) {
    ++m_reads;
    StoreRead read;
    read.outcome = answer;
    if (answer == Outcome::found) {
        if (!values.contains(key)) {
            read.outcome = Outcome::missing;
        }
        read.value = values.value(key);
    }
    read.status = QStringLiteral("scripted");
    co_return read;
}
