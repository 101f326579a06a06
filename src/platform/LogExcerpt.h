#pragma once

#include <QString>
#include <QStringList>

// Recent lines of Pendlow's own log, oldest first, and where they were read.
struct LogExcerpt {
    // Where the lines come from, for the reader: "systemd journal (SYSLOG_IDENTIFIER=pendlow)" or
    // "standard error: <file>".
    QString source;
    QStringList lines;
    // Why nothing could be read (no journal, standard error not a file, a read failure); empty
    // when the source was read, even if it held no lines.
    QString problem;
};
