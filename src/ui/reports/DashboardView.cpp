#include "ui/reports/DashboardView.h"

#include <QLabel>
#include <QVBoxLayout>

DashboardView::DashboardView(DailyUsageSummary summary, QList<TimeEntry> timeEntries, QWidget* parent)
    : QWidget(parent)
    , m_summary(std::move(summary))
    , m_timeEntries(std::move(timeEntries)) {
    setObjectName(QStringLiteral("dashboardView"));
    auto* layout = new QVBoxLayout(this);
    auto* total = new QLabel(QStringLiteral("Total: ") + m_summary.formattedTotalDuration(), this);
    total->setObjectName(QStringLiteral("dashboardTotal"));
    layout->addWidget(total);
    layout->addStretch(1);
}
