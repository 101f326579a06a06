#include "services/usage/UsageStorageError.h"

UsageStorageError::UsageStorageError(Kind kind, QString path, QString detail)
    : m_kind(kind)
    , m_path(std::move(path))
    , m_detail(std::move(detail)) {}

QString UsageStorageError::description() const {
    QString action;
    switch (m_kind) {
    case Kind::folderUnavailable:
        return QStringLiteral("The usage folder %1 cannot be used: %2").arg(m_path, m_detail);
    case Kind::unreadable:
    case Kind::tooLarge:
    case Kind::undecodable:
        action = QStringLiteral("read");
        break;
    case Kind::unwritable:
        action = QStringLiteral("written");
        break;
    case Kind::unremovable:
        action = QStringLiteral("removed");
        break;
    }
    return QStringLiteral("The usage file %1 cannot be %2: %3").arg(m_path, action, m_detail);
}
