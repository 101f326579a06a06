#pragma once

#include "services/clickup/TimeEntry.h"
#include "services/usage/DailyUsageSummary.h"

#include <QList>
#include <QWidget>

// The day's dashboard. For now a plain widget with the day's total.
class DashboardView : public QWidget {
    Q_OBJECT

public:
    DashboardView(DailyUsageSummary summary, QList<TimeEntry> timeEntries, QWidget* parent = nullptr);

private:
    DailyUsageSummary m_summary;
    QList<TimeEntry> m_timeEntries;
};
