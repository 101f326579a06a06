#pragma once

#include "ui/reports/ReportContext.h"

#include <QWidget>

class DashboardTabContent;
class QLabel;
class UsageReportState;

// The content of the "Dashboard" window: "Dashboard" and the selected day above the day list and the
// selected day's dashboard. It keeps its own selection; shown the first time, it lists the stored
// days and loads today.
class StandaloneDashboardView : public QWidget {
    Q_OBJECT

public:
    explicit StandaloneDashboardView(const ReportContext& context, QWidget* parent = nullptr);

    UsageReportState& state() const { return *m_state; }
    DashboardTabContent* dashboardTab() const { return m_content; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    UsageReportState* m_state;
    QLabel* m_date;
    DashboardTabContent* m_content;
    bool m_hasAppeared = false;
};
