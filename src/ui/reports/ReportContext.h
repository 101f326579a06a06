#pragma once

#include <functional>

class DayPlanningState;
class DayPlanningView;
class QWidget;
class UsageDaySource;
class SettingsStore;
class WorklogState;
struct DailyUsageSummary;

// What every report window is built over: the states they show (the worklog and the day plan), the
// settings they read, the loader of the stored usage days, and what the application and the platform
// offer to the windows. The application fills it in once; the windows only read it.
struct ReportContext {
    UsageDaySource* loader = nullptr;
    // Whether window titles are tracked is read from it; none counts as not tracked.
    const SettingsStore* settings = nullptr;
    // The ClickUp entries shown beside a day's usage; none shows no entries.
    const WorklogState* worklog = nullptr;
    // The one day plan, whose day the timeline window names.
    DayPlanningState* dayPlan = nullptr;
    // Makes the day-planning screen (over the same day plan) for a parent. When unset the report's
    // Timesheet tab stays empty; the timeline window needs it and the day plan.
    std::function<DayPlanningView*(QWidget* parent)> makePlanningView;
    // Opens the export sheet for the day over the parent window. When unset, nothing is exported.
    std::function<void(const DailyUsageSummary& summary, QWidget* parent)> showExport;
    // Whether the titles of other applications' windows can be read (X11 with an EWMH window
    // manager). When unset they count as readable.
    std::function<bool()> windowTitlesReadable;

    bool canReadWindowTitles() const { return !windowTitlesReadable || windowTitlesReadable(); }
};
