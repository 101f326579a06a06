#include "core/PrivateFileError.h"

PrivateFileError::PrivateFileError(Kind kind, QString detail)
    : m_kind(kind)
    , m_detail(std::move(detail)) {}

QString PrivateFileError::description() const {
    return m_detail;
}
