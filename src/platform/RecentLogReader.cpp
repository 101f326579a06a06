#include "platform/RecentLogReader.h"

#include "core/SystemJournal.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cstring>
#include <memory>

#include <syslog.h>
#include <unistd.h>

#define SD_JOURNAL_SUPPRESS_LOCATION
#include <systemd/sd-journal.h>

namespace {

// A file larger than this is read from its last part only.
constexpr qint64 maximumTail = 4 * 1024 * 1024;

const QString journalSource = QStringLiteral("systemd journal (SYSLOG_IDENTIFIER=pendlow)");

QString field(sd_journal* journal, const char* name) {
    const void* data = nullptr;
    size_t length = 0;
    if (sd_journal_get_data(journal, name, &data, &length) < 0 || data == nullptr) {
        return {};
    }
    const QByteArray raw(static_cast<const char*>(data), qsizetype(length));
    const qsizetype equals = raw.indexOf('=');
    return equals < 0 ? QString() : QString::fromUtf8(raw.mid(equals + 1));
}

QString levelName(const QString& priority) {
    bool ok = false;
    const int value = priority.toInt(&ok);
    if (!ok) {
        return QStringLiteral("info");
    }
    if (value <= LOG_ERR) {
        return QStringLiteral("error");
    }
    if (value == LOG_WARNING || value == LOG_NOTICE) {
        return QStringLiteral("notice");
    }
    return value == LOG_DEBUG ? QStringLiteral("debug") : QStringLiteral("info");
}

struct JournalCloser {
    void operator()(sd_journal* journal) const { sd_journal_close(journal); }
};

} // namespace

LogExcerpt RecentLogReader::read(int maximumLines) {
    const QString file = standardErrorFile();
    if (SystemJournal::isAvailable()) {
        LogExcerpt journal = readJournal(maximumLines);
        if (!journal.lines.isEmpty() || !journal.problem.isEmpty()) {
            return journal;
        }
        // Nothing of ours that this user may read: the system journal is often closed to users
        // outside the systemd-journal group. Standard error may still hold the lines.
        if (!file.isEmpty()) {
            return readStandardErrorFile(file, maximumLines);
        }
        journal.problem =
            QStringLiteral("The journal holds no Pendlow entries that this user may read. Members "
                           "of the group systemd-journal can read them with: journalctl -t pendlow");
        return journal;
    }
    if (file.isEmpty()) {
        return LogExcerpt{
            QStringLiteral("standard error"),
            {},
            QStringLiteral("No systemd journal runs here, and Pendlow's standard error is not a "
                           "file (it goes to a terminal or a pipe), so its log cannot be shown. "
                           "Start Pendlow with its standard error sent to a file to keep it.")};
    }
    return readStandardErrorFile(file, maximumLines);
}

LogExcerpt RecentLogReader::readJournal(int maximumLines, const QString& directory) {
    LogExcerpt excerpt{journalSource, {}, {}};
    sd_journal* opened = nullptr;
    const int status = directory.isEmpty()
                           ? sd_journal_open(&opened, SD_JOURNAL_LOCAL_ONLY)
                           : sd_journal_open_directory(&opened, QFile::encodeName(directory).constData(), 0);
    if (status < 0 || opened == nullptr) {
        excerpt.problem =
            QStringLiteral("The journal cannot be opened: %1").arg(QString::fromLocal8Bit(strerror(-status)));
        return excerpt;
    }
    const std::unique_ptr<sd_journal, JournalCloser> journal(opened);
    const QByteArray identifier = QByteArrayLiteral("SYSLOG_IDENTIFIER=pendlow");
    const QByteArray user = "_UID=" + QByteArray::number(quint64(getuid()));
    sd_journal_add_match(journal.get(), identifier.constData(), 0);
    sd_journal_add_match(journal.get(), user.constData(), 0);
    if (sd_journal_seek_tail(journal.get()) < 0) {
        excerpt.problem = QStringLiteral("The journal cannot be read.");
        return excerpt;
    }
    QStringList newestFirst;
    while (newestFirst.size() < maximumLines && sd_journal_previous(journal.get()) > 0) {
        uint64_t usec = 0;
        QString time;
        if (sd_journal_get_realtime_usec(journal.get(), &usec) >= 0) {
            time = QDateTime::fromMSecsSinceEpoch(qint64(usec / 1000))
                       .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        }
        const QString message = field(journal.get(), "MESSAGE");
        const QString level = levelName(field(journal.get(), "PRIORITY"));
        newestFirst.append(time + u' ' + level + u' ' + message);
    }
    std::reverse(newestFirst.begin(), newestFirst.end());
    excerpt.lines = newestFirst;
    return excerpt;
}

LogExcerpt RecentLogReader::readStandardErrorFile(const QString& path, int maximumLines) {
    LogExcerpt excerpt{QStringLiteral("standard error: ") + path, {}, {}};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        excerpt.problem = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return excerpt;
    }
    const qint64 size = file.size();
    if (size > maximumTail) {
        file.seek(size - maximumTail);
        file.readLine(); // the first line read may be cut
    }
    const QStringList all = QString::fromUtf8(file.readAll()).split(u'\n');
    QStringList ours;
    for (const QString& line : all) {
        if (isPendlowLine(line)) {
            ours.append(line);
        }
    }
    if (ours.size() > maximumLines) {
        ours = ours.mid(ours.size() - maximumLines);
    }
    excerpt.lines = ours;
    return excerpt;
}

QString RecentLogReader::standardErrorFile() {
    const QFileInfo info(QStringLiteral("/proc/self/fd/2"));
    const QString target = info.symLinkTarget();
    if (target.isEmpty()) {
        return {};
    }
    const QFileInfo targetInfo(target);
    return targetInfo.isFile() ? target : QString();
}

bool RecentLogReader::isPendlowLine(const QString& line) {
    static const QRegularExpression logLine(QStringLiteral("^(debug|info|notice|error) \\[[A-Za-z]+\\] "));
    return logLine.match(line).hasMatch() || line.startsWith(QStringLiteral("📊 [AppUsageTracking] "));
}
