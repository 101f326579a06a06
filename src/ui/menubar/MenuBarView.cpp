#include "ui/menubar/MenuBarView.h"

#include "core/DetachedTask.h"
#include "core/UserDefaultsService.h"
#include "services/AppState.h"
#include "services/alerts/SilentMode.h"
#include "services/clickup/SearchState.h"
#include "services/usage/AppUsageSwitch.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/kit/ResizeHandle.h"
#include "ui/kit/SearchField.h"
#include "ui/menubar/AppUsageSection.h"
#include "ui/menubar/ContentTabBar.h"
#include "ui/menubar/FooterView.h"
#include "ui/menubar/MenuBarIcon.h"
#include "ui/menubar/PlanningSection.h"
#include "ui/menubar/TaskTimerStart.h"
#include "ui/menubar/TimerStatusView.h"
#include "ui/menubar/WorklogSection.h"

#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

MenuBarView::MenuBarView(AppState& appState, UserDefaultsService& settings, QWidget* parent)
    : QWidget(parent)
    , m_appState(appState)
    , m_settings(settings)
    , m_timerStatusView(new TimerStatusView(*appState.timerState(), *appState.worklogState(), this))
    , m_searchField(new SearchField(this))
    , m_searchContainer(PopoverStyle::padded(m_searchField, 12, 8, 4, this))
    , m_tabBar(new ContentTabBar(appState.appUsageSwitch().isActive(), this))
    , m_tabBarContainer(PopoverStyle::padded(m_tabBar, 12, 6, 6, this))
    , m_scrollArea(new QScrollArea(this))
    , m_timesheetContent(new QWidget)
    , m_worklogSection(new WorklogSection(*appState.worklogState(), *appState.searchState(),
                                          taskActions(appState), m_timesheetContent))
    , m_planningSection(new PlanningSection(*appState.planningState(), *appState.searchState(),
                                            appState.avatarImages(), taskActions(appState),
                                            m_timesheetContent))
    , m_activityContent(new QWidget)
    , m_resizeHandle(new ResizeHandle(minHeight, maxHeight, this))
    , m_footerView(new FooterView(footerServices(appState), this)) {
    // The window-background colour of the palette (windowBackgroundColor()), following its changes.
    setBackgroundRole(QPalette::Window);
    setFixedWidth(popoverWidth);
    setAutoFillBackground(true);

    auto* timesheet = new QVBoxLayout(m_timesheetContent);
    timesheet->setContentsMargins(0, 0, 0, 0);
    timesheet->setSpacing(0);
    timesheet->addWidget(m_worklogSection);
    timesheet->addWidget(
        PopoverStyle::padded(PopoverStyle::divider(m_timesheetContent), 0, 4, 4, m_timesheetContent));
    timesheet->addWidget(m_planningSection);
    m_activityContent->setObjectName(QStringLiteral("activityContent"));
    auto* activity = new QVBoxLayout(m_activityContent);
    activity->setContentsMargins(0, 0, 0, 0);
    activity->setSpacing(0);
    m_appUsageSection = new AppUsageSection(m_activityContent);
    bindAppUsageSection(*m_appUsageSection, appState);
    activity->addWidget(m_appUsageSection);

    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("scrollContent"));
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(12, 8, 12, 8);
    stack->setSpacing(0);
    stack->addWidget(m_timesheetContent);
    stack->addWidget(m_activityContent);
    stack->addStretch(1);

    m_scrollArea->setObjectName(QStringLiteral("contentScrollArea"));
    m_scrollArea->setFrameShape(QFrame::NoFrame);
    m_scrollArea->setWidgetResizable(true);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scrollArea->setWidget(content);
    // The window background shows through the scrolling content.
    m_scrollArea->setAutoFillBackground(false);
    m_scrollArea->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(PopoverStyle::padded(m_timerStatusView, 12, 8, 8, this));
    layout->addWidget(PopoverStyle::divider(this));
    layout->addWidget(m_searchContainer);
    layout->addWidget(m_tabBarContainer);
    layout->addWidget(PopoverStyle::divider(this));
    layout->addWidget(m_scrollArea, 1);
    layout->addWidget(PopoverStyle::divider(this));
    layout->addWidget(m_resizeHandle);
    layout->addWidget(PopoverStyle::padded(m_footerView, 12, 8, 8, this));

    connect(m_tabBar, &ContentTabBar::tabChosen, this,
            [this](const QString& rawValue) { setSelectedTab(m_settings, rawValue); });
    // Only a drag stores a height; taking the stored one back must not write it again.
    connect(m_resizeHandle, &ResizeHandle::valueChanged, this, [this](double height) {
        if (m_resizeHandle->isDragging()) {
            m_settings.setValue(popoverHeightKey, height);
        }
    });
    connect(&m_settings, &UserDefaultsService::settingChanged, this, &MenuBarView::onSettingChanged);
    bindTimerStatusView(*m_timerStatusView, m_appState);
    connectSearchField();
    bindPlanningSection(*m_planningSection, m_appState);
    connect(&m_appState.appUsageSwitch(), &AppUsageSwitch::activeChanged, this, [this] {
        m_tabBar->setAppUsageTrackingActive(m_appState.appUsageSwitch().isActive());
        applyTab();
    });
    applyHeight();
    applyTab();
}

FooterView::Services MenuBarView::footerServices(AppState& appState) {
    AppState* state = &appState;
    return FooterView::Services{
        .silentMode = appState.silentMode(),
        .forwarder = appState.emailForwarder(),
        .openPage = [state](const QUrl& url, const QString& title) { state->openPage(url, title); }};
}

