#include "platform/KeychainService.h"

#include "core/Log.h"
#include "platform/KeychainError.h"

#include <QCoroDBus>
#include <QCoroSignal>
#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QPointer>
#include <QStringDecoder>
#include <QStringEncoder>
#include <qt6keychain/keychain.h>

#include <memory>

namespace {
const QString secretsService = QStringLiteral("org.freedesktop.secrets");
const QString secretsPath = QStringLiteral("/org/freedesktop/secrets");

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
    , m_serviceName(serviceName) {
    // The attributes isLocked() searches by go out as a{ss}; without this the call fails to marshal
    // and every missing item reads as not locked.
    qDBusRegisterMetaType<QMap<QString, QString>>();
}

KeychainService& KeychainService::shared() {
    static KeychainService* const instance = new KeychainService();
    return *instance;
}

QString KeychainService::serviceName() const {
    return m_serviceName;
}

QCoro::Task<bool> KeychainService::isLocked(QString key) {
    // gnome-keyring matches the attributes of locked items too, and lists them apart from the
    // unlocked ones. Whether the collection itself is locked says nothing of one item: an item that
    // does not exist in a locked keyring is missing, and no unlock would bring it.
    QDBusInterface service(secretsService, secretsPath, QStringLiteral("org.freedesktop.Secret.Service"),
                           QDBusConnection::sessionBus());
    const QMap<QString, QString> attributes{{QStringLiteral("user"), key},
                                            {QStringLiteral("server"), m_serviceName},
                                            {QStringLiteral("type"), QStringLiteral("plaintext")}};
    const QDBusMessage found =
        co_await service.asyncCall(QStringLiteral("SearchItems"), QVariant::fromValue(attributes));
    co_return found.type() == QDBusMessage::ReplyMessage&& found.arguments().size() == 2 &&
        !qdbus_cast<QList<QDBusObjectPath>>(found.arguments().at(1)).isEmpty();
}

QCoro::Task<KeychainService::StoreRead> KeychainService::readFromStore(QString key) {
    const auto job = makeJob<QKeychain::ReadPasswordJob>(m_serviceName, key);
    co_await run(job.get());
    StoreRead read;
    switch (job->error()) {
    case QKeychain::NoError: {
        QStringDecoder decoder(QStringDecoder::Utf8);
        read.value = decoder(job->binaryData());
        if (decoder.hasError()) {
            read.status = QStringLiteral("0 (not UTF-8)");
            co_return read;
        }
        read.outcome = StoreRead::Outcome::found;
        co_return read;
    }
    case QKeychain::EntryNotFound:
        // libsecret reports an unlock prompt the user cancelled as no item found (QtKeychain 0.13
        // with gnome-keyring 42: error 1, "Entry not found"); the item is then still locked.
        read.outcome = co_await isLocked(key) ? StoreRead::Outcome::cancelled : StoreRead::Outcome::missing;
        break;
    case QKeychain::AccessDeniedByUser:
        read.outcome = StoreRead::Outcome::cancelled;
        break;
    case QKeychain::NoBackendAvailable:
        read.outcome = StoreRead::Outcome::unavailable;
        break;
    default:
        break;
    }
    read.status = statusText(*job);
    co_return read;
}

QCoro::Task<std::optional<QString>> KeychainService::getValue(QString key) {
    if (const auto cached = m_cache.constFind(key); cached != m_cache.cend()) {
        co_return std::optional<QString>(*cached);
    }
    if (m_access != Access::available && !m_promptAllowed) {
        // The user said no to the unlock prompt (or there is no store): not asked again for now.
        co_return std::nullopt;
    }
    const QPointer<KeychainService> self(this);
    const StoreRead read = co_await readFromStore(key);
    if (!self) {
        co_return std::nullopt;
    }
    if (read.outcome != StoreRead::Outcome::found) {
        debug(QStringLiteral("getValue failed for key '%1': %2").arg(key, read.status));
    }
    switch (read.outcome) {
    case StoreRead::Outcome::found: {
        m_access = Access::available;
        m_promptAllowed = true;
        // A token pasted with a line break or blanks around it is meant without them.
        const QString value = read.value.trimmed();
        Log::registerSecret(value);
        m_cache.insert(key, value);
        debug(QStringLiteral("getValue succeeded for key '%1'").arg(key));
        co_return value;
    }
    case StoreRead::Outcome::missing:
        // Not held: an item stored later by another program (or a keyring restored) is found at the
        // next read.
        m_access = Access::available;
        m_promptAllowed = true;
        break;
    case StoreRead::Outcome::cancelled:
        m_access = Access::locked;
        m_promptAllowed = false;
        break;
    case StoreRead::Outcome::unavailable:
        m_access = Access::unavailable;
        m_promptAllowed = false;
        break;
    case StoreRead::Outcome::failed:
        break;
    }
    co_return std::nullopt;
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
    m_cache.insert(key, value.trimmed());
    // The write went through, so the store is unlocked now.
    m_access = Access::available;
    m_promptAllowed = true;
    debug(QStringLiteral("setValue succeeded for key '%1'").arg(key));
}

QCoro::Task<> KeychainService::deleteValue(QString key) {
    const auto job = makeJob<QKeychain::DeletePasswordJob>(m_serviceName, key);
    co_await run(job.get());
    const QKeychain::Error status = job->error();
    if (status != QKeychain::NoError && status != QKeychain::EntryNotFound) {
        m_cache.remove(key);
        throw KeychainError::deleteFailed(int(status));
    }
    m_cache.remove(key);
}
