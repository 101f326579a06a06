#include "core/DecodingError.h"

DecodingError::DecodingError(Kind kind, QString codingPath, QString detail)
    : m_kind(kind)
    , m_codingPath(std::move(codingPath))
    , m_detail(std::move(detail)) {}

QString DecodingError::description() const {
    if (m_codingPath.isEmpty()) {
        return m_detail;
    }
    return QStringLiteral("%1 (at %2)").arg(m_detail, m_codingPath);
}

bool DecodingError::operator==(const DecodingError& other) const {
    return m_kind == other.m_kind && m_codingPath == other.m_codingPath && m_detail == other.m_detail;
}
