#include "ui/menubar/ContentTab.h"

QList<ContentTab> ContentTabs::all() {
    return {ContentTab::planning, ContentTab::activity};
}

QString ContentTabs::rawValue(ContentTab tab) {
    switch (tab) {
    case ContentTab::activity:
        return QStringLiteral("activity");
    case ContentTab::planning:
        break;
    }
    return QStringLiteral("planning");
}

QString ContentTabs::title(ContentTab tab) {
    switch (tab) {
    case ContentTab::activity:
        return QStringLiteral("Activity");
    case ContentTab::planning:
        break;
    }
    return QStringLiteral("Timesheet");
}

QString ContentTabs::symbolName(ContentTab tab) {
    switch (tab) {
    case ContentTab::activity:
        return QStringLiteral("office-chart-bar");
    case ContentTab::planning:
        break;
    }
    return QStringLiteral("view-list-bullet");
}

QList<ContentTab> ContentTabs::available(bool appUsageTrackingActive) {
    if (appUsageTrackingActive) {
        return all();
    }
    return {ContentTab::planning};
}

ContentTab ContentTabs::effective(const QString& selectedTab, bool appUsageTrackingActive) {
    if (appUsageTrackingActive && selectedTab == rawValue(ContentTab::activity)) {
        return ContentTab::activity;
    }
    return ContentTab::planning;
}
