#pragma once

#include "services/clickup/TimeEntry.h"
#include "services/usage/DailyUsageSummary.h"

#include <QDateTime>
#include <QList>
#include <QWidget>

#include <optional>

class BreakdownGrid;
class FilterIndicatorBar;
class QScrollArea;
class SummaryBanner;
class TimelineSectionWithSelection;

// One recorded day at a glance, in a vertical scroll area: the timeline of the day's application
// sessions with its ClickUp entries, the totals banner and the four breakdown cards. Dragging across
// the timeline narrows everything to a time range (at least 300 s); while one is set a bar above the
// timeline shows it with "Clear". Filtering keeps every session that touches the range whole, so the
// filtered totals count those sessions in full; an entry is kept when it touches the range.
class DashboardView : public QWidget {
    Q_OBJECT

public:
    DashboardView(DailyUsageSummary summary, QList<TimeEntry> timeEntries, QWidget* parent = nullptr);

    // Shows another day (or the same day reloaded); the filter is cleared.
    void setDay(DailyUsageSummary summary, QList<TimeEntry> timeEntries);

    // The whole day, as given.
    const DailyUsageSummary& summary() const { return m_summary; }
    const QList<TimeEntry>& timeEntries() const { return m_timeEntries; }
    // The day under the filter (the whole day without one): what the parts show and an export of
    // the dashboard covers.
    const DailyUsageSummary& filteredSummary() const { return m_filtered; }
    QList<TimeEntry> filteredTimeEntries() const;

    const std::optional<QDateTime>& filterStartTime() const { return m_filterStart; }
    const std::optional<QDateTime>& filterEndTime() const { return m_filterEnd; }
    // Sets both bounds together (start not after end), as a drag across the timeline does.
    void setFilter(const QDateTime& start, const QDateTime& end);
    void clearFilter();

    // The entries that touch [start, end] (an entry ending at the start or starting at the end
    // included), in their order; all of them with either bound missing.
    static QList<TimeEntry> entriesInRange(const QList<TimeEntry>& entries,
                                           const std::optional<QDateTime>& start,
                                           const std::optional<QDateTime>& end);

    FilterIndicatorBar* filterBar() const { return m_filterBar; }
    TimelineSectionWithSelection* timeline() const { return m_timeline; }
    SummaryBanner* banner() const { return m_banner; }
    BreakdownGrid* grid() const { return m_grid; }
    QScrollArea* scrollArea() const { return m_scroll; }

Q_SIGNALS:
    // The filter was set or cleared.
    void filterChanged();

private:
    void refresh();

    DailyUsageSummary m_summary;
    QList<TimeEntry> m_timeEntries;
    std::optional<QDateTime> m_filterStart;
    std::optional<QDateTime> m_filterEnd;
    DailyUsageSummary m_filtered;

    QScrollArea* m_scroll;
    FilterIndicatorBar* m_filterBar;
    TimelineSectionWithSelection* m_timeline;
    SummaryBanner* m_banner;
    BreakdownGrid* m_grid;
};
