#include "ui/reports/SummaryBanner.h"

#include "services/usage/DailyUsageSummary.h"
#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>

namespace {
QLabel* textLabel(const QString& text, qreal size, QFont::Weight weight, const QColor& color,
                  QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(PopoverStyle::font(size, weight));
    PopoverStyle::setTextColor(label, color);
    return label;
}

// A count with its symbol before it.
QLabel* countLabel(const QString& symbolName, QHBoxLayout* row, QWidget* parent) {
    const QColor secondary = PopoverStyle::secondaryText(parent->palette());
    auto* pair = new QHBoxLayout;
    pair->setSpacing(4);
    pair->addWidget(PopoverStyle::symbolLabel(symbolName, 11, secondary, parent));
    QLabel* label = textLabel(QString(), 11, QFont::Normal, secondary, parent);
    pair->addWidget(label);
    row->addLayout(pair);
    return label;
}
} // namespace

SummaryBanner::SummaryBanner(const DailyUsageSummary& summary, QWidget* parent)
    : QWidget(parent) {
    const QPalette& colors = palette();
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 0, 8, 0);
    row->setSpacing(0);
    m_lead = textLabel(QStringLiteral("All Activities: "), 14, QFont::Normal,
                       PopoverStyle::secondaryText(colors), this);
    m_total = textLabel(QString(), 14, QFont::DemiBold, PopoverStyle::primaryText(colors), this);
    m_total->setObjectName(QStringLiteral("totalDuration"));
    m_tail = textLabel(QStringLiteral(" of App Usage"), 14, QFont::Normal,
                       PopoverStyle::secondaryText(colors), this);
    m_filtered =
        textLabel(QStringLiteral("(filtered)"), 12, QFont::Normal, PopoverStyle::accent(colors), this);
    m_filtered->setObjectName(QStringLiteral("filteredMark"));
    row->addWidget(m_lead);
    row->addWidget(m_total);
    row->addWidget(m_tail);
    row->addSpacing(8);
    row->addWidget(m_filtered);
    row->addStretch(1);
    auto* counts = new QHBoxLayout;
    counts->setSpacing(16);
    m_apps = countLabel(QStringLiteral("view-app-grid"), counts, this);
    m_apps->setObjectName(QStringLiteral("appCount"));
    m_sessions = countLabel(QStringLiteral("view-swap"), counts, this);
    m_sessions->setObjectName(QStringLiteral("sessionCount"));
    row->addLayout(counts);
    setSummary(summary);
}

void SummaryBanner::setSummary(const DailyUsageSummary& summary) {
    m_total->setText(summary.formattedTotalDuration());
    m_filtered->setVisible(summary.filterStart.has_value() || summary.filterEnd.has_value());
    m_apps->setText(QString::number(summary.appBreakdown().size()) + QStringLiteral(" apps"));
    m_sessions->setText(QString::number(summary.sessions.size()) + QStringLiteral(" sessions"));
}

QString SummaryBanner::text() const {
    QString line = m_lead->text() + m_total->text() + m_tail->text();
    if (!m_filtered->isHidden()) {
        line += QLatin1Char(' ') + m_filtered->text();
    }
    return line;
}
