// The popover's frame against the real root state over fakes: its size from the stored height and
// the resize handle, the tab rule and the tab bar, and the filter field. With
// PENDLOW_POPOVER_SCREENSHOTS set to a folder, the "screenshots" case saves PNGs of the popover there.
#include "support/FakeClickUpAPI.h"
#include "support/FakeClock.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeNotificationService.h"
#include "support/FakeToastAlertService.h"
#include "support/FakeToolsAPI.h"
#include "support/InMemoryKeychain.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "app/AppState.h"
#include "app/KeychainItem.h"
#include "app/UserDefaultsService.h"
#include "menubar/ContentTabBar.h"
#include "menubar/ContentTabButton.h"
#include "menubar/FooterView.h"
#include "menubar/MenuBarView.h"
#include "menubar/ResizeHandle.h"
#include "menubar/SearchField.h"
#include "menubar/WorklogSection.h"
#include "planning/PlanningSection.h"

#include <QDir>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

namespace {
const QDateTime kNoon(QDate(2026, 3, 2), QTime(12, 0));
const QString kTeam = QStringLiteral("9001");

ClickUpSearchResult found(const QString& id, const QString& name) {
    ClickUpSearchResult result;
    result.id = id;
    result.name = name;
    result.listName = QStringLiteral("Backlog");
    result.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/") + id);
    return result;
}

TimeEntry entry(const QString& id, const QString& name, const QDateTime& start, qint64 minutes) {
    TimeEntry e;
    e.id = id;
    e.taskId = QStringLiteral("t-") + id;
    e.taskName = name;
    e.taskUrl = QUrl(QStringLiteral("https://app.clickup.com/t/t-") + id);
    e.status = TaskStatus::inProgress;
    e.startTime = start;
    e.duration = double(minutes * 60 * 1000);
    e.endTime = start.addMSecs(qint64(e.duration));
    return e;
}
} // namespace

class MenuBarViewTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    int m_round = 0;
    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<UserDefaultsService> m_settings;
    std::unique_ptr<InMemoryKeychain> m_keychain;
    std::unique_ptr<FakeClickUpAPI> m_api;
    std::unique_ptr<FakeToolsAPI> m_tools;
    std::unique_ptr<FakeNotificationService> m_notifications;
    std::unique_ptr<FakeToastAlertService> m_toasts;
    std::unique_ptr<FakeFloatingAlertService> m_panels;
    std::unique_ptr<AppState> m_state;

    static UserDefaultsService& shared() { return UserDefaultsService::shared(); }

    void setTracking(bool active) {
        m_settings->setIsAppUsageTrackingEnabled(active);
        QVERIFY(awaitTask(m_state->loadConfiguration()).finished);
        QCOMPARE(m_state->appUsageTrackingActive(), active);
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
        m_clock = std::make_unique<FakeClock>(kNoon);
        m_settings =
            std::make_unique<UserDefaultsService>(m_dir.filePath(QStringLiteral("s%1.conf").arg(++m_round)));
        m_keychain = std::make_unique<InMemoryKeychain>();
        m_keychain->putItem(KeychainItem::clickUpAPIToken, QStringLiteral("pk_1_token"));
        m_settings->setTeamId(kTeam);
        m_api = std::make_unique<FakeClickUpAPI>();
        m_tools = std::make_unique<FakeToolsAPI>();
        m_notifications = std::make_unique<FakeNotificationService>();
        m_toasts = std::make_unique<FakeToastAlertService>();
        m_panels = std::make_unique<FakeFloatingAlertService>();
        m_state = std::make_unique<AppState>(*m_api, *m_tools, *m_keychain, *m_settings, *m_notifications,
                                             m_toasts.get(), m_panels.get());
        QVERIFY(awaitTask(m_state->loadConfiguration()).finished);
    }

    void cleanup() {
        m_state.reset();
        m_clock.reset();
    }

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
        MenuBarView view(*m_state);
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
        auto* view = new MenuBarView(*m_state, &window);
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
        MenuBarView view(*m_state);
        view.show();
        dragHandle(view.resizeHandle(), 60);
        QCOMPARE(shared().value(MenuBarView::popoverHeightKey).toDouble(), 510.0);
        QCOMPARE(view.height(), 510);

        dragHandle(view.resizeHandle(), 1000);
        QCOMPARE(shared().value(MenuBarView::popoverHeightKey).toDouble(), 800.0);
        QCOMPARE(view.height(), 800);
        QCOMPARE(MenuBarView(*m_state).height(), 800);
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
        MenuBarView::setSelectedTab(QStringLiteral("activity"));
        MenuBarView view(*m_state);
        QCOMPARE(view.effectiveTab(), ContentTab::planning);
        QVERIFY(!showsContainerOf(view, view.tabBar()));
        QVERIFY(view.tabBar()->buttons().isEmpty());
        QVERIFY(showsContainerOf(view, view.searchField()));
        QVERIFY(shows(view, view.worklogSection()));
        QVERIFY(shows(view, view.planningSection()));
        QVERIFY(!shows(view, view.activityContent()));
        // The choice is kept for when tracking comes back.
        QCOMPARE(MenuBarView::selectedTab(), QStringLiteral("activity"));

        setTracking(true);
        QCOMPARE(view.effectiveTab(), ContentTab::activity);
        QVERIFY(showsContainerOf(view, view.tabBar()));
        QVERIFY(shows(view, view.activityContent()));
        QVERIFY(!shows(view, view.worklogSection()));
    }

    void activityTabHidesTheFilterButKeepsItsText() {
        setTracking(true);
        m_state->searchState()->setSearchText(QStringLiteral("invoice"));
        MenuBarView view(*m_state);
        QCOMPARE(view.tabBar()->buttons().size(), 2);
        ContentTabButton* timesheet = view.tabBar()->buttons().at(0);
        ContentTabButton* activity = view.tabBar()->buttons().at(1);
        QCOMPARE(timesheet->text(), QStringLiteral("Timesheet"));
        QCOMPARE(activity->text(), QStringLiteral("Activity"));
        QVERIFY(timesheet->isSelected());
        QVERIFY(!activity->isSelected());

        activity->click();
        QCOMPARE(MenuBarView::selectedTab(), QStringLiteral("activity"));
        QCOMPARE(view.effectiveTab(), ContentTab::activity);
        QVERIFY(activity->isSelected());
        QVERIFY(!timesheet->isSelected());
        QVERIFY(!showsContainerOf(view, view.searchField()));
        QCOMPARE(m_state->searchState()->searchText(), QStringLiteral("invoice"));

        timesheet->click();
        QCOMPARE(MenuBarView::selectedTab(), QStringLiteral("planning"));
        QVERIFY(showsContainerOf(view, view.searchField()));
        QCOMPARE(view.searchField()->lineEdit()->text(), QStringLiteral("invoice"));
    }

    void unknownStoredTabHighlightsNeitherButton() {
        setTracking(true);
        MenuBarView::setSelectedTab(QStringLiteral("reports"));
        MenuBarView view(*m_state);
        QCOMPARE(view.effectiveTab(), ContentTab::planning);
        QVERIFY(shows(view, view.worklogSection()));
        QCOMPARE(view.tabBar()->buttons().size(), 2);
        for (ContentTabButton* button : view.tabBar()->buttons()) {
            QVERIFY(!button->isSelected());
        }
    }

    // --- filter field ---

    void typingFiltersAndSearchesClearEmptiesBoth() {
        m_api->searchResults = {found(QStringLiteral("a1"), QStringLiteral("Invoice run"))};
        MenuBarView view(*m_state);
        SearchField* field = view.searchField();
        QCOMPARE(field->lineEdit()->placeholderText(), QStringLiteral("Filter tasks..."));
        QVERIFY(!field->clearButton()->isVisibleTo(field));

        QTest::keyClicks(field->lineEdit(), QStringLiteral("inv"));
        QCOMPARE(m_state->searchState()->searchText(), QStringLiteral("inv"));
        QVERIFY(field->clearButton()->isVisibleTo(field));
        QTRY_COMPARE(m_state->searchState()->clickUpResults().size(), 1);
        QCOMPARE(m_api->callCount(FakeClickUpAPI::searchTasksOp), 1);
        QCOMPARE(m_api->calls(FakeClickUpAPI::searchTasksOp).at(0).teamId, kTeam);
        QCOMPARE(m_api->calls(FakeClickUpAPI::searchTasksOp).at(0).query, QStringLiteral("inv"));

        field->clearButton()->click();
        QCOMPARE(m_state->searchState()->searchText(), QString());
        QVERIFY(m_state->searchState()->clickUpResults().isEmpty());
        QCOMPARE(field->lineEdit()->text(), QString());
        QVERIFY(!field->clearButton()->isVisibleTo(field));
    }

    void fieldFollowsTextSetElsewhere() {
        MenuBarView view(*m_state);
        m_state->searchState()->setSearchText(QStringLiteral("from day planning"));
        QCOMPARE(view.searchField()->lineEdit()->text(), QStringLiteral("from day planning"));
        QVERIFY(view.searchField()->clearButton()->isVisibleTo(view.searchField()));
        m_state->searchState()->clearSearch();
        QCOMPARE(view.searchField()->lineEdit()->text(), QString());
    }

    // --- pictures for a person to look at ---

    void screenshots() {
        const QString folder = qEnvironmentVariable("PENDLOW_POPOVER_SCREENSHOTS");
        if (folder.isEmpty()) {
            QSKIP("set PENDLOW_POPOVER_SCREENSHOTS to a folder to save pictures of the popover");
        }
        QVERIFY(QDir().mkpath(folder));
        m_state->worklogState()->setTimeEntries(
            {entry(QStringLiteral("1"), QStringLiteral("Client - Fix login redirect"),
                   kNoon.addSecs(-3 * 3600), 95),
             entry(QStringLiteral("2"), QStringLiteral("Weekly planning meeting"), kNoon.addSecs(-5600),
                   30)});

        m_state->timerState()->setError(APIError::httpError(401, QStringLiteral("Token invalid")));
        MenuBarView idle(*m_state);
        idle.show();
        QVERIFY(QTest::qWaitForWindowExposed(&idle));
        QVERIFY(idle.grab().save(QDir(folder).filePath(QStringLiteral("popover-idle.png"))));
        idle.hide();

        m_state->timerState()->setActiveTimer(ActiveTimer{
            QStringLiteral("timer-1"), QStringLiteral("86abc12"),
            QStringLiteral("Client - Rework the invoice export so that totals include the discounts"),
            QUrl(QStringLiteral("https://app.clickup.com/t/86abc12")), kNoon.addSecs(-(3600 + 25 * 60))});
        setTracking(true);
        QVERIFY(awaitTask(m_state->enableSilentMode(4 * 3600)).finished);
        m_state->searchState()->setSearchText(QStringLiteral("invoice"));
        MenuBarView running(*m_state);
        running.show();
        QVERIFY(QTest::qWaitForWindowExposed(&running));
        QVERIFY(running.grab().save(QDir(folder).filePath(QStringLiteral("popover-running.png"))));
    }
};

PENDLOW_TEST_MAIN(MenuBarViewTest)
#include "tst_MenuBarView.moc"
