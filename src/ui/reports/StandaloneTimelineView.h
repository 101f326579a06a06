#pragma once

#include "ui/reports/ReportContext.h"

#include <QWidget>

class DayPlanningView;
class QLabel;

// The content of the "Day Planning Timeline" window: "Day Planning Timeline" and the planned day
// above the day-planning screen. It shows the one day plan of its context, so it and the report's
// Timesheet tab always show the same day.
class StandaloneTimelineView : public QWidget {
    Q_OBJECT

public:
    explicit StandaloneTimelineView(const ReportContext& context, QWidget* parent = nullptr);

    DayPlanningView* planningView() const { return m_planning; }
    QLabel* dateLabel() const { return m_date; }

private:
    QLabel* m_date;
    DayPlanningView* m_planning;
};
