#pragma once

#include "services/tools/ClientGroup.h"
#include "ui/menubar/TaskActions.h"

#include <QWidget>

class DisclosureHeader;
class SearchState;

// One client's tasks within a week: a header (chevron, folder, client name) and, while open, the
// tasks in the group's order (status order, as ClientGroup::fromTasks gives it). The group is open while the
// search text is not empty, whatever the user chose; otherwise as its expanded flag says.
class ClientGroupView : public QWidget {
    Q_OBJECT

public:
    ClientGroupView(const SearchState& search, const TaskActions& actions, const ClientGroup& clientGroup,
                    bool isExpanded, QWidget* parent = nullptr);

    const ClientGroup& clientGroup() const { return m_clientGroup; }
    bool isExpanded() const { return m_isExpanded; }
    bool isOpen() const;
    DisclosureHeader* header() const { return m_header; }

Q_SIGNALS:
    // The header was clicked: the expanded flag is to flip.
    void toggleRequested();

private:
    const SearchState& m_search;
    ClientGroup m_clientGroup;
    bool m_isExpanded;
    DisclosureHeader* m_header;
};
