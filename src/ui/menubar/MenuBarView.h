#pragma once

#include "ui/menubar/ContentTab.h"
#include "ui/menubar/FooterView.h"
#include "ui/menubar/TaskActions.h"

#include <QWidget>

class AppState;
class AppUsageSection;
class ContentTabBar;
class MenuBarIcon;
class UserDefaultsService;
class PlanningSection;
class QScrollArea;
class ResizeHandle;
class SearchField;
class TimerStatusView;
class WorklogSection;

// The popover's content, top to bottom: the timer row, the filter field (timesheet tab only), the tab
// bar (only while both tabs are available), the scrolling content of the shown tab (the timesheet:
// today's worklog above the weekly planning; or the activity), the resize handle and the footer.
// It is 340 px wide and asks to be as high as the setting "popoverHeight" (450 when unset), which
// the resize handle changes; a window that hosts it may make it shorter to fit the screen.
// "selectedContentTab" ("planning" when unset) keeps the tab the user chose. Both go through
// the settings store, so the popover window can follow "popoverHeight" too.
//
// The window that hosts the view owns its appearance: it sets AppState::isPopoverVisible and restarts
// the refresh when it shows the view.
//
// The view composes the popover from the root state: it hands each section the states it shows and
// the callbacks for what it asks (taskActions), and passes on the root state's changes they follow
// (the configuration, the app-usage switch, the filter text). Its static bind functions do the same
// for the widgets of the family that tests and the application also build alone (the timer row, the
// planning section, the activity section, the tray item's face).
class MenuBarView : public QWidget {
    Q_OBJECT

public:
    static constexpr int popoverWidth = 340;
    static constexpr double defaultHeight = 450;
    static constexpr double minHeight = 300;
    static constexpr double maxHeight = 800;
    static inline const QString popoverHeightKey = QStringLiteral("popoverHeight");
    static inline const QString selectedTabKey = QStringLiteral("selectedContentTab");

    MenuBarView(AppState& appState, UserDefaultsService& settings, QWidget* parent = nullptr);

    // The stored height, within [minHeight, maxHeight]; defaultHeight when unset or not a number.
    static double popoverHeight(const UserDefaultsService& settings);
    // The raw value of the tab the user chose last ("planning" when unset).
    static QString selectedTab(const UserDefaultsService& settings);
    static void setSelectedTab(UserDefaultsService& settings, const QString& rawValue);
    // What the popover's task rows ask for: a timer on the task, with the team id of the configuration
    // and the silent-mode flag as they are at the click, and its page through AppState::openPage.
    static TaskActions taskActions(AppState& appState);
    // What the footer acts on: the root state's silent mode and e-mail forward, and its page opener.
    static FooterView::Services footerServices(AppState& appState);
    // Lets the timer row follow the root state: whether the states load and whether the secret store
    // could be read; "Stop" stops the timer with the team id and the silent-mode flag as they are at
    // the click, and "Open in ClickUp" opens the page through AppState::openPage.
    static void bindTimerStatusView(TimerStatusView& view, AppState& appState);
    // Lets the planning section follow whether the configuration as last loaded has a Tools server.
    static void bindPlanningSection(PlanningSection& section, AppState& appState);
    // Lets the activity section follow the root state's tracker and tracking switch; "Enable Tracking"
    // switches tracking on through the root state.
    static void bindAppUsageSection(AppUsageSection& section, AppState& appState);
    // Lets the tray item's face follow the root state's silent-mode flag and whether the popover is open.
    static void bindMenuBarIcon(MenuBarIcon& icon, AppState& appState);
    // The tab shown: see ContentTabs::effective.
    ContentTab effectiveTab() const;

    TimerStatusView* timerStatusView() const { return m_timerStatusView; }
    SearchField* searchField() const { return m_searchField; }
    ContentTabBar* tabBar() const { return m_tabBar; }
    QScrollArea* scrollArea() const { return m_scrollArea; }
    WorklogSection* worklogSection() const { return m_worklogSection; }
    PlanningSection* planningSection() const { return m_planningSection; }
    // The activity tab's content: the app-usage section.
    QWidget* activityContent() const { return m_activityContent; }
    AppUsageSection* appUsageSection() const { return m_appUsageSection; }
    ResizeHandle* resizeHandle() const { return m_resizeHandle; }
    FooterView* footerView() const { return m_footerView; }

    // popoverWidth wide and popoverHeight() high.
    QSize sizeHint() const override;

private:
    void connectSearchField();
    void applyHeight();
    void applyTab();
    void onSettingChanged(const QString& key);

    AppState& m_appState;
    UserDefaultsService& m_settings;
    double m_height = defaultHeight;
    TimerStatusView* m_timerStatusView;
    SearchField* m_searchField;
    QWidget* m_searchContainer;
    ContentTabBar* m_tabBar;
    QWidget* m_tabBarContainer;
    QScrollArea* m_scrollArea;
    QWidget* m_timesheetContent;
    WorklogSection* m_worklogSection;
    PlanningSection* m_planningSection;
    QWidget* m_activityContent;
    AppUsageSection* m_appUsageSection;
    ResizeHandle* m_resizeHandle;
    FooterView* m_footerView;
};
