#include "services/dayplan/PlanFileError.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

PlanFileError::PlanFileError(Kind kind, QString path, QString detail)
    : m_kind(kind)
    , m_path(std::move(path))
    , m_detail(std::move(detail)) {}

QString PlanFileError::description() const {
    const QString name = QFileInfo(m_path).fileName();
    switch (m_kind) {
    case Kind::unreadable:
        return u"The day plan "_s + name + u" cannot be read: "_s + m_detail;
    case Kind::undecodable:
        return u"The day plan "_s + name + u" is damaged: "_s + m_detail;
    case Kind::unwritable:
        return u"The day plan "_s + name + u" cannot be saved: "_s + m_detail;
    }
    return m_detail;
}
