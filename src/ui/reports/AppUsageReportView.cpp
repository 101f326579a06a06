#include "ui/reports/AppUsageReportView.h"

#include "core/DetachedTask.h"
#include "core/SettingsStore.h"
#include "services/reports/UsageReportState.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/reports/AccessibilityWarningBanner.h"
#include "ui/reports/DashboardTabContent.h"
#include "ui/reports/ReportWindowManager.h"

#include <QButtonGroup>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

AppUsageReportView::AppUsageReportView(const ReportContext& context, ReportWindowManager* windows,
                                       QWidget* parent)
    : QWidget(parent)
    , m_context(context)
    , m_windows(windows)
    , m_state(new UsageReportState(*context.loader, this))
    , m_isWindowTitleTrackingEnabled(context.settings ? context.settings->isWindowTitleTrackingEnabled()
                                                      : false) {
    setObjectName(QStringLiteral("appUsageReportView"));
    const QPalette& colors = palette();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("reportHeader"));
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(12, 10, 12, 10);
    auto* title = new QLabel(QStringLiteral("App Usage Report"), header);
    title->setObjectName(QStringLiteral("reportTitle"));
    title->setFont(PopoverStyle::font(22, QFont::Bold));
    row->addWidget(title);
    row->addStretch(1);

    auto* controls = new QHBoxLayout;
    controls->setSpacing(8);
    auto* picker = new QWidget(header);
    picker->setObjectName(QStringLiteral("tabPicker"));
    picker->setFixedWidth(200);
    auto* segments = new QHBoxLayout(picker);
    segments->setContentsMargins(0, 0, 0, 0);
    segments->setSpacing(0);
    m_tabs = new QButtonGroup(this);
    m_tabs->setExclusive(true);
    for (const ReportTab tab : reporttab::allCases()) {
        auto* button = new QPushButton(reporttab::rawValue(tab), picker);
        button->setObjectName(QStringLiteral("tab") + reporttab::rawValue(tab));
        button->setCheckable(true);
        button->setChecked(tab == m_selectedTab);
        button->setIcon(QIcon(PopoverStyle::symbol(reporttab::icon(tab), 12, this)));
        m_tabs->addButton(button, int(tab));
        segments->addWidget(button, 1);
    }
    connect(m_tabs, &QButtonGroup::idClicked, this, [this](int id) { setSelectedTab(ReportTab(id)); });
    controls->addWidget(picker);
    const QColor primary = PopoverStyle::primaryText(colors);
    m_separate = PopoverStyle::plainButton(QString(), QStringLiteral("external-link"), 12, primary, header);
    m_separate->setObjectName(QStringLiteral("separateWindowButton"));
    m_separate->setToolTip(QStringLiteral("Open in separate window"));
    m_sideBySide =
        PopoverStyle::plainButton(QString(), QStringLiteral("view-split-left-right"), 12, primary, header);
    m_sideBySide->setObjectName(QStringLiteral("sideBySideButton"));
    m_sideBySide->setToolTip(QStringLiteral("Open both views side by side"));
    controls->addWidget(m_separate);
    controls->addWidget(m_sideBySide);
    row->addLayout(controls);
    row->addStretch(1);
    m_done = new QPushButton(QStringLiteral("Done"), header);
    m_done->setObjectName(QStringLiteral("doneButton"));
    row->addWidget(m_done);
    layout->addWidget(header);

    m_banner = new AccessibilityWarningBanner(this);
    layout->addWidget(m_banner);
    layout->addWidget(PopoverStyle::divider(this));

    m_stack = new QStackedWidget(this);
    m_dashboardTab = new DashboardTabContent(m_context, *m_state, m_stack);
    m_planningPage = new QWidget(m_stack);
    auto* planningLayout = new QVBoxLayout(m_planningPage);
    planningLayout->setContentsMargins(0, 0, 0, 0);
    if (m_context.makePlanningView) {
        // The planning view is built when its tab is first chosen; its page keeps the room the view
        // will need from the start, so that the window opens at a size that holds either tab.
        const std::unique_ptr<DayPlanningView> measure(m_context.makePlanningView(nullptr));
        m_planningPage->setMinimumSize(measure->minimumSizeHint());
    }
    m_stack->addWidget(m_dashboardTab);
    m_stack->addWidget(m_planningPage);
    layout->addWidget(m_stack, 1);

    connect(m_separate, &QToolButton::clicked, this, &AppUsageReportView::openInSeparateWindow);
    connect(m_sideBySide, &QToolButton::clicked, this, [this] {
        if (m_windows) {
            m_windows->openSideBySide();
        }
    });
    connect(m_done, &QPushButton::clicked, this, [this] { window()->close(); });
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, [this] { window()->close(); });
    connect(m_banner, &AccessibilityWarningBanner::grantRequested, this,
            &AppUsageReportView::explainWindowTitles);
    // Coming back to the application checks again.
    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive) {
            updateBanner();
        }
    });
    updateBanner();
}

AppUsageReportView::~AppUsageReportView() = default;

QPushButton* AppUsageReportView::tabButton(ReportTab tab) const {
    return qobject_cast<QPushButton*>(m_tabs->button(int(tab)));
}

void AppUsageReportView::setSelectedTab(ReportTab tab) {
    m_selectedTab = tab;
    if (QAbstractButton* button = m_tabs->button(int(tab))) {
        button->setChecked(true);
    }
    if (tab == ReportTab::planning && !m_planningView && m_context.makePlanningView) {
        m_planningView = m_context.makePlanningView(m_planningPage);
        m_planningPage->layout()->addWidget(m_planningView);
    }
    m_stack->setCurrentWidget(tab == ReportTab::dashboard ? static_cast<QWidget*>(m_dashboardTab)
                                                          : m_planningPage);
}

void AppUsageReportView::openInSeparateWindow() {
    if (!m_windows) {
        return;
    }
    if (m_selectedTab == ReportTab::dashboard) {
        m_windows->openDashboard();
    } else {
        m_windows->openTimeline();
    }
}

void AppUsageReportView::updateBanner() {
    m_banner->setVisible(m_isWindowTitleTrackingEnabled && !m_context.canReadWindowTitles());
}

void AppUsageReportView::explainWindowTitles() {
    auto* box = new QMessageBox(QMessageBox::Information, AccessibilityWarningBanner::title,
                                AccessibilityWarningBanner::explanation, QMessageBox::Ok, window());
    box->setObjectName(QStringLiteral("windowTitlesExplanation"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
    QTimer::singleShot(1000, this, &AppUsageReportView::updateBanner);
}

void AppUsageReportView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_hasAppeared && !event->spontaneous()) {
        m_hasAppeared = true;
        runDetached(m_state->appear(), QStringLiteral("Opening the usage report failed"),
                    Log::Category::storage);
    }
}
