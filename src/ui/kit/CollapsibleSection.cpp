#include "ui/kit/CollapsibleSection.h"

#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/SectionLayout.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {
constexpr int messageIndent = 16;
}

CollapsibleSection::CollapsibleSection(const QString& name,
                                       const std::function<void(DisclosureHeader&)>& addTitle,
                                       QWidget* parent)
    : QWidget(parent)
    , m_header(new DisclosureHeader(10, this))
    , m_trailingSlot(new QHBoxLayout)
    , m_body(new QVBoxLayout) {
    setObjectName(name + QStringLiteral("Section"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);

    m_header->setObjectName(name + QStringLiteral("Header"));
    addTitle(*m_header);
    m_header->row()->addStretch(1);
    m_trailingSlot->setContentsMargins(0, 0, 0, 0);
    m_header->row()->addLayout(m_trailingSlot);
    connect(m_header, &DisclosureHeader::clicked, this, [this] { setExpanded(!m_isExpanded); });
    layout->addWidget(m_header);

    m_body->setContentsMargins(0, 0, 0, 0);
    m_body->setSpacing(4);
    layout->addLayout(m_body);
}

void CollapsibleSection::setExpanded(bool expanded) {
    if (m_isExpanded != expanded) {
        m_isExpanded = expanded;
        redraw();
        emit isExpandedChanged();
    }
}

void CollapsibleSection::clearForRedraw(bool expanded) {
    m_header->setExpanded(expanded);
    SectionLayout::clear(m_trailingSlot);
    SectionLayout::clear(m_body);
}

void CollapsibleSection::addMessage(SectionMessage::Kind kind, const QString& text) {
    m_body->addWidget(new SectionMessage(kind, text, messageIndent, this));
}
