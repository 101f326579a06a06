#pragma once

#include "core/Error.h"

#include <QString>

// A plan file that cannot be read, decoded or written. The file is left as it was.
class PlanFileError : public Error {
public:
    enum class Kind { unreadable, undecodable, unwritable };

    PlanFileError(Kind kind, QString path, QString detail);

    Kind kind() const { return m_kind; }
    const QString& path() const { return m_path; }
    const QString& detail() const { return m_detail; }

    // "The day plan <file> cannot be read: <detail>" (or "... is damaged: ...", "... cannot be saved: ...").
    QString description() const override;

private:
    Kind m_kind;
    QString m_path;
    QString m_detail;
};
