#pragma once

#include "platform/KeychainService.h"

#include <QHash>

// The application's secret store with a scripted Secret Service underneath: every read the store
// passes on is counted and answered with `answer` (the value from `values` when found). Writes and
// deletes still go to the session's Secret Service, under a service name of the test's own.
class FakeSecretStore : public KeychainService {
    Q_OBJECT

public:
    using Outcome = StoreRead::Outcome;

    explicit FakeSecretStore(QObject* parent = nullptr);

    Outcome answer = Outcome::found;
    QHash<QString, QString> values;
    int reads() const { return m_reads; }

protected:
    QCoro::Task<StoreRead> readFromStore(QString key) override;

private:
    int m_reads = 0;
};
