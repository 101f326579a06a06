#pragma once

#include "platform/LogExcerpt.h"

#include <QString>

// Reads back what Log wrote: the entries of this user's Pendlow in the systemd journal
// (SYSLOG_IDENTIFIER=pendlow) where a journal runs, otherwise the lines Pendlow wrote to standard error
// when that is a file (a session log such as ~/.xsession-errors, or a redirect). A standard error that
// is a terminal or a pipe cannot be read back; the excerpt then says where the log went.
class RecentLogReader {
public:
    static constexpr int defaultMaximumLines = 500;

    // The journal when one runs on this machine and holds entries of ours that this user may read,
    // else standard error.
    static LogExcerpt read(int maximumLines = defaultMaximumLines);

    // The last entries of the journal for this user's Pendlow, each as
    // "yyyy-MM-dd HH:mm:ss <level> [Category] message" in local time. directory: a journal folder to
    // read instead of the system's (empty: the system's).
    static LogExcerpt readJournal(int maximumLines, const QString& directory = {});

    // The last lines of the file that Pendlow's log lines went to that look like Log's lines
    // ("<level> [Category] ...", and the usage tracker's console lines); other programs' lines in a
    // shared session log are left out.
    static LogExcerpt readStandardErrorFile(const QString& path, int maximumLines);
    // The file standard error is written to, or empty when it is no regular file.
    static QString standardErrorFile();
    // Whether a line is one of Log's (or the usage console's).
    static bool isPendlowLine(const QString& line);
};
