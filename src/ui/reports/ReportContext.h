#pragma once

#include <functional>

class AppState;
class QWidget;
class UsageDayLoaderProtocol;
class UserDefaultsServiceProtocol;
struct DailyUsageSummary;

// What every report window is built over: the one root state (the tracker, the worklog, the day plan
// and the configuration are read through it), the loader of the stored usage days, and what the
// platform offers to the windows. The application fills it in once; the windows only read it.
struct ReportContext {
    AppState* appState = nullptr;
    UsageDayLoaderProtocol* loader = nullptr;
    // Opens the export sheet for the day over the parent window. When unset, nothing is exported.
    std::function<void(const DailyUsageSummary& summary, QWidget* parent)> showExport;
    // Whether the titles of other applications' windows can be read (X11 with an EWMH window
    // manager). When unset they count as readable.
    std::function<bool()> windowTitlesReadable;

    bool canReadWindowTitles() const { return !windowTitlesReadable || windowTitlesReadable(); }
};
