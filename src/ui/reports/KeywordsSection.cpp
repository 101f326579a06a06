#include "ui/reports/KeywordsSection.h"

#include "services/usage/UsageDuration.h"
#include "ui/menubar/UsageStyle.h"

KeywordsSection::KeywordsSection(const QList<KeywordUsage>& keywords, QWidget* parent)
    : BreakdownCard(QStringLiteral("Keywords"), QStringLiteral("tag"), parent) {
    QList<UsageRowList::Row> rows;
    rows.reserve(keywords.size());
    for (const KeywordUsage& keyword : keywords) {
        rows.append({formatDuration(keyword.duration), keyword.keyword, keyword.keyword, {}});
    }
    setRows(UsageRowList::Style::dot, std::move(rows), UsageStyle::purple(palette()),
            QStringLiteral("No keyword data"));
}
