#include "platform/LaunchAtLoginError.h"

LaunchAtLoginError::LaunchAtLoginError(QString path, QString reason)
    : m_path(std::move(path))
    , m_reason(std::move(reason)) {}

QString LaunchAtLoginError::description() const {
    return QStringLiteral("Could not change %1: %2").arg(m_path, m_reason);
}
