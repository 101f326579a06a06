#pragma once

#include "core/Error.h"

#include <QString>

// A private data file (see PrivateFile) that could not be read or written. The callers turn it into
// their own error, which names the file; detail() says what went wrong.
class PrivateFileError : public Error {
public:
    enum class Kind {
        // The file could not be opened, read or written.
        unreadable,
        // Something other than a regular file stands at the path (a FIFO, a device, a folder).
        notRegular,
        // The file is larger than the caller's limit.
        tooLarge,
        // The file could not be written (or its folder not created or flushed).
        unwritable,
        // The path is a link that leads out of the file's folder: it is not written through.
        outsideFolder
    };

    PrivateFileError(Kind kind, QString detail);

    Kind kind() const { return m_kind; }
    const QString& detail() const { return m_detail; }
    QString description() const override;

private:
    Kind m_kind;
    QString m_detail;
};
