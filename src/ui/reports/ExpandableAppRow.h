#pragma once

#include "services/usage/AppUsageBreakdown.h"
#include "services/usage/ContextDetail.h"

#include <QList>
#include <QWidget>

struct DailyUsageSummary;
class ElidedLabel;
class QLabel;
class UsageRowList;
class UsageShareBar;

// One application of the Applications card: its time, a bar of its share of the day (80 wide, in
// the application's colour), its icon when the application is installed, its name and, when it has
// contexts, a chevron. A click anywhere on the row unfolds or folds the contexts recorded for it
// (window titles, addresses, subjects), longest first, each cut to 60 characters.
class ExpandableAppRow : public QWidget {
    Q_OBJECT

public:
    static constexpr int barWidth = 80;

    ExpandableAppRow(const AppUsageBreakdown& app, const DailyUsageSummary& summary,
                     QWidget* parent = nullptr);

    const AppUsageBreakdown& app() const { return m_app; }
    const QList<ContextDetail>& contexts() const { return m_contexts; }
    bool isExpanded() const { return m_expanded; }
    void toggle();

    QLabel* durationLabel() const { return m_duration; }
    UsageShareBar* shareBar() const { return m_bar; }
    // None when the application is not installed.
    QLabel* iconLabel() const { return m_icon; }
    ElidedLabel* nameLabel() const { return m_name; }
    // None when the application has no contexts.
    QLabel* chevron() const { return m_chevron; }
    // The unfolded contexts; none before the row was first unfolded or without contexts.
    UsageRowList* contextList() const { return m_contextList; }

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void updateChevron();

    AppUsageBreakdown m_app;
    QList<ContextDetail> m_contexts;
    bool m_expanded = false;
    QLabel* m_duration;
    UsageShareBar* m_bar;
    QLabel* m_icon = nullptr;
    ElidedLabel* m_name;
    QLabel* m_chevron = nullptr;
    QWidget* m_contextBox = nullptr;
    UsageRowList* m_contextList = nullptr;
};
