#pragma once

#include "core/Error.h"

#include <QString>

// Starting at login could not be switched: the autostart entry could not be written or removed.
class LaunchAtLoginError : public Error {
public:
    // path: the autostart entry; reason: what went wrong, as the system said it.
    LaunchAtLoginError(QString path, QString reason);

    const QString& path() const { return m_path; }
    const QString& reason() const { return m_reason; }

    // "Could not change <path>: <reason>"
    QString description() const override;

private:
    QString m_path;
    QString m_reason;
};
