#pragma once

#include "services/usage/WebsiteUsage.h"
#include "ui/reports/BreakdownCard.h"

#include <QList>

// The Websites card: every web host of the day, longest first, each with its time and a blue dot.
class WebsitesSection : public BreakdownCard {
    Q_OBJECT

public:
    explicit WebsitesSection(const QList<WebsiteUsage>& websites, QWidget* parent = nullptr);
};
