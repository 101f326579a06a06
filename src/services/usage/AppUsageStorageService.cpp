#include "services/usage/AppUsageStorageService.h"

#include "core/AppPaths.h"
#include "core/Clock.h"
#include "core/DecodingError.h"
#include "core/Log.h"
#include "core/PrivateFile.h"
#include "core/PrivateFileError.h"
#include "services/usage/UsageDay.h"
#include "services/usage/UsageDayFile.h"
#include "services/usage/UsageStorageError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QObject>
#include <QPointer>
#include <QThreadPool>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>

namespace {
bool isDayFileName(const QString& name, QDate& day) {
    if (name.size() != 15 || !name.endsWith(QLatin1String(".json"))) {
        return false;
    }
    const std::optional<QDate> parsed = usageday::fromKey(QStringView(name).left(10));
    if (!parsed) {
        return false;
    }
    day = *parsed;
    return true;
}

// Makes a rename in the folder durable.
void syncDirectory(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Replaces the file with the bytes (0600, written aside, flushed, renamed into place, the folder
// flushed); never through a link that leads out of the folder.
void writeDayFile(const QString& path, const QByteArray& bytes) {
    try {
        PrivateFile::write(path, bytes);
    } catch (const PrivateFileError& error) {
        throw UsageStorageError(UsageStorageError::Kind::unwritable, path, error.detail());
    }
}
} // namespace

AppUsageStorageService::AppUsageStorageService(QString usageDirectory)
    : m_directory(usageDirectory.isEmpty() ? AppPaths::dataRoot() + QStringLiteral("/usage")
                                           : std::move(usageDirectory))
    , m_writeEnds(std::make_unique<QObject>())
    , m_writer(std::make_unique<QThreadPool>()) {
    // One thread: the writes keep the order they were asked in.
    m_writer->setMaxThreadCount(1);
}

AppUsageStorageService::~AppUsageStorageService() {
    waitForWrites();
}

void AppUsageStorageService::waitForWrites() const {
    m_writer->waitForDone();
}

void AppUsageStorageService::ensureDirectoryExists() const {
    // The folder holds window titles and addresses: the user's alone (0700).
    if (!PrivateFile::ensureFolder(m_directory)) {
        throw UsageStorageError(UsageStorageError::Kind::folderUnavailable, m_directory,
                                QStringLiteral("the folder cannot be created"));
    }
}

QString AppUsageStorageService::filePath(QDate day) const {
    return m_directory + QLatin1Char('/') + usageday::key(day) + QStringLiteral(".json");
}

QList<AppUsageSession> AppUsageStorageService::read(const QString& path) const {
    // Opened without blocking and only when a regular file: a FIFO or a device in a day's place must
    // not stall the GUI thread.
    QByteArray bytes;
    try {
        bytes = PrivateFile::read(path, maximumFileSize);
    } catch (const PrivateFileError& error) {
        const auto kind = error.kind() == PrivateFileError::Kind::tooLarge
                              ? UsageStorageError::Kind::tooLarge
                              : UsageStorageError::Kind::unreadable;
        throw UsageStorageError(kind, path, error.detail());
    }
    try {
        return UsageDayFile::fromJson(bytes).sessions;
    } catch (const DecodingError& error) {
        throw UsageStorageError(UsageStorageError::Kind::undecodable, path, error.description());
    }
}

QList<AppUsageSession> AppUsageStorageService::load(QDate day) {
    waitForWrites();
    const QString path = filePath(day);
    if (!QFileInfo::exists(path)) {
        m_unreadable.remove(day);
        return {};
    }
    try {
        QList<AppUsageSession> sessions = read(path);
        m_readable.insert(day);
        m_unreadable.remove(day);
        return sessions;
    } catch (const UsageStorageError& error) {
        m_readable.remove(day);
        m_unreadable.insert(day, error.detail());
        throw;
    }
}

void AppUsageStorageService::moveAside(const QString& path, const QString& reason) {
    const QString aside = path + QStringLiteral(".corrupt-") + QString::number(Clock::nowMSecs() / 1000);
    if (!QFile::rename(path, aside)) {
        throw UsageStorageError(UsageStorageError::Kind::unwritable, path,
                                QStringLiteral("the unreadable file cannot be moved aside to %1").arg(aside));
    }
    syncDirectory(m_directory);
    Log::warning(QStringLiteral("The usage file %1 could not be read (%2); it was kept as %3 and the day is "
                                "recorded anew")
                     .arg(path, reason, aside),
                 Log::Category::storage);
}

void AppUsageStorageService::prepareWrite(QDate day) {
    ensureDirectoryExists();
    const QString path = filePath(day);

    // Never write over a day that could not be read: keep its bytes beside it.
    if (!m_readable.contains(day) && QFileInfo::exists(path)) {
        QString reason = m_unreadable.value(day);
        if (reason.isEmpty()) {
            try {
                read(path);
            } catch (const UsageStorageError& error) {
                reason = error.detail();
            }
        }
        if (!reason.isEmpty()) {
            moveAside(path, reason);
        }
    }
}

void AppUsageStorageService::save(const QList<AppUsageSession>& sessions, QDate day) {
    const UsageDayFile data{usageday::key(day), sessions};
    saveEncoded(data.toJson(), day);
}

void AppUsageStorageService::saveEncoded(const QByteArray& bytes, QDate day) {
    waitForWrites();
    prepareWrite(day);
    writeDayFile(filePath(day), bytes);
    m_readable.insert(day);
    m_unreadable.remove(day);
}

void AppUsageStorageService::saveInBackground(const QList<AppUsageSession>& sessions, QDate day,
                                              QObject* context, WriteDone done) {
    // Encoded here: the buffer then comes from this thread's heap and goes back to it (a buffer made
    // on the writer thread would leave its own heap arena a few megabytes larger for good).
    const UsageDayFile data{usageday::key(day), sessions};
    saveEncodedInBackground(data.toJson(), day, context, std::move(done));
}

void AppUsageStorageService::saveEncodedInBackground(QByteArray bytes, QDate day, QObject* context,
                                                     WriteDone done) {
    prepareWrite(day);
    // Whatever the write leaves, the day's file is readable: this one, or the one before it (ours, or
    // none after an unreadable one was moved aside).
    m_readable.insert(day);
    m_unreadable.remove(day);
    QObject* ends = m_writeEnds.get();
    m_writer->start([path = filePath(day), bytes = std::move(bytes), ends,
                     context = QPointer<QObject>(context), done = std::move(done)]() mutable {
        std::optional<UsageStorageError> failure;
        try {
            writeDayFile(path, bytes);
        } catch (const UsageStorageError& error) {
            failure = error;
        }
        // Back on the storage's thread; the storage waits for this thread before `ends` goes, and an
        // end still queued then is dropped with it.
        QMetaObject::invokeMethod(
            ends,
            [context = std::move(context), done = std::move(done), failure = std::move(failure)]() {
                if (context && done) {
                    done(failure);
                }
            },
            Qt::QueuedConnection);
    });
}

QList<QDate> AppUsageStorageService::datedFiles() const {
    const QDir directory(m_directory);
    if (!directory.exists()) {
        throw UsageStorageError(UsageStorageError::Kind::folderUnavailable, m_directory,
                                QStringLiteral("the folder does not exist"));
    }
    QList<QDate> days;
    const QStringList names = directory.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        QDate day;
        if (isDayFileName(name, day)) {
            days.append(day);
        }
    }
    return days;
}

QList<QDate> AppUsageStorageService::availableDates() const {
    waitForWrites();
    ensureDirectoryExists();
    QList<QDate> days = datedFiles();
    std::sort(days.begin(), days.end(), std::greater<>());
    return days;
}

void AppUsageStorageService::cleanup(int olderThanDays) {
    waitForWrites();
    ensureDirectoryExists();
    const int days = olderThanDays < 0 ? 30 : olderThanDays;
    const QDateTime now = Clock::now();
    const QDateTime cutoff = now.addDays(-days);
    const QDate today = usageday::of(now);
    for (const QDate day : datedFiles()) {
        if (day == today || !(usageday::start(day) < cutoff)) {
            continue;
        }
        const QString path = filePath(day);
        QFile file(path);
        if (!file.remove()) {
            throw UsageStorageError(UsageStorageError::Kind::unremovable, path, file.errorString());
        }
        m_readable.remove(day);
        m_unreadable.remove(day);
    }
}

void AppUsageStorageService::deleteAllData() {
    waitForWrites();
    QDir directory(m_directory);
    if (!directory.exists()) {
        return;
    }
    if (!directory.removeRecursively()) {
        throw UsageStorageError(UsageStorageError::Kind::unremovable, m_directory,
                                QStringLiteral("the folder or some of its files cannot be removed"));
    }
    m_readable.clear();
    m_unreadable.clear();
}

void AppUsageStorageService::deleteData(QDate day) {
    waitForWrites();
    const QString path = filePath(day);
    QFileInfo info(path);
    if (!info.exists() && !info.isSymLink()) {
        return;
    }
    QFile file(path);
    if (!file.remove()) {
        throw UsageStorageError(UsageStorageError::Kind::unremovable, path, file.errorString());
    }
    m_readable.remove(day);
    m_unreadable.remove(day);
}
