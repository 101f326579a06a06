#pragma once

#include <QWidget>

class DayPlanningState;
class DayTimelineGrid;
class QScrollArea;
class TimelineHeader;

// The timeline pane of the day-planning window: the header over a scrolling hour grid.
class DayPlanningTimeline : public QWidget {
    Q_OBJECT

public:
    explicit DayPlanningTimeline(DayPlanningState& state, QWidget* parent = nullptr);

    TimelineHeader* header() const { return m_header; }
    DayTimelineGrid* grid() const { return m_grid; }
    QScrollArea* scrollArea() const { return m_scroll; }

    QSize minimumSizeHint() const override;

private:
    TimelineHeader* m_header;
    DayTimelineGrid* m_grid;
    QScrollArea* m_scroll;
};
