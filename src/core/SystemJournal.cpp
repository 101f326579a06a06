#include "core/SystemJournal.h"

#include <QFileInfo>

#include <sys/stat.h>

// Location fields would always name this file; leave them out.
#define SD_JOURNAL_SUPPRESS_LOCATION
#include <systemd/sd-journal.h>

bool SystemJournal::isAvailable() {
    static const bool available = QFileInfo::exists(QStringLiteral("/run/systemd/journal/socket"));
    return available;
}

bool SystemJournal::isStandardErrorJournal() {
    static const bool connected = [] {
        const QByteArray stream = qgetenv("JOURNAL_STREAM");
        struct stat status {};
        if (stream.isEmpty() || fstat(2, &status) != 0) {
            return false;
        }
        const QByteArray own =
            QByteArray::number(quint64(status.st_dev)) + ':' + QByteArray::number(quint64(status.st_ino));
        return stream == own;
    }();
    return connected;
}

void SystemJournal::send(int priority, const QString& category, const QString& message) {
    if (!isAvailable()) {
        return;
    }
    sd_journal_send("MESSAGE=%s", message.toUtf8().constData(), "PRIORITY=%i", priority,
                    "SYSLOG_IDENTIFIER=pendlow", "PENDLOW_CATEGORY=%s", category.toUtf8().constData(),
                    nullptr);
}
