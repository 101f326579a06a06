#pragma once

#include "ui/dayplan/DayPlanningSources.h"

#include <QWidget>

class AvailableTasksList;
class DayPlanningTimeline;
class QTimer;

// The day-planning screen: the task lists (600 px) beside the day timeline. Opening it shows today
// and loads the day's plan, its ClickUp entries and the assignees, one after the other; after
// midnight a screen that shows the day before moves on to the new today.
class DayPlanningView : public QWidget {
    Q_OBJECT

public:
    explicit DayPlanningView(DayPlanningSources sources, QWidget* parent = nullptr);

    AvailableTasksList* tasksList() const { return m_list; }
    DayPlanningTimeline* timeline() const { return m_timeline; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void scheduleMidnight();

    DayPlanningSources m_sources;
    AvailableTasksList* m_list;
    DayPlanningTimeline* m_timeline;
    QTimer* m_midnight;
};
