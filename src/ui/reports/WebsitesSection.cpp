#include "ui/reports/WebsitesSection.h"

#include "services/usage/UsageDuration.h"
#include "ui/kit/PopoverStyle.h"

WebsitesSection::WebsitesSection(const QList<WebsiteUsage>& websites, QWidget* parent)
    : BreakdownCard(QStringLiteral("Websites"), QStringLiteral("web-browser"), parent) {
    QList<UsageRowList::Row> rows;
    rows.reserve(websites.size());
    for (const WebsiteUsage& website : websites) {
        rows.append({formatDuration(website.duration), website.domain, website.domain, {}});
    }
    const QColor blue = PopoverStyle::isDark(palette()) ? QColor(10, 132, 255) : QColor(0, 122, 255);
    setRows(UsageRowList::Style::dot, std::move(rows), blue, QStringLiteral("No website data"));
}
