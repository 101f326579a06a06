#pragma once

#include <QList>
#include <QString>

#include <optional>

// The two tabs of the report window, in their order.
enum class ReportTab { dashboard, planning };

namespace reporttab {
const QList<ReportTab>& allCases();
// "Dashboard" and "Timesheet": the label and the stored text.
QString rawValue(ReportTab tab);
// The symbol beside the label.
QString icon(ReportTab tab);
// Exactly the two raw values; none for any other text.
std::optional<ReportTab> fromRawValue(const QString& text);
} // namespace reporttab
