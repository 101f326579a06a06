#pragma once

#include <QWidget>

struct DailyUsageSummary;
class QLabel;

// The dashboard's totals line: "All Activities: " with the summary's total and " of App Usage",
// "(filtered)" while the summary has a time filter, and at the right the number of applications and
// of sessions (always "apps" and "sessions", also for one).
class SummaryBanner : public QWidget {
    Q_OBJECT

public:
    explicit SummaryBanner(const DailyUsageSummary& summary, QWidget* parent = nullptr);

    void setSummary(const DailyUsageSummary& summary);

    // The line as read from left to right, e.g. "All Activities: 2h 5m of App Usage (filtered)".
    QString text() const;
    QLabel* totalLabel() const { return m_total; }
    QLabel* filteredLabel() const { return m_filtered; }
    QLabel* appCountLabel() const { return m_apps; }
    QLabel* sessionCountLabel() const { return m_sessions; }

private:
    QLabel* m_lead;
    QLabel* m_total;
    QLabel* m_tail;
    QLabel* m_filtered;
    QLabel* m_apps;
    QLabel* m_sessions;
};
