#pragma once

#include "services/usage/AppUsageBreakdown.h"
#include "ui/reports/BreakdownCard.h"

#include <QList>

struct DailyUsageSummary;
class ExpandableAppRow;

// The Applications card: the eight applications with the most time (all when there are fewer), each
// an unfoldable row; "No app data" without any.
class ApplicationsSection : public BreakdownCard {
    Q_OBJECT

public:
    static constexpr int maximumRows = 8;

    ApplicationsSection(const QList<AppUsageBreakdown>& apps, const DailyUsageSummary& summary,
                        QWidget* parent = nullptr);

    const QList<ExpandableAppRow*>& rows() const { return m_rows; }

private:
    QList<ExpandableAppRow*> m_rows;
};
