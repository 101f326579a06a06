#pragma once

#include "ui/reports/ReportContext.h"
#include "ui/reports/ReportTab.h"

#include <QWidget>

class AccessibilityWarningBanner;
class DashboardTabContent;
class DayPlanningView;
class QButtonGroup;
class QPushButton;
class QStackedWidget;
class QToolButton;
class ReportWindowManager;
class UsageReportState;

// The content of the "App Usage Report" window: a header (title, the Dashboard / Timesheet tabs, the
// buttons that open the dashboard or the day plan in windows of their own, "Done"), the banner that
// says window titles cannot be read (while title tracking is on), and the tab: the day list with the
// selected day's dashboard, or the day-planning screen. Shown the first time, it lists the stored days
// and loads today. "Done" and Esc close the window.
class AppUsageReportView : public QWidget {
    Q_OBJECT

public:
    // The manager opens the separate windows; without one those buttons do nothing.
    AppUsageReportView(const ReportContext& context, ReportWindowManager* windows, QWidget* parent = nullptr);
    ~AppUsageReportView() override;

    ReportTab selectedTab() const { return m_selectedTab; }
    void setSelectedTab(ReportTab tab);
    UsageReportState& state() const { return *m_state; }
    DashboardTabContent* dashboardTab() const { return m_dashboardTab; }
    // Made when the Timesheet tab is first shown.
    DayPlanningView* planningView() const { return m_planningView; }
    AccessibilityWarningBanner* banner() const { return m_banner; }
    QPushButton* doneButton() const { return m_done; }
    QToolButton* separateWindowButton() const { return m_separate; }
    QToolButton* sideBySideButton() const { return m_sideBySide; }
    QPushButton* tabButton(ReportTab tab) const;

    // Opens the current tab's view in its own window.
    void openInSeparateWindow();
    // Checks again whether window titles can be read and shows or hides the banner.
    void updateBanner();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void explainWindowTitles();

    const ReportContext& m_context;
    ReportWindowManager* m_windows;
    UsageReportState* m_state;
    ReportTab m_selectedTab = ReportTab::dashboard;
    // The setting as it was when the window was made.
    bool m_isWindowTitleTrackingEnabled;
    bool m_hasAppeared = false;
    QButtonGroup* m_tabs;
    QToolButton* m_separate;
    QToolButton* m_sideBySide;
    QPushButton* m_done;
    AccessibilityWarningBanner* m_banner;
    QStackedWidget* m_stack;
    DashboardTabContent* m_dashboardTab;
    QWidget* m_planningPage;
    DayPlanningView* m_planningView = nullptr;
};
