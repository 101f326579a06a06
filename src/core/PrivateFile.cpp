#include "core/PrivateFile.h"

#include "core/PrivateFileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Makes a rename in the folder durable (QSaveFile syncs the file, not the folder entry).
void syncFolder(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Where a write to the path lands: the path itself, or the target of a link at the path when that
// target lies in the path's own folder.
QString writeTarget(const QString& path) {
    const QFileInfo info(path);
    if (!info.isSymLink()) {
        return path;
    }
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    const QFileInfo target(info.symLinkTarget());
    const QString targetFolder = QFileInfo(target.absolutePath()).canonicalFilePath();
    if (folder.isEmpty() || targetFolder != folder || target.isSymLink()) {
        throw PrivateFileError(PrivateFileError::Kind::outsideFolder,
                               QStringLiteral("it is a link that leads out of its folder"));
    }
    return target.absoluteFilePath();
}
} // namespace

QByteArray PrivateFile::read(const QString& path, qint64 maximumBytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        throw PrivateFileError(PrivateFileError::Kind::unreadable, systemReason(errno));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        throw PrivateFileError(PrivateFileError::Kind::unreadable, systemReason(error));
    }
    if (!S_ISREG(status.st_mode)) {
        ::close(fd);
        throw PrivateFileError(PrivateFileError::Kind::notRegular,
                               QStringLiteral("it is not a regular file"));
    }
    if (status.st_size > maximumBytes) {
        ::close(fd);
        throw PrivateFileError(PrivateFileError::Kind::tooLarge,
                               QStringLiteral("it holds %1 bytes, more than the %2 it may hold")
                                   .arg(qint64(status.st_size))
                                   .arg(maximumBytes));
    }
    // A buffer of the measured size (one more byte tells a file that grew since), read on up to the
    // limit when it did.
    QByteArray bytes;
    bytes.resize(qsizetype(status.st_size) + 1);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maximumBytes) {
                break;
            }
            bytes.resize(qsizetype(std::min<qint64>(maximumBytes + 1, qint64(bytes.size()) * 2 + 4096)));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            ::close(fd);
            throw PrivateFileError(PrivateFileError::Kind::unreadable, systemReason(error));
        }
        if (got == 0) {
            break;
        }
        filled += got;
    }
    ::close(fd);
    if (filled > maximumBytes) {
        throw PrivateFileError(
            PrivateFileError::Kind::tooLarge,
            QStringLiteral("it holds more than the %1 bytes it may hold").arg(maximumBytes));
    }
    bytes.truncate(filled);
    return bytes;
}

void PrivateFile::write(const QString& path, const QByteArray& bytes) {
    const QString target = writeTarget(path);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) {
        throw PrivateFileError(PrivateFileError::Kind::unwritable, file.errorString());
    }
    // The temporary file, which becomes the file: the user's alone, whatever the umask.
    if (::fchmod(file.handle(), S_IRUSR | S_IWUSR) != 0) {
        const int error = errno;
        file.cancelWriting();
        throw PrivateFileError(PrivateFileError::Kind::unwritable, systemReason(error));
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw PrivateFileError(PrivateFileError::Kind::unwritable, reason);
    }
    syncFolder(QFileInfo(target).absolutePath());
}

bool PrivateFile::ensureFolder(const QString& path) {
    if (path.isEmpty()) {
        return false;
    }
    // The folders this call creates, outermost first, so that each is tightened as it comes.
    QStringList missing;
    QString walk = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    while (!QFileInfo(walk).exists()) {
        missing.prepend(walk);
        const QString parent = QFileInfo(walk).absolutePath();
        if (parent == walk) {
            break;
        }
        walk = parent;
    }
    for (const QString& folder : missing) {
        const QByteArray name = QFile::encodeName(folder);
        if (::mkdir(name.constData(), S_IRWXU) != 0 && errno != EEXIST) {
            return false;
        }
        ::chmod(name.constData(), S_IRWXU);
    }
    const QFileInfo leaf(path);
    if (!leaf.isDir()) {
        return false;
    }
    struct stat status {};
    const QByteArray name = QFile::encodeName(path);
    if (::stat(name.constData(), &status) == 0 && status.st_uid == ::geteuid() &&
        (status.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        ::chmod(name.constData(), S_IRWXU);
    }
    return true;
}
