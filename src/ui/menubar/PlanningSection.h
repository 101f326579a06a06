#pragma once

#include "services/tools/WeekPlan.h"
#include "ui/menubar/TaskActions.h"

#include <QPair>
#include <QPointer>
#include <QSet>
#include <QWidget>

#include <optional>

class AvatarImageCache;
class ClickUpSearchSection;
class PlanningState;
class QHBoxLayout;
class QVBoxLayout;
class SearchState;

// The planning tab's content: the header "Planning" (with a progress indicator while the first
// fetch runs), the week plans filtered by the popover's search text, one WeekPlanView per week,
// and, from three characters of search text on, the ClickUp search results below them. Without
// plans it shows why: the Tools server is not configured, there is no planning, or nothing matches
// the search. The planning state's error shows at the end. It follows the planning and search
// states as they change; its owner tells it whether the Tools server is configured
// (MenuBarView::bindPlanningSection).
class PlanningSection : public QWidget {
    Q_OBJECT

public:
    // The characters of search text from which the ClickUp search results show.
    static constexpr int searchSectionMinimumLength = 3;

    // actions: what its rows ask for; pictures: the avatars of the search results.
    PlanningSection(PlanningState& planning, const SearchState& search, AvatarImageCache& pictures,
                    TaskActions actions, QWidget* parent = nullptr);

    // Whether the Tools server is configured (the configuration as last loaded); not until told.
    void setToolsConfigured(bool configured);

    // The ClickUp search results while they are on screen, else null.
    ClickUpSearchSection* searchSection() const;

    static inline const QString configureHint = QStringLiteral("Configure the Tools server in Settings");

private:
    // Everything the section is drawn from; it is redrawn only when this changes.
    struct Content {
        bool isToolsConfigured = false;
        bool isLoading = false;
        bool hasPlans = false;
        QList<WeekPlan> filteredPlans;
        QString searchText;
        QSet<int> expandedWeeks;
        QSet<QPair<int, QString>> collapsedClients;
        std::optional<QString> error;
        bool operator==(const Content&) const = default;
    };

    Content currentContent() const;
    void redraw();
    void toggleClient(int weekNumber, const QString& clientName);
    // Puts the search results at the end of the body, made anew when they were not on screen.
    void appendSearchSection();

    PlanningState& m_planning;
    const SearchState& m_search;
    AvatarImageCache& m_pictures;
    TaskActions m_actions;
    bool m_isToolsConfigured = false;
    std::optional<Content> m_shown;
    // Clients the user has closed, by week; forgotten once they leave the screen.
    QSet<QPair<int, QString>> m_collapsedClients;
    QHBoxLayout* m_spinnerSlot;
    QVBoxLayout* m_body;
    QPointer<ClickUpSearchSection> m_searchSection;
};
