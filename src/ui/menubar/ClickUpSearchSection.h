#pragma once

#include "services/clickup/ClickUpSearchResult.h"
#include "ui/kit/CollapsibleSection.h"
#include "ui/menubar/TaskActions.h"

#include <optional>

class AvatarImageCache;
class SearchState;

// The results of the popover's ClickUp task search, as the search state holds them: a collapsible
// block headed "ClickUp Search" with a progress indicator while a search runs, else the number of
// results; below it a searching line, a no-results line or one row per result, and the search's
// error. It only shows the state; it never starts a search. Collapsing hides all but the header.
class ClickUpSearchSection : public CollapsibleSection {
    Q_OBJECT

public:
    // actions: what its rows ask for; pictures: the assignees' avatars.
    ClickUpSearchSection(const SearchState& search, AvatarImageCache& pictures, TaskActions actions,
                         QWidget* parent = nullptr);

private:
    struct Content {
        enum class Trailing { none, spinner, count };
        enum class Body { none, searching, noResults, rows };
        bool expanded = true;
        Trailing trailing = Trailing::none;
        int count = 0;
        Body body = Body::none;
        QString searchText;
        QList<ClickUpSearchResult> results;
        std::optional<QString> error;
        bool operator==(const Content&) const = default;
    };

    Content currentContent() const;
    void redraw() override;

    const SearchState& m_search;
    AvatarImageCache& m_pictures;
    TaskActions m_actions;
    std::optional<Content> m_shown;
};
