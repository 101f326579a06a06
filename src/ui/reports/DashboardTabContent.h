#pragma once

#include "ui/reports/ReportContext.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class DashboardView;
class DateRow;
class QLabel;
class QMessageBox;
class QScrollArea;
class QStackedWidget;
class QToolButton;
class QVBoxLayout;
class UsageReportState;

// The day list beside the selected day: "History" with one row per listed day (today first), and the
// day's header (its date, refresh, export, delete) above its dashboard, a busy bar while loading, or
// "Select a date to view usage". Shows the state it is given and calls it back; it also asks the
// delete confirmation and opens the export for its window.
class DashboardTabContent : public QWidget {
    Q_OBJECT

public:
    static constexpr int listWidth = 250;

    DashboardTabContent(const ReportContext& context, UsageReportState& state, QWidget* parent = nullptr);

    QList<DateRow*> dateRows() const;
    QToolButton* refreshButton() const { return m_refresh; }
    QToolButton* exportButton() const { return m_export; }
    QToolButton* deleteButton() const { return m_delete; }
    // The dashboard shown, or none.
    DashboardView* dashboardView() const { return m_dashboard; }

    // Asks "Delete Usage Data" over the window; "Delete" deletes the selected day. The dialog is
    // returned open (window-modal) and deletes itself when closed.
    QMessageBox* confirmDelete();
    // Opens the export of the selected day; nothing without a summary or an export.
    void openExport();

    static QString deleteMessage(QDate day);

private:
    void rebuildList();
    void updateSelection();
    void updateSummary();
    void updateDetail();

    const ReportContext& m_context;
    UsageReportState& m_state;
    QVBoxLayout* m_rows;
    QScrollArea* m_scroll;
    QLabel* m_noData;
    QLabel* m_dayTitle;
    QToolButton* m_refresh;
    QToolButton* m_export;
    QToolButton* m_delete;
    QLabel* m_error;
    QStackedWidget* m_content;
    QWidget* m_progressPage;
    QWidget* m_dashboardPage;
    QVBoxLayout* m_dashboardLayout;
    QWidget* m_emptyPage;
    DashboardView* m_dashboard = nullptr;
};
