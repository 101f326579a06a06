#pragma once

#include <QString>

// The systemd journal, written through libsystemd's native protocol.
class SystemJournal {
public:
    // Whether a journal listens on this machine (its socket exists); checked once.
    static bool isAvailable();
    // Whether standard error already goes to the journal (systemd names that stream in
    // JOURNAL_STREAM), so lines sent natively need not be written to it as well; checked once.
    static bool isStandardErrorJournal();
    // One entry: MESSAGE, PRIORITY (a syslog level, LOG_ERR ... LOG_DEBUG), SYSLOG_IDENTIFIER=pendlow
    // and PENDLOW_CATEGORY. Does nothing when no journal is available.
    static void send(int priority, const QString& category, const QString& message);
};
