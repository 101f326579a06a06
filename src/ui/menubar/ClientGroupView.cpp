#include "ui/menubar/ClientGroupView.h"

#include "services/clickup/SearchState.h"
#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/RowStyle.h"
#include "ui/menubar/PlanningTaskRow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int taskIndent = 16;
}

ClientGroupView::ClientGroupView(const SearchState& search, const TaskActions& actions,
                                 const ClientGroup& clientGroup, bool isExpanded, QWidget* parent)
    : QWidget(parent)
    , m_search(search)
    , m_clientGroup(clientGroup)
    , m_isExpanded(isExpanded)
    , m_header(new DisclosureHeader(8, this)) {
    setObjectName(QStringLiteral("clientGroupView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    const QColor secondary = RowStyle::secondaryColor(palette());
    m_header->setExpanded(isOpen());
    m_header->addGlyph(RowStyle::clientGlyph, 10, secondary);
    m_header->addText(clientGroup.clientName, RowStyle::font(11), secondary)
        ->setObjectName(QStringLiteral("clientName"));
    m_header->row()->addStretch(1);
    connect(m_header, &DisclosureHeader::clicked, this, &ClientGroupView::toggleRequested);
    layout->addWidget(m_header);

    if (isOpen()) {
        for (const PlanningTask& task : clientGroup.tasks) {
            auto* row = new PlanningTaskRow(actions, task, this);
            auto* indented = new QHBoxLayout;
            indented->setContentsMargins(taskIndent, 0, 0, 0);
            indented->addWidget(row);
            layout->addLayout(indented);
        }
    }
}

bool ClientGroupView::isOpen() const {
    return !m_search.searchText().isEmpty() || m_isExpanded;
}
