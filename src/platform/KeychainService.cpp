#include "platform/KeychainService.h"

#include "core/Log.h"
#include "platform/KeychainError.h"

#include <QCoroSignal>
#include <QStringDecoder>
#include <QStringEncoder>
#include <qt6keychain/keychain.h>

#include <memory>

namespace {
struct DeleteLater {
    void operator()(QObject* object) const { object->deleteLater(); }
};

template <typename Job>
using JobPointer = std::unique_ptr<Job, DeleteLater>;

template <typename Job>
JobPointer<Job> makeJob(const QString& service, const QString& key) {
    JobPointer<Job> job(new Job(service));
    // The job is read after it finished, from a queued resumption: it must outlive that.
    job->setAutoDelete(false);
    job->setInsecureFallback(false);
    job->setKey(key);
    return job;
}

// Starts the job and waits for it to finish.
QCoro::Task<> run(QKeychain::Job* job) {
    auto finished = qCoro(job, &QKeychain::Job::finished); // listens from here on
    job->start();
    co_await std::move(finished);
}

QString statusText(const QKeychain::Job& job) {
    return QStringLiteral("%1 (%2)").arg(QString::number(int(job.error())), job.errorString());
}

void debug(const QString& message) {
    Log::debug(message, Log::Category::keychain);
}
} // namespace

KeychainService::KeychainService(const QString& serviceName, QObject* parent)
    : QObject(parent)
    , m_serviceName(serviceName) {}

KeychainService& KeychainService::shared() {
    static KeychainService* const instance = new KeychainService();
    return *instance;
}

QString KeychainService::serviceName() const {
    return m_serviceName;
}

QCoro::Task<std::optional<QString>> KeychainService::getValue(QString key) {
    const auto job = makeJob<QKeychain::ReadPasswordJob>(m_serviceName, key);
    co_await run(job.get());
    if (job->error() != QKeychain::NoError) {
        debug(QStringLiteral("getValue failed for key '%1': %2").arg(key, statusText(*job)));
        co_return std::nullopt;
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString value = decoder(job->binaryData());
    if (decoder.hasError()) {
        debug(QStringLiteral("getValue failed for key '%1': 0 (not UTF-8)").arg(key));
        co_return std::nullopt;
    }
    Log::registerSecret(value);
    debug(QStringLiteral("getValue succeeded for key '%1'").arg(key));
    co_return value;
}

QCoro::Task<> KeychainService::setValue(QString value, QString key) {
    Log::registerSecret(value);
    // Text that is no valid Unicode (a lone surrogate) has no UTF-8 form, and the Secret Service
    // keeps text up to its first NUL: refuse both rather than store something else.
    QStringEncoder encoder(QStringEncoder::Utf8);
    const QByteArray encoded = encoder(value); // converting runs the encoder
    if (encoder.hasError() || encoded.contains('\0')) {
        throw KeychainError::encodingFailed();
    }
    // One write that replaces an item with the same attributes in place. Deleting first would lose
    // the old value whenever the write then fails.
    const auto job = makeJob<QKeychain::WritePasswordJob>(m_serviceName, key);
    job->setTextData(value);
    co_await run(job.get());
    if (job->error() != QKeychain::NoError) {
        const int status = int(job->error());
        Log::error(QStringLiteral("setValue failed for key '%1': %2").arg(key, statusText(*job)),
                   Log::Category::keychain);
        throw KeychainError::saveFailed(status);
    }
    debug(QStringLiteral("setValue succeeded for key '%1'").arg(key));
}

QCoro::Task<> KeychainService::deleteValue(QString key) {
    const auto job = makeJob<QKeychain::DeletePasswordJob>(m_serviceName, key);
    co_await run(job.get());
    const QKeychain::Error status = job->error();
    if (status != QKeychain::NoError && status != QKeychain::EntryNotFound) {
        throw KeychainError::deleteFailed(int(status));
    }
}