TaskActions MenuBarView::taskActions(AppState& appState) {
    AppState* state = &appState;
    return TaskActions{
        [state](const QString& taskId) {
            startTimerOnTask(*state->timerState(), state->configuration().teamId,
                             state->silentMode().isActive(), taskId);
        },
        [state](const QUrl& url, const QString& title) { state->openPage(url, title); },
    };
}

void MenuBarView::bindTimerStatusView(TimerStatusView& view, AppState& appState) {
    AppState* state = &appState;
    view.setUrlOpener([state](const QUrl& url, const QString& title) { state->openPage(url, title); });
    view.setTimerStopper([state] {
        runDetached(
            state->timerState()->stopTimer(state->configuration().teamId, state->silentMode().isActive()),
            QStringLiteral("Stopping the timer failed"), Log::Category::ui);
    });
    view.setLoading(state->isLoading());
    view.setKeychainAccess(state->keychainAccess());
    connect(state, &AppState::isLoadingChanged, &view,
            [state, &view] { view.setLoading(state->isLoading()); });
    connect(state, &AppState::keychainAccessChanged, &view,
            [state, &view] { view.setKeychainAccess(state->keychainAccess()); });
}

void MenuBarView::bindPlanningSection(PlanningSection& section, AppState& appState) {
    AppState* state = &appState;
    section.setToolsConfigured(state->configuration().isToolsConfigured());
    connect(state, &AppState::configurationChanged, &section,
            [state, &section] { section.setToolsConfigured(state->configuration().isToolsConfigured()); });
}

void MenuBarView::bindAppUsageSection(AppUsageSection& section, AppState& appState) {
    AppUsageSwitch* usage = &appState.appUsageSwitch();
    section.setTrackingEnabler([usage] { usage->setEnabled(true); });
    section.setTracker(usage->tracker());
    section.setTrackingActive(usage->isActive());
    connect(usage, &AppUsageSwitch::activeChanged, &section,
            [usage, &section] { section.setTrackingActive(usage->isActive()); });
    connect(usage, &AppUsageSwitch::trackerChanged, &section,
            [usage, &section] { section.setTracker(usage->tracker()); });
}

void MenuBarView::bindMenuBarIcon(MenuBarIcon& icon, AppState& appState) {
    AppState* state = &appState;
    SilentMode* silentMode = &appState.silentMode();
    icon.setSilentModeActive(silentMode->isActive());
    icon.setPopoverVisible(state->isPopoverVisible());
    connect(silentMode, &SilentMode::activeChanged, &icon,
            [silentMode, &icon] { icon.setSilentModeActive(silentMode->isActive()); });
    connect(state, &AppState::isPopoverVisibleChanged, &icon,
            [state, &icon] { icon.setPopoverVisible(state->isPopoverVisible()); });
}

// The field shows the search state's text, which may also change elsewhere (day planning, clearing). An
// edit stores the text and asks the state to react with the configured team id (the worklog and the
// planning filter on it at once, the ClickUp search runs from three characters on); the clear button
// empties the text and the search results.
void MenuBarView::connectSearchField() {
    SearchState* search = m_appState.searchState();
    connect(m_searchField, &SearchField::textEdited, this, [this, search](const QString& text) {
        search->setSearchText(text);
        search->searchTextDidChange(m_appState.configuration().teamId);
    });
    connect(m_searchField, &SearchField::clearRequested, this, [search] {
        search->setSearchText(QString());
        search->clearSearch();
    });
    connect(search, &SearchState::searchTextChanged, m_searchField,
            [this, search] { m_searchField->setText(search->searchText()); });
    m_searchField->setText(search->searchText());
}

double MenuBarView::popoverHeight(const UserDefaultsService& settings) {
    bool ok = false;
    const double stored = settings.value(popoverHeightKey, defaultHeight).toDouble(&ok);
    if (!ok || !std::isfinite(stored)) {
        return defaultHeight;
    }
    return std::clamp(stored, minHeight, maxHeight);
}

QString MenuBarView::selectedTab(const UserDefaultsService& settings) {
    return settings.value(selectedTabKey, ContentTabs::rawValue(ContentTab::planning)).toString();
}

void MenuBarView::setSelectedTab(UserDefaultsService& settings, const QString& rawValue) {
    settings.setValue(selectedTabKey, rawValue);
}

ContentTab MenuBarView::effectiveTab() const {
    return ContentTabs::effective(selectedTab(m_settings), m_appState.appUsageSwitch().isActive());
}

void MenuBarView::onSettingChanged(const QString& key) {
    if (key == popoverHeightKey) {
        applyHeight();
    } else if (key == selectedTabKey) {
        applyTab();
    }
}

QSize MenuBarView::sizeHint() const {
    return QSize(popoverWidth, qRound(m_height));
}

// The view asks for the stored height; a window that must be shorter (a small screen) may squeeze it,
// and the scrolling content gives way first.
void MenuBarView::applyHeight() {
    m_height = popoverHeight(m_settings);
    m_resizeHandle->setValue(m_height);
    updateGeometry();
    resize(sizeHint());
}

void MenuBarView::applyTab() {
    const ContentTab shown = effectiveTab();
    const bool timesheet = shown == ContentTab::planning;
    m_tabBar->setSelectedTab(selectedTab(m_settings));
    m_tabBarContainer->setVisible(m_tabBar->availableTabs().size() >= 2);
    // The filter text stays in the search state while its field is hidden.
    m_searchContainer->setVisible(timesheet);
    m_timesheetContent->setVisible(timesheet);
    m_activityContent->setVisible(!timesheet);
}
