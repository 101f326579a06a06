#include "ui/reports/DashboardView.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/reports/BreakdownGrid.h"
#include "ui/reports/FilterIndicatorBar.h"
#include "ui/reports/SummaryBanner.h"
#include "ui/reports/TimelineSectionWithSelection.h"

#include <QScrollArea>
#include <QVBoxLayout>

namespace {
constexpr int standardPadding = 16;

QWidget* paddedBy(QWidget* content, int horizontal, int top, int bottom, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(horizontal, top, horizontal, bottom);
    layout->setSpacing(0);
    content->setParent(box);
    layout->addWidget(content);
    return box;
}
} // namespace

DashboardView::DashboardView(DailyUsageSummary summary, QList<TimeEntry> timeEntries, QWidget* parent)
    : QWidget(parent)
    , m_summary(std::move(summary))
    , m_timeEntries(std::move(timeEntries))
    , m_filtered(m_summary) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setWidgetResizable(true);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    outer->addWidget(m_scroll);

    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_filterBar = new FilterIndicatorBar(content);
    m_filterBar->setObjectName(QStringLiteral("filterBar"));
    m_filterBar->hide();
    connect(m_filterBar, &FilterIndicatorBar::clearRequested, this, &DashboardView::clearFilter);
    column->addWidget(m_filterBar);

    m_timeline = new TimelineSectionWithSelection(content);
    m_timeline->setObjectName(QStringLiteral("timeline"));
    connect(m_timeline, &TimelineSectionWithSelection::rangeSelected, this, &DashboardView::setFilter);
    column->addWidget(paddedBy(m_timeline, standardPadding, 12, 0, content));

    m_banner = new SummaryBanner(m_filtered, content);
    m_banner->setObjectName(QStringLiteral("summaryBanner"));
    column->addWidget(paddedBy(m_banner, standardPadding, 12, 12, content));

    column->addWidget(paddedBy(PopoverStyle::divider(content), standardPadding, 0, 0, content));

    m_grid = new BreakdownGrid(m_filtered, content);
    m_grid->setObjectName(QStringLiteral("breakdownGrid"));
    column->addWidget(paddedBy(m_grid, standardPadding, standardPadding, standardPadding, content));
    column->addStretch(1);

    m_scroll->setWidget(content);
    m_timeline->setContent(m_summary, m_filtered, m_timeEntries, true);
}

void DashboardView::setDay(DailyUsageSummary summary, QList<TimeEntry> timeEntries) {
    m_summary = std::move(summary);
    m_timeEntries = std::move(timeEntries);
    m_filterStart.reset();
    m_filterEnd.reset();
    refresh();
}

QList<TimeEntry> DashboardView::entriesInRange(const QList<TimeEntry>& entries,
                                               const std::optional<QDateTime>& start,
                                               const std::optional<QDateTime>& end) {
    if (!start || !end) {
        return entries;
    }
    QList<TimeEntry> kept;
    for (const TimeEntry& entry : entries) {
        if (!(entry.endTime < *start) && !(*end < entry.startTime)) {
            kept.append(entry);
        }
    }
    return kept;
}

QList<TimeEntry> DashboardView::filteredTimeEntries() const {
    return entriesInRange(m_timeEntries, m_filterStart, m_filterEnd);
}

void DashboardView::setFilter(const QDateTime& start, const QDateTime& end) {
    m_filterStart = std::min(start, end);
    m_filterEnd = std::max(start, end);
    refresh();
    Q_EMIT filterChanged();
}

void DashboardView::clearFilter() {
    const bool wasSet = m_filterStart || m_filterEnd;
    m_filterStart.reset();
    m_filterEnd.reset();
    refresh();
    if (wasSet) {
        Q_EMIT filterChanged();
    }
}

void DashboardView::refresh() {
    m_filtered = m_summary.withTimeFilter(m_filterStart, m_filterEnd);
    const bool filtered = m_filterStart && m_filterEnd;
    if (filtered) {
        m_filterBar->setRange(*m_filterStart, *m_filterEnd);
    }
    m_filterBar->setVisible(filtered);
    m_timeline->setContent(m_summary, m_filtered, filteredTimeEntries(), !m_filterStart);
    m_banner->setSummary(m_filtered);
    m_grid->setSummary(m_filtered);
}
