#pragma once

#include <QByteArray>
#include <QString>

// The application's own data files (usage days, day plans) hold window titles, addresses and plans:
// they are written for the user alone (0600, in 0700 folders), and whatever stands at their path is
// read only when it is a regular file within a size limit, opened without blocking (a FIFO or a
// device in a file's place must not stall the GUI thread). Failures throw PrivateFileError.
class PrivateFile {
public:
    // The file's bytes. Throws notRegular, tooLarge (more than maximumBytes) or unreadable (a missing
    // file included: callers that expect it may be missing check first).
    static QByteArray read(const QString& path, qint64 maximumBytes);

    // Replaces the file with the bytes: written aside (0600), flushed, renamed into place, the folder
    // flushed. A link at the path is written through only when its target lies in the same folder;
    // otherwise outsideFolder. Throws unwritable with the system's reason.
    static void write(const QString& path, const QByteArray& bytes);

    // Creates the folder (and missing parents) for the user alone (0700) and tightens an existing
    // one of the user's to 0700. False when it cannot be created.
    static bool ensureFolder(const QString& path);
};
