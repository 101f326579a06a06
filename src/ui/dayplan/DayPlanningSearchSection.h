#pragma once

#include <QWidget>

class AvatarImageCache;
class DayPlanningState;
class QLabel;
class QToolButton;
class QVBoxLayout;
class SearchState;

// The collapsible "ClickUp Search" section under the planning tasks: the searching indicator, the
// results (each added by double click, its "+" button or a drag), "No tasks found in ClickUp for
// '<text>'" or the search's error. Collapsing hides the content without touching the search.
class DayPlanningSearchSection : public QWidget {
    Q_OBJECT

public:
    DayPlanningSearchSection(SearchState& search, DayPlanningState& dayPlan, AvatarImageCache& pictures,
                             double duration, QWidget* parent = nullptr);

    bool isExpanded() const { return m_expanded; }
    void setExpanded(bool expanded);

    QToolButton* headerButton() const { return m_header; }
    QLabel* countLabel() const { return m_count; }
    // The texts shown in the content, in order (result names, the not-found text, the error).
    QStringList contentTexts() const;

private:
    void rebuild();

    SearchState& m_search;
    DayPlanningState& m_dayPlan;
    AvatarImageCache& m_pictures;
    double m_duration;
    bool m_expanded = true;
    QToolButton* m_header;
    QLabel* m_count;
    QWidget* m_content;
    QVBoxLayout* m_contentLayout;
};
