#pragma once

#include "services/clickup/TimeEntryGroup.h"
#include "ui/kit/CollapsibleSection.h"
#include "ui/menubar/TaskActions.h"

#include <optional>

class SearchState;
class WorklogState;

// Today's worked-on tasks: a collapsible block headed "Worked on (today)" with the number of
// matching entries, one row per task (grouped from the worklog, narrowed by the popover's filter
// text), or a loading, no-match or empty line, and below them the worklog's last error. It follows
// the worklog and search states as they change.
class WorklogSection : public CollapsibleSection {
    Q_OBJECT

public:
    // actions: what its rows ask for.
    WorklogSection(const WorklogState& worklog, const SearchState& search, TaskActions actions,
                   QWidget* parent = nullptr);

    // The groups of the entries matching the current filter text, in display order.
    QList<TimeEntryGroup> groupedEntries() const;

private:
    // Everything the section shows; it is redrawn only when this changes.
    struct Content {
        enum class Body { none, loading, rows, noMatch, empty };
        bool expanded = true;
        std::optional<int> count;
        Body body = Body::none;
        QList<TimeEntryGroup> groups;
        QString searchText;
        std::optional<QString> error;
        bool operator==(const Content&) const = default;
    };

    Content currentContent() const;
    void redraw() override;

    const WorklogState& m_worklog;
    const SearchState& m_search;
    TaskActions m_actions;
    std::optional<Content> m_shown;
};
