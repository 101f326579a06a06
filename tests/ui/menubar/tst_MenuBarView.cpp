// The popover's frame against the real root state over fakes: its size from the stored height and
// the resize handle, the tab rule and the tab bar, and the filter field. With
// PENDLOW_POPOVER_SCREENSHOTS set to a folder, the "screenshots" case saves PNGs of the popover there.
#include "core/UserDefaultsService.h"
#include "services/alerts/SilentMode.h"
#include "services/usage/AppUsageSwitch.h"
#include "support/AppStateFixture.h"
#include "support/ClickUpSamples.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "ui/kit/ResizeHandle.h"
#include "ui/kit/SearchField.h"
#include "ui/menubar/ContentTabBar.h"
#include "ui/menubar/ContentTabButton.h"
#include "ui/menubar/FooterView.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PlanningSection.h"
#include "ui/menubar/WorklogSection.h"

#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace {
const QDateTime kNoon(QDate(2026, 3, 2), QTime(12, 0));

ClickUpSearchResult found(const QString& id, const QString& name) {
    ClickUpSearchResult result;
    result.id = id;
    result.name = name;
    result.listName = QStringLiteral("Backlog");
    result.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/") + id);
    return result;
}

TimeEntry entry(const QString& id, const QString& name, const QDateTime& start, qint64 minutes) {
    TimeEntry e = finishedEntry(id, start, minutes);
    e.taskName = name;
    e.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/t-") + id);
    e.status = TaskStatus::inProgress;
    return e;
}
} // namespace

class MenuBarViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;

    AppState& state() { return m_fixture->state(); }

    static UserDefaultsService& shared() { return UserDefaultsService::shared(); }

    void setTracking(bool active) {
        m_fixture->settings.setIsAppUsageTrackingEnabled(active);
        QVERIFY(awaitTask(state().loadConfiguration()).finished);
        QCOMPARE(state().appUsageSwitch().isActive(), active);
    }

    static bool shows(const MenuBarView& view, const QWidget* widget) { return widget->isVisibleTo(&view); }
    static bool showsContainerOf(const MenuBarView& view, const QWidget* widget) {
        return widget->parentWidget()->isVisibleTo(&view);
    }

    static void dragHandle(ResizeHandle* handle, qreal dy) {
        const QPointF from = handle->mapToGlobal(QPointF(170, 6));
        const QPointF to = from + QPointF(0, dy);
        QMouseEvent press(QEvent::MouseButtonPress, handle->mapFromGlobal(from), from, Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &press);
        QMouseEvent move(QEvent::MouseMove, handle->mapFromGlobal(to), to, Qt::NoButton, Qt::LeftButton,
                         Qt::NoModifier);
        QApplication::sendEvent(handle, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, handle->mapFromGlobal(to), to, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(handle, &release);
    }

private Q_SLOTS:
    void init() {
        shared().remove(MenuBarView::popoverHeightKey);
        shared().remove(MenuBarView::selectedTabKey);
        m_fixture = std::make_unique<AppStateFixture>(kNoon);
        m_fixture->configureClickUp();
    }

    void cleanup() { m_fixture.reset(); }

    // --- size ---

    void sizeFollowsTheStoredHeight_data() {
        QTest::addColumn<QVariant>("stored"); // invalid: unset
        QTest::addColumn<int>("height");
        QTest::newRow("unset") << QVariant() << 450;
        QTest::newRow("600") << QVariant(600.0) << 600;
        QTest::newRow("above the bounds") << QVariant(1000.0) << 800;
        QTest::newRow("below the bounds") << QVariant(120) << 300;
        QTest::newRow("not a number") << QVariant(QStringLiteral("tall")) << 450;
    }

    void sizeFollowsTheStoredHeight() {
        QFETCH(QVariant, stored);
        QFETCH(int, height);
        shared().setValue(MenuBarView::popoverHeightKey, stored);
        MenuBarView view(state(), UserDefaultsService::shared());
        QCOMPARE(view.sizeHint(), QSize(340, height));
        QCOMPARE(view.size(), QSize(340, height));
        // Showing a stored value does not write it back.
        QCOMPARE(shared().value(MenuBarView::popoverHeightKey), stored);

        // A height stored elsewhere is followed at once.
        shared().setValue(MenuBarView::popoverHeightKey, 512.0);
        QCOMPARE(view.height(), 512);
    }

    void squeezedByItsWindowTheFooterStaysInside() {
        shared().setValue(MenuBarView::popoverHeightKey, 700.0);
        QWidget window;
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* view = new MenuBarView(state(), UserDefaultsService::shared(), &window);
        layout->addWidget(view);
        window.setFixedSize(340, 360);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QRect footer(view->footerView()->mapTo(&window, QPoint(0, 0)), view->footerView()->size());
        QVERIFY2(window.rect().contains(footer), qPrintable(QStringLiteral("footer at %1,%2 %3x%4")
                                                                .arg(footer.x())
                                                                .arg(footer.y())
                                                                .arg(footer.width())
                                                                .arg(footer.height())));
        QVERIFY(view->scrollArea()->height() < 700 - 360);
    }

    void draggingTheHandleStoresTheHeight() {
        MenuBarView view(state(), UserDefaultsService::shared());
        view.show();
        dragHandle(view.resizeHandle(), 60);
        QCOMPARE(shared().value(MenuBarView::popoverHeightKey).toDouble(), 510.0);
        QCOMPARE(view.height(), 510);

        dragHandle(view.resizeHandle(), 1000);
        QCOMPARE(shared().value(MenuBarView::popoverHeightKey).toDouble(), 800.0);
        QCOMPARE(view.height(), 800);
        QCOMPARE(MenuBarView(state(), UserDefaultsService::shared()).height(), 800);
    }

    // --- tabs ---

    void effectiveTab_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("tracking");
        QTest::addColumn<ContentTab>("tab");
        QTest::newRow("planning") << QStringLiteral("planning") << true << ContentTab::planning;
        QTest::newRow("activity while tracking")
            << QStringLiteral("activity") << true << ContentTab::activity;
        QTest::newRow("activity without tracking")
            << QStringLiteral("activity") << false << ContentTab::planning;
        QTest::newRow("empty") << QString() << true << ContentTab::planning;
        QTest::newRow("unknown") << QStringLiteral("reports") << true << ContentTab::planning;
        QTest::newRow("other case") << QStringLiteral("Activity") << true << ContentTab::planning;
    }

    void effectiveTab() {
        QFETCH(QString, stored);
        QFETCH(bool, tracking);
        QFETCH(ContentTab, tab);
        QCOMPARE(ContentTabs::effective(stored, tracking), tab);
    }

    void withoutTrackingOnlyTheTimesheetShows() {
        MenuBarView::setSelectedTab(UserDefaultsService::shared(), QStringLiteral("activity"));
        MenuBarView view(state(), UserDefaultsService::shared());
        QCOMPARE(view.effectiveTab(), ContentTab::planning);
        QVERIFY(!showsContainerOf(view, view.tabBar()));
        QVERIFY(view.tabBar()->buttons().isEmpty());
        QVERIFY(showsContainerOf(view, view.searchField()));
        QVERIFY(shows(view, view.worklogSection()));
        QVERIFY(shows(view, view.planningSection()));
        QVERIFY(!shows(view, view.activityContent()));
        // The choice is kept for when tracking comes back.
        QCOMPARE(MenuBarView::selectedTab(UserDefaultsService::shared()), QStringLiteral("activity"));

        setTracking(true);
        QCOMPARE(view.effectiveTab(), ContentTab::activity);
        QVERIFY(showsContainerOf(view, view.tabBar()));
        QVERIFY(shows(view, view.activityContent()));
        QVERIFY(!shows(view, view.worklogSection()));
    }

    void activityTabHidesTheFilterButKeepsItsText() {
        setTracking(true);
        state().searchState()->setSearchText(QStringLiteral("invoice"));
        MenuBarView view(state(), UserDefaultsService::shared());
        QCOMPARE(view.tabBar()->buttons().size(), 2);
        ContentTabButton* timesheet = view.tabBar()->buttons().at(0);
        ContentTabButton* activity = view.tabBar()->buttons().at(1);
        QCOMPARE(timesheet->text(), QStringLiteral("Timesheet"));
        QCOMPARE(activity->text(), QStringLiteral("Activity"));
        QVERIFY(timesheet->isSelected());
        QVERIFY(!activity->isSelected());

        activity->click();
        QCOMPARE(MenuBarView::selectedTab(UserDefaultsService::shared()), QStringLiteral("activity"));
        QCOMPARE(view.effectiveTab(), ContentTab::activity);
        QVERIFY(activity->isSelected());
        QVERIFY(!timesheet->isSelected());
        QVERIFY(!showsContainerOf(view, view.searchField()));
        QCOMPARE(state().searchState()->searchText(), QStringLiteral("invoice"));

        timesheet->click();
        QCOMPARE(MenuBarView::selectedTab(UserDefaultsService::shared()), QStringLiteral("planning"));
        QVERIFY(showsContainerOf(view, view.searchField()));
        QCOMPARE(view.searchField()->lineEdit()->text(), QStringLiteral("invoice"));
    }

    void unknownStoredTabHighlightsNeitherButton() {
        setTracking(true);
        MenuBarView::setSelectedTab(UserDefaultsService::shared(), QStringLiteral("reports"));
        MenuBarView view(state(), UserDefaultsService::shared());
        QCOMPARE(view.effectiveTab(), ContentTab::planning);
        QVERIFY(shows(view, view.worklogSection()));
        QCOMPARE(view.tabBar()->buttons().size(), 2);
        for (ContentTabButton* button : view.tabBar()->buttons()) {
            QVERIFY(!button->isSelected());
        }
    }

    // --- filter field ---

    void typingFiltersAndSearchesClearEmptiesBoth() {
        m_fixture->clickUp.searchResults = {found(QStringLiteral("a1"), QStringLiteral("Invoice run"))};
        MenuBarView view(state(), UserDefaultsService::shared());
        SearchField* field = view.searchField();
        QCOMPARE(field->lineEdit()->placeholderText(), QStringLiteral("Filter tasks..."));
        QVERIFY(!field->clearButton()->isVisibleTo(field));

        QTest::keyClicks(field->lineEdit(), QStringLiteral("inv"));
        QCOMPARE(state().searchState()->searchText(), QStringLiteral("inv"));
        QVERIFY(field->clearButton()->isVisibleTo(field));
        QTRY_COMPARE(state().searchState()->clickUpResults().size(), 1);
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::searchTasksOp), 1);
        QCOMPARE(m_fixture->clickUp.calls(FakeClickUpAPI::searchTasksOp).at(0).teamId,
                 AppStateFixture::teamId);
        QCOMPARE(m_fixture->clickUp.calls(FakeClickUpAPI::searchTasksOp).at(0).query, QStringLiteral("inv"));

        field->clearButton()->click();
        QCOMPARE(state().searchState()->searchText(), QString());
        QVERIFY(state().searchState()->clickUpResults().isEmpty());
        QCOMPARE(field->lineEdit()->text(), QString());
        QVERIFY(!field->clearButton()->isVisibleTo(field));
    }

    void fieldFollowsTextSetElsewhere() {
        MenuBarView view(state(), UserDefaultsService::shared());
        state().searchState()->setSearchText(QStringLiteral("from day planning"));
        QCOMPARE(view.searchField()->lineEdit()->text(), QStringLiteral("from day planning"));
        QVERIFY(view.searchField()->clearButton()->isVisibleTo(view.searchField()));
        state().searchState()->clearSearch();
        QCOMPARE(view.searchField()->lineEdit()->text(), QString());
    }

    // --- pictures for a person to look at ---

    void screenshots() {
        const QString folder = qEnvironmentVariable("PENDLOW_POPOVER_SCREENSHOTS");
        if (folder.isEmpty()) {
            QSKIP("set PENDLOW_POPOVER_SCREENSHOTS to a folder to save pictures of the popover");
        }
        QVERIFY(QDir().mkpath(folder));
        state().worklogState()->setTimeEntries(
            {entry(QStringLiteral("1"), QStringLiteral("Client - Fix login redirect"),
                   kNoon.addSecs(-3 * 3600), 95),
             entry(QStringLiteral("2"), QStringLiteral("Weekly planning meeting"), kNoon.addSecs(-5600),
                   30)});

        state().timerState()->setError(APIError::httpError(401, QStringLiteral("Token invalid")));
        MenuBarView idle(state(), UserDefaultsService::shared());
        idle.show();
        QVERIFY(QTest::qWaitForWindowExposed(&idle));
        QVERIFY(idle.grab().save(QDir(folder).filePath(QStringLiteral("popover-idle.png"))));
        idle.hide();

        state().timerState()->setActiveTimer(ActiveTimer{
            QStringLiteral("timer-1"), QStringLiteral("86abc12"),
            QStringLiteral("Client - Rework the invoice export so that totals include the discounts"),
            QUrl(QStringLiteral("https://app.clickup.com/t/86abc12")), kNoon.addSecs(-(3600 + 25 * 60))});
        setTracking(true);
        QVERIFY(awaitTask(state().silentMode().enable(4 * 3600)).finished);
        state().searchState()->setSearchText(QStringLiteral("invoice"));
        MenuBarView running(state(), UserDefaultsService::shared());
        running.show();
        QVERIFY(QTest::qWaitForWindowExposed(&running));
        QVERIFY(running.grab().save(QDir(folder).filePath(QStringLiteral("popover-running.png"))));
    }
};

PENDLOW_TEST_MAIN(MenuBarViewTest)
#include "tst_MenuBarView.moc"
