#include "ui/reports/ReportTab.h"

namespace reporttab {
const QList<ReportTab>& allCases() {
    static const QList<ReportTab> cases{ReportTab::dashboard, ReportTab::planning};
    return cases;
}

QString rawValue(ReportTab tab) {
    switch (tab) {
    case ReportTab::dashboard:
        return QStringLiteral("Dashboard");
    case ReportTab::planning:
        return QStringLiteral("Timesheet");
    }
    return {};
}

QString icon(ReportTab tab) {
    switch (tab) {
    case ReportTab::dashboard:
        return QStringLiteral("office-chart-bar");
    case ReportTab::planning:
        return QStringLiteral("x-office-calendar");
    }
    return {};
}

std::optional<ReportTab> fromRawValue(const QString& text) {
    for (const ReportTab tab : allCases()) {
        if (rawValue(tab) == text) {
            return tab;
        }
    }
    return std::nullopt;
}
} // namespace reporttab
