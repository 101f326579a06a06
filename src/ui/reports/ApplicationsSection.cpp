#include "ui/reports/ApplicationsSection.h"

#include "services/usage/DailyUsageSummary.h"
#include "ui/reports/EmptyBreakdownView.h"
#include "ui/reports/ExpandableAppRow.h"

#include <QVBoxLayout>

ApplicationsSection::ApplicationsSection(const QList<AppUsageBreakdown>& apps,
                                         const DailyUsageSummary& summary, QWidget* parent)
    : BreakdownCard(QStringLiteral("Applications"), QStringLiteral("view-app-grid"), parent) {
    if (apps.isEmpty()) {
        setContent(new EmptyBreakdownView(QStringLiteral("No app data"), this));
        return;
    }
    auto* list = new QWidget(this);
    auto* layout = new QVBoxLayout(list);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    for (qsizetype i = 0; i < apps.size() && i < maximumRows; ++i) {
        auto* row = new ExpandableAppRow(apps[i], summary, list);
        row->setObjectName(QStringLiteral("appRow"));
        layout->addWidget(row);
        m_rows.append(row);
    }
    setContent(list);
}
