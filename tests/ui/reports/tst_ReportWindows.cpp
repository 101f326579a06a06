// The three report windows: titles, sizes and minimum sizes (grown to what their content needs; the
// report's two tabs laid out without overlap at its opening size), raised (not made again) while open,
// freed when closed and made afresh after, the dashboard and the day plan side by side on the primary
// screen, the report's own window buttons, the popover's "View Full Report" opening the report, and
// the memory given back once the last window has gone.
#include "support/AppStateFixture.h"
#include "support/FakeUsageDayLoader.h"
#include "support/ReportContextFill.h"
#include "support/SettleEvents.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/UsageSamples.h"

#include "services/dayplan/DayPlanningState.h"
#include "services/reports/UsageReportState.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/menubar/AppUsageSection.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/reports/AppUsageReportOpener.h"
#include "ui/reports/AppUsageReportView.h"
#include "ui/reports/DashboardTabContent.h"
#include "ui/reports/ReportWindowManager.h"
#include "ui/reports/StandaloneDashboardView.h"
#include "ui/reports/StandaloneTimelineView.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>

#include <chrono>
#include <functional>
#include <memory>

using namespace usagesamples;

namespace {
int windowsTitled(const QString& title) {
    int count = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == title) {
            ++count;
        }
    }
    return count;
}
// What is wrong with the layout under root as shown: a widget over a sibling, a widget reaching out
// of its parent, a widget squeezed below its least size, a one-line label that had to cut its text.
// Pages of a scroll area are left out (they are meant to run past their viewport).
QStringList layoutProblems(const QWidget* root) {
    QStringList problems;
    auto name = [](const QWidget* widget) {
        const QRect g = widget->geometry();
        const QLabel* label = qobject_cast<const QLabel*>(widget);
        const QAbstractButton* button = qobject_cast<const QAbstractButton*>(widget);
        const QString text = label ? label->text() : button ? button->text() : widget->objectName();
        return QString::fromLatin1(widget->metaObject()->className()) + "(\"" + text.left(24) + "\" " +
               QString("%1,%2 %3x%4").arg(g.x()).arg(g.y()).arg(g.width()).arg(g.height()) + ")";
    };
    auto shown = [root](const QWidget* widget) { return widget->isVisibleTo(root) && !widget->isWindow(); };
    for (const QWidget* widget : root->findChildren<QWidget*>()) {
        if (!shown(widget)) {
            continue;
        }
        const QWidget* parent = widget->parentWidget();
        const bool inScrollArea = parent &&
                                  qobject_cast<const QAbstractScrollArea*>(parent->parentWidget()) &&
                                  parent->objectName() == QLatin1String("qt_scrollarea_viewport");
        if (!inScrollArea && parent && !parent->rect().contains(widget->geometry())) {
            problems.append(name(widget) + " reaches out of " + name(parent));
        }
        const QSize least = widget->minimumSizeHint();
        if (widget->layout() == nullptr && least.isValid() &&
            (widget->width() < least.width() || widget->height() < least.height()) &&
            widget->sizePolicy().horizontalPolicy() != QSizePolicy::Ignored) {
            problems.append(name(widget) + " squeezed below its least size");
        }
        if (const auto* label = qobject_cast<const ElidedLabel*>(widget); label && label->isElided()) {
            problems.append(name(widget) + " cut: " + label->text());
        }
        if (inScrollArea || !parent) {
            continue;
        }
        for (const QObject* other : parent->children()) {
            const auto* sibling = qobject_cast<const QWidget*>(other);
            if (sibling && sibling < widget && shown(sibling) &&
                sibling->geometry().intersects(widget->geometry())) {
                problems.append(name(widget) + " overlaps " + name(sibling));
            }
        }
    }
    return problems;
}
} // namespace

class ReportWindowsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<AppStateFixture> m_app;
    std::unique_ptr<FakeUsageDayLoader> m_loader;
    std::unique_ptr<ReportContext> m_context;
    std::unique_ptr<ReportWindowManager> m_windows;
    std::unique_ptr<AppUsageReportOpener> m_reports;

    enum class Which { report, dashboard, timeline };

    QWidget* open(Which which) {
        switch (which) {
        case Which::report:
            m_reports->showReport();
            return m_reports->window();
        case Which::dashboard:
            m_windows->openDashboard();
            return m_windows->dashboardWindow();
        case Which::timeline:
            m_windows->openTimeline();
            return m_windows->timelineWindow();
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() { pinZoneAndLocale(); }

    void init() {
        m_app = std::make_unique<AppStateFixture>(at(QStringLiteral("18:00")));
        m_loader = std::make_unique<FakeUsageDayLoader>();
        m_loader->dates = {day().addDays(-1)};
        m_loader->summaries.insert(day(), FakeUsageDayLoader::summaryWith(day(), 1));
        m_loader->summaries.insert(day().addDays(-1), FakeUsageDayLoader::summaryWith(day().addDays(-1), 2));
        m_context = std::make_unique<ReportContext>();
        fillReportContext(*m_context, m_app->state());
        m_context->loader = m_loader.get();
        m_windows = std::make_unique<ReportWindowManager>(*m_context);
        m_reports = std::make_unique<AppUsageReportOpener>(*m_context, *m_windows);
    }

    void cleanup() {
        m_reports.reset();
        m_windows.reset();
        m_context.reset();
        m_loader.reset();
        m_app.reset();
    }

    void windows_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QSize>("minimumSize");
        // The least sizes: each window grows to what its content needs.
        QTest::newRow("report") << int(Which::report) << "App Usage Report" << QSize(700, 500)
                                << QSize(500, 400);
        QTest::newRow("dashboard") << int(Which::dashboard) << "Dashboard" << QSize(900, 600)
                                   << QSize(700, 400);
        QTest::newRow("timeline") << int(Which::timeline) << "Day Planning Timeline" << QSize(1100, 600)
                                  << QSize(900, 500);
    }

    // The report opens at a size that holds both tabs (within the screen): at that size no widget of
    // either tab lies over another, reaches out of its parent or is cut, also with the day planned.
    void tabsFitAtTheOpeningSize() {
        DailyUsageSummary busy{day(), {}, std::nullopt, std::nullopt};
        const QStringList apps{"Editor", "Browser", "Terminal", "Mail", "Chat"};
        for (qsizetype i = 0; i < apps.size(); ++i) {
            busy.sessions.append(session(onHeap(u"org.example.") + apps[i].toLower(), apps[i],
                                         at(QString("%1:00").arg(8 + i, 2, 10, QChar('0'))),
                                         at(QString("%1:40").arg(8 + i, 2, 10, QChar('0')))));
        }
        m_loader->summaries.insert(day(), busy);
        QPointer<QWidget> window = open(Which::report);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto* report = qobject_cast<AppUsageReportView*>(window.data());
        QVERIFY(report);
        QTRY_VERIFY(!report->findChildren<ElidedLabel*>(QStringLiteral("appName")).isEmpty());
        settleEvents(5);
        const QSize opened = window->size();
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(window->frameGeometry()) || window->frameGeometry().size() == area.size());
        QVERIFY(opened.width() >= window->minimumSizeHint().width());
        QStringList problems = layoutProblems(window);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n")));

        DayPlanningState& plan = *m_app->state().dayPlanningState();
        report->setSelectedTab(ReportTab::planning);
        QTRY_VERIFY(report->planningView() && report->planningView()->isVisible());
        QVERIFY(plan.addDroppedTask(
            DraggableTask{onHeap(u"a1"), onHeap(u"Acme - Website relaunch"), onHeap(u"Acme"), 3600},
            plan.selectedDate().addSecs(3600)));
        settleEvents(5);
        QCOMPARE(window->size(), opened);
        problems = layoutProblems(window);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n")));
        // Down to its least size the planning screen still holds together.
        window->resize(window->minimumSize());
        settleEvents(5);
        problems = layoutProblems(report->planningView());
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join("\n")));
    }

    // Open, raised while open, freed on close, made afresh after.
    void windows() {
        QFETCH(int, which);
        QFETCH(QString, title);
        QFETCH(QSize, size);
        QFETCH(QSize, minimumSize);
        QPointer<QWidget> window = open(Which(which));
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QCOMPARE(window->windowTitle(), title);
        const QSize opened = window->size();
        const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
        QCOMPARE(
            opened,
            size.expandedTo(window->sizeHint()).expandedTo(window->minimumSizeHint()).boundedTo(available));
        QCOMPARE(window->minimumSize(),
                 minimumSize.expandedTo(window->minimumSizeHint()).boundedTo(available));
        QVERIFY(window->isWindow());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(area.contains(window->geometry().center(), true));
        QVERIFY(qAbs(window->geometry().center().x() - area.center().x()) <= 1);

        // Another request raises the same window.
        window->resize(opened + QSize(40, 30));
        QCOMPARE(open(Which(which)), window.data());
        QCOMPARE(windowsTitled(title), 1);
        QCOMPARE(window->size(), opened + QSize(40, 30));
        QTRY_VERIFY(window->isActiveWindow());

        // Closing frees it; the next request makes a new one.
        window->close();
        QTRY_VERIFY(window.isNull());
        QPointer<QWidget> again = open(Which(which));
        QVERIFY(again);
        QCOMPARE(again->size(), opened);
        QCOMPARE(windowsTitled(title), 1);
    }

    void reopenedReportStartsAfresh() {
        m_reports->showReport();
        QPointer<AppUsageReportView> report = m_reports->window();
        QTRY_COMPARE(report->dashboardTab()->dateRows().size(), 2);
        report->setSelectedTab(ReportTab::planning);
        report->state().selectDate(day().addDays(-1));
        QTRY_VERIFY(!report->state().isLoading());

        // Raised: tab and day kept.
        m_reports->showReport();
        QCOMPARE(m_reports->window(), report.data());
        QCOMPARE(report->selectedTab(), ReportTab::planning);
        QCOMPARE(report->state().selectedDate(), day().addDays(-1));

        QTest::mouseClick(report->doneButton(), Qt::LeftButton);
        QTRY_VERIFY(report.isNull());
        m_reports->showReport();
        AppUsageReportView* fresh = m_reports->window();
        QVERIFY(fresh);
        QCOMPARE(fresh->selectedTab(), ReportTab::dashboard);
        QTRY_VERIFY(fresh->state().selectedSummary().has_value());
        QCOMPARE(fresh->state().selectedDate(), day());
    }

    void sideBySide() {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen->geometry().size() != QSize(1920, 1080)) {
            QSKIP("needs the 1920x1080 screen of scripts/test-env.sh");
        }
        const QRect area = screen->availableGeometry();
        // A dashboard already open stays the same window and is moved.
        m_windows->openDashboard();
        QPointer<QWidget> dashboard = m_windows->dashboardWindow();
        QVERIFY(QTest::qWaitForWindowExposed(dashboard));

        m_windows->openSideBySide();
        QCOMPARE(m_windows->dashboardWindow(), dashboard.data());
        QWidget* timeline = m_windows->timelineWindow();
        QVERIFY(timeline);
        QVERIFY(QTest::qWaitForWindowExposed(timeline));
        const int half = area.width() / 2;
        QTRY_COMPARE(dashboard->frameGeometry(), QRect(area.left(), area.top(), half, area.height()));
        QTRY_COMPARE(timeline->frameGeometry(), QRect(area.left() + half, area.top(), half, area.height()));
        QCOMPARE(windowsTitled(QStringLiteral("Dashboard")), 1);
        QCOMPARE(windowsTitled(QStringLiteral("Day Planning Timeline")), 1);
    }

    void reportButtonsOpenTheSeparateWindows() {
        m_reports->showReport();
        AppUsageReportView* report = m_reports->window();
        QCOMPARE(report->separateWindowButton()->toolTip(), QStringLiteral("Open in separate window"));
        QCOMPARE(report->sideBySideButton()->toolTip(), QStringLiteral("Open both views side by side"));

        QTest::mouseClick(report->separateWindowButton(), Qt::LeftButton);
        QVERIFY(qobject_cast<StandaloneDashboardView*>(m_windows->dashboardWindow()));
        QVERIFY(!m_windows->timelineWindow());
        // The dashboard window keeps its own day: today, whatever the report shows.
        report->state().selectDate(day().addDays(-1));
        auto* dashboard = qobject_cast<StandaloneDashboardView*>(m_windows->dashboardWindow());
        QTRY_VERIFY(dashboard->state().selectedSummary().has_value());
        QCOMPARE(dashboard->state().selectedDate(), day());
        QCOMPARE(dashboard->findChild<QLabel*>(QStringLiteral("headerDate"))->text(),
                 QStringLiteral("14 March 2025"));

        report->setSelectedTab(ReportTab::planning);
        QTest::mouseClick(report->separateWindowButton(), Qt::LeftButton);
        auto* timeline = qobject_cast<StandaloneTimelineView*>(m_windows->timelineWindow());
        QVERIFY(timeline);
        QCOMPARE(timeline->dateLabel()->text(), QStringLiteral("14 March 2025"));

        m_windows->dashboardWindow()->close();
        m_windows->timelineWindow()->close();
        QTRY_VERIFY(!m_windows->dashboardWindow() && !m_windows->timelineWindow());
        QTest::mouseClick(report->sideBySideButton(), Qt::LeftButton);
        QVERIFY(m_windows->dashboardWindow() && m_windows->timelineWindow());
    }

    // What the windows filled goes back once, after the last of the three has been freed: not on
    // each close, not while a window is open (one replaced by a new one included).
    void memoryGoesBackAfterTheLastWindow() {
        int releases = 0;
        m_windows->setMemoryRelease([&releases] { ++releases; });
        m_windows->setReleaseDelay(std::chrono::milliseconds(0));
        m_reports->showReport();
        m_windows->openSideBySide();
        QPointer<QWidget> report = m_reports->window();
        QPointer<QWidget> dashboard = m_windows->dashboardWindow();
        QPointer<QWidget> timeline = m_windows->timelineWindow();
        QVERIFY(QTest::qWaitForWindowExposed(timeline));

        report->close();
        QTRY_VERIFY(report.isNull());
        // A hidden window is replaced when asked for again: the old one goes, the new one is open.
        dashboard->hide();
        m_windows->openDashboard();
        QTRY_VERIFY(dashboard.isNull());
        dashboard = m_windows->dashboardWindow();
        QVERIFY(dashboard);
        dashboard->close();
        QTRY_VERIFY(dashboard.isNull());
        settleEvents(5);
        QCOMPARE(releases, 0);

        timeline->close();
        QTRY_COMPARE(releases, 1);
        settleEvents(5);
        QCOMPARE(releases, 1);

        // The report window counts too.
        m_reports->showReport();
        m_windows->openDashboard();
        m_windows->dashboardWindow()->close();
        settleEvents(5);
        QCOMPARE(releases, 1);
        m_reports->window()->close();
        QTRY_COMPARE(releases, 2);

        // Closed together: once.
        m_windows->openSideBySide();
        m_windows->dashboardWindow()->close();
        m_windows->timelineWindow()->close();
        QTRY_COMPARE(releases, 3);
        settleEvents(5);
        QCOMPARE(releases, 3);
    }

    // Not before the delay has passed with no report window open: a window opened again within it
    // finds the memory still there.
    void memoryGoesBackAfterTheDelay() {
        int releases = 0;
        m_windows->setMemoryRelease([&releases] { ++releases; });
        m_windows->setReleaseDelay(std::chrono::milliseconds(2000));
        m_windows->openDashboard();
        QPointer<QWidget> dashboard = m_windows->dashboardWindow();
        dashboard->close();
        QTRY_VERIFY(dashboard.isNull());
        settleEvents(5);
        QCOMPARE(releases, 0);

        m_reports->showReport();
        QTest::qWait(2500);
        QCOMPARE(releases, 0);
        m_reports->window()->close();
        QTRY_COMPARE(releases, 1);
    }

    void viewFullReportOpensTheReport() {
        m_app->settings.setIsAppUsageTrackingEnabled(true);
        m_app->loadConfiguration();
        AppUsageSection section;
        MenuBarView::bindAppUsageSection(section, m_app->state());
        section.show();
        // Without an opener there is no button.
        QVERIFY(!section.findChild<QToolButton*>(QStringLiteral("viewFullReportButton")));

        AppUsageReportOpener* reports = m_reports.get();
        section.setReportOpener([reports] { reports->showReport(); });
        auto* button = section.findChild<QToolButton*>(QStringLiteral("viewFullReportButton"));
        QVERIFY(button);
        QTRY_VERIFY(button->isVisibleTo(&section));
        QCOMPARE(button->text(), QStringLiteral("View Full Report"));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(m_reports->window());
        QVERIFY(m_reports->window()->isVisible());
        QCOMPARE(m_reports->window()->windowTitle(), QStringLiteral("App Usage Report"));
        // Again: the same window.
        QPointer<AppUsageReportView> first = m_reports->window();
        QTest::mouseClick(section.findChild<QToolButton*>(QStringLiteral("viewFullReportButton")),
                          Qt::LeftButton);
        QCOMPARE(m_reports->window(), first.data());
        QCOMPARE(windowsTitled(QStringLiteral("App Usage Report")), 1);
    }
};

PENDLOW_TEST_MAIN(ReportWindowsTest)
#include "tst_ReportWindows.moc"
