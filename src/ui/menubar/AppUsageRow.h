#pragma once

#include "services/usage/AppUsageBreakdown.h"

#include <QWidget>

class QLabel;
class UsageShareBar;

// One application of the activity section: icon, name, share bar, time and percentage.
class AppUsageRow : public QWidget {
    Q_OBJECT

public:
    explicit AppUsageRow(const AppUsageBreakdown& breakdown, QWidget* parent = nullptr);

    const AppUsageBreakdown& breakdown() const { return m_breakdown; }
    QLabel* nameLabel() const { return m_name; }
    QLabel* durationLabel() const { return m_duration; }
    QLabel* percentageLabel() const { return m_percentage; }
    UsageShareBar* shareBar() const { return m_bar; }

private:
    AppUsageBreakdown m_breakdown;
    QLabel* m_name;
    UsageShareBar* m_bar;
    QLabel* m_duration;
    QLabel* m_percentage;
};
