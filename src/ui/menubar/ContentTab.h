#pragma once

#include <QList>
#include <QString>

// The popover's content tabs, in their order. The setting "selectedContentTab" holds the raw value of
// the tab the user chose last.
enum class ContentTab {
    planning, // "planning": the timesheet (today's worklog above the weekly planning)
    activity, // "activity": today's application activity
};

namespace ContentTabs {
// Every tab, in order.
QList<ContentTab> all();
QString rawValue(ContentTab tab);
QString title(ContentTab tab);
// The freedesktop name of the tab's symbol.
QString symbolName(ContentTab tab);

// The tabs the bar offers: both while app-usage tracking is active, otherwise the timesheet alone.
QList<ContentTab> available(bool appUsageTrackingActive);
// The tab shown for the stored choice: "activity" only while tracking is active; the timesheet for
// everything else (also the empty text and unknown values). The stored choice is left as it is, so the
// activity tab comes back by itself when tracking starts again.
ContentTab effective(const QString& selectedTab, bool appUsageTrackingActive);
} // namespace ContentTabs
