#pragma once

#include "core/Error.h"

#include <QString>

// A usage day file or the usage folder could not be used. The description names the file and says
// what went wrong ("The usage file /…/2025-03-14.json cannot be read: No value for the required key
// "windowCaptures" (at sessions[0].windowCaptures)").
class UsageStorageError : public Error {
public:
    enum class Kind {
        // The folder could not be created or listed.
        folderUnavailable,
        // The file could not be opened or read.
        unreadable,
        // The file is larger than any day the application writes.
        tooLarge,
        // The content is not a usage day (not JSON, a missing key, a wrong type, a malformed value).
        undecodable,
        // The file could not be written, or a damaged file could not be moved aside.
        unwritable,
        // A file or the folder could not be removed.
        unremovable
    };

    UsageStorageError(Kind kind, QString path, QString detail);

    Kind kind() const { return m_kind; }
    const QString& path() const { return m_path; }
    const QString& detail() const { return m_detail; }
    QString description() const override;

private:
    Kind m_kind;
    QString m_path;
    QString m_detail;
};
