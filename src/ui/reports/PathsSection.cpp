#include "ui/reports/PathsSection.h"

#include "services/usage/UsageDuration.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/reports/DashboardText.h"

PathsSection::PathsSection(const QList<PathUsage>& paths, QWidget* parent)
    : BreakdownCard(QStringLiteral("Paths"), QStringLiteral("folder"), parent) {
    QList<UsageRowList::Row> rows;
    rows.reserve(paths.size());
    for (const PathUsage& path : paths) {
        rows.append({formatDuration(path.duration), dashboardtext::pathDisplayName(path.path), path.path,
                     dashboardtext::pathIconName(path)});
    }
    setRows(UsageRowList::Style::icon, std::move(rows), PopoverStyle::orange(palette()),
            QStringLiteral("No path data"));
}
