#pragma once

#include "services/tools/WeekPlan.h"
#include "ui/menubar/TaskActions.h"

#include <QSet>
#include <QStringList>
#include <QWidget>

class DisclosureHeader;
class PlanningState;
class SearchState;

// One week of the planning: a header (chevron, a tray for "Unscheduled" or a calendar, "Week N" or
// "Unscheduled", the number of tasks) and, while open, its tasks by client, clients in name order.
// A week is open while the search text is not empty or the planning state lists it among the
// expanded weeks; a click on the header adds it to them or takes it out.
class WeekPlanView : public QWidget {
    Q_OBJECT

public:
    // collapsedClients: the clients of this week the user has closed.
    WeekPlanView(PlanningState& planning, const SearchState& search, const TaskActions& actions,
                 const WeekPlan& weekPlan, const QSet<QString>& collapsedClients, QWidget* parent = nullptr);

    const WeekPlan& weekPlan() const { return m_weekPlan; }
    bool isOpen() const;
    // The clients whose groups the week shows, in their order; none while it is closed.
    const QStringList& shownClients() const { return m_shownClients; }
    DisclosureHeader* header() const { return m_header; }

Q_SIGNALS:
    // A client's header was clicked.
    void clientToggleRequested(const QString& clientName);

private:
    void toggle();

    PlanningState& m_planning;
    const SearchState& m_search;
    WeekPlan m_weekPlan;
    DisclosureHeader* m_header;
    QStringList m_shownClients;
};
