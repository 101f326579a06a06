#include "ui/menubar/WeekPlanView.h"

#include "services/clickup/SearchState.h"
#include "services/tools/PlanningState.h"
#include "ui/kit/DisclosureHeader.h"
#include "ui/kit/RowStyle.h"
#include "ui/menubar/ClientGroupView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {
constexpr int clientIndent = 12;
}

WeekPlanView::WeekPlanView(PlanningState& planning, const SearchState& search, const TaskActions& actions,
                           const WeekPlan& weekPlan, const QSet<QString>& collapsedClients, QWidget* parent)
    : QWidget(parent)
    , m_planning(planning)
    , m_search(search)
    , m_weekPlan(weekPlan)
    , m_header(new DisclosureHeader(9, this)) {
    setObjectName(QStringLiteral("weekPlanView"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 2);
    layout->setSpacing(2);

    const bool unscheduled = weekPlan.weekNumber == WeekPlan::unscheduled;
    m_header->setExpanded(isOpen());
    m_header->addGlyph(unscheduled ? RowStyle::unscheduledGlyph : RowStyle::weekGlyph, 11,
                       unscheduled ? RowStyle::orange(palette()) : RowStyle::blue(palette()));
    m_header->addText(weekPlan.title(), RowStyle::font(11, QFont::Medium))
        ->setObjectName(QStringLiteral("weekTitle"));
    m_header
        ->addText(QStringLiteral("(%1)").arg(weekPlan.tasks.size()), RowStyle::font(10),
                  RowStyle::secondaryColor(palette()))
        ->setObjectName(QStringLiteral("taskCount"));
    m_header->row()->addStretch(1);
    connect(m_header, &DisclosureHeader::clicked, this, &WeekPlanView::toggle);
    layout->addWidget(m_header);

    if (isOpen()) {
        for (const ClientGroup& group : ClientGroup::fromTasks(weekPlan.tasks)) {
            auto* view = new ClientGroupView(search, actions, group,
                                             !collapsedClients.contains(group.clientName), this);
            connect(view, &ClientGroupView::toggleRequested, this,
                    [this, name = group.clientName] { emit clientToggleRequested(name); });
            auto* indented = new QHBoxLayout;
            indented->setContentsMargins(clientIndent, 0, 0, 0);
            indented->addWidget(view);
            layout->addLayout(indented);
            m_shownClients.append(group.clientName);
        }
    }
}

bool WeekPlanView::isOpen() const {
    return !m_search.searchText().isEmpty() || m_planning.expandedWeeks().contains(m_weekPlan.weekNumber);
}

void WeekPlanView::toggle() {
    QSet<int> weeks = m_planning.expandedWeeks();
    if (isOpen()) {
        weeks.remove(m_weekPlan.weekNumber);
    } else {
        weeks.insert(m_weekPlan.weekNumber);
    }
    m_planning.setExpandedWeeks(weeks);
}
