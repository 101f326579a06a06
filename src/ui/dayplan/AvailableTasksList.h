#pragma once

#include "ui/dayplan/DayPlanningSources.h"

#include <QWidget>

class DayPlanningSearchSection;
class QLineEdit;
class QVBoxLayout;

// The left side of the day-planning window: a filter field over this week's planning tasks (grouped
// by client, "No Client" for an empty one, clients in code-point order) and, from three characters
// on, the ClickUp search section. Each task is added at the next free start by double click or its
// "+1h" button, or dragged onto the timeline; every task counts an hour.
class AvailableTasksList : public QWidget {
    Q_OBJECT

public:
    explicit AvailableTasksList(DayPlanningSources sources, QWidget* parent = nullptr);

    QLineEdit* filterField() const { return m_filter; }
    DayPlanningSearchSection* searchSection() const { return m_searchSection; }
    // What the list shows, top to bottom: "# <client>" headers and task names, or the empty and
    // loading texts.
    QStringList shownTexts() const;

    // 600 wide where there is room; it gives way down to leastWidth so that the planning screen
    // fits half a screen beside the dashboard.
    static constexpr int preferredWidth = 600;
    static constexpr int leastWidth = 300;
    QSize sizeHint() const override;

private:
    void onFilterChanged(const QString& text);
    void rebuild();

    DayPlanningSources m_sources;
    DayPlanningState& m_dayPlan;
    QLineEdit* m_filter;
    QWidget* m_body;
    QVBoxLayout* m_bodyLayout;
    DayPlanningSearchSection* m_searchSection;
};
