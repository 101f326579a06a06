// The popover window: where it hangs from the tray item, its height setting, what showing and
// hiding it do to the root state, the refresh and the reminder windows, and how clicks on the tray
// item, a click outside it and Escape open and close it.
#include "core/UserDefaultsService.h"
#include "support/AppStateFixture.h"
#include "support/TestMain.h"

#include "platform/TrayIcon.h"
#include "platform/X11Windows.h"
#include "ui/menubar/MenuBarView.h"
#include "ui/menubar/PopoverWindow.h"

#include <QProcess>
#include <QSignalSpy>

#include <memory>

class PopoverWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;

    AppState& state() { return m_fixture->state(); }

    std::unique_ptr<PopoverWindow> makePopover() {
        return std::make_unique<PopoverWindow>(state(), UserDefaultsService::shared(), m_fixture->toasts,
                                               m_fixture->panels);
    }

    static QRect topRightItem() { return QRect(1800, 0, 24, 24); }

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<AppStateFixture>(); }

    void cleanup() { m_fixture.reset(); }

    void placementHangsFromTheItemWithinTheScreen_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");
        const QRect screen(0, 0, 1920, 1080);
        const QSize popover(340, 450);
        QTest::newRow("top panel, centred under the item")
            << QRect(1000, 0, 24, 24) << popover << screen << QRect(842, 24, 340, 450);
        QTest::newRow("top right corner, kept on screen")
            << QRect(1890, 0, 24, 24) << popover << screen << QRect(1580, 24, 340, 450);
        QTest::newRow("bottom panel, above the item")
            << QRect(20, 1050, 24, 30) << popover << screen << QRect(0, 600, 340, 450);
        QTest::newRow("a click point")
            << QRect(700, 10, 1, 1) << popover << screen << QRect(530, 11, 340, 450);
        QTest::newRow("taller than the screen: shortened")
            << QRect(1000, 0, 24, 24) << QSize(340, 800) << QRect(0, 30, 1280, 700)
            << QRect(842, 30, 340, 700);
        QTest::newRow("second screen, panel reserved at its top")
            << QRect(3000, 2, 20, 20) << popover << QRect(1920, 28, 1920, 1052) << QRect(2840, 28, 340, 450);
    }

    void placementHangsFromTheItemWithinTheScreen() {
        QFETCH(QRect, anchor);
        QFETCH(QSize, size);
        QFETCH(QRect, available);
        QTEST(PopoverWindow::placement(anchor, size, available), "expected");
    }

    // A StatusNotifierItem host gives only the click point. Without a work area (no window manager)
    // the screen's available area still holds the panel: the popover hangs from the panel's edge
    // at the click, not from the click, so it covers neither the panel nor the icon. With a work area
    // the available area already keeps it off the panel.
    void fromAClickPointThePopoverOpensClearOfThePanel_data() {
        QTest::addColumn<QPoint>("click");
        QTest::addColumn<QRect>("panel"); // the window under the click; empty: none
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("expected");
        const QRect screen(0, 0, 1920, 1080);
        const QRect topPanel(0, 0, 1920, 28);
        const QRect bottomPanel(0, 1052, 1920, 28);
        QTest::newRow("top panel, no work area: below the panel")
            << QPoint(1000, 14) << topPanel << screen << QRect(830, 28, 340, 450);
        QTest::newRow("bottom panel, no work area: above the panel")
            << QPoint(1000, 1066) << bottomPanel << screen << QRect(830, 602, 340, 450);
        QTest::newRow("top panel, with a work area")
            << QPoint(1000, 14) << QRect() << QRect(0, 28, 1920, 1052) << QRect(830, 28, 340, 450);
        QTest::newRow("bottom panel, with a work area")
            << QPoint(1000, 1066) << QRect() << QRect(0, 0, 1920, 1052) << QRect(830, 602, 340, 450);
        QTest::newRow("panel not at the click: the click")
            << QPoint(1000, 14) << QRect(0, 500, 1920, 28) << screen << QRect(830, 15, 340, 450);
        QTest::newRow("a large window under the click is no panel")
            << QPoint(1000, 14) << QRect(0, 0, 1920, 600) << screen << QRect(830, 15, 340, 450);
        QTest::newRow("vertical panel: the click")
            << QPoint(14, 300) << QRect(0, 0, 28, 1080) << screen << QRect(0, 301, 340, 450);
    }

    void fromAClickPointThePopoverOpensClearOfThePanel() {
        QFETCH(QPoint, click);
        QFETCH(QRect, panel);
        QFETCH(QRect, available);
        const std::optional<QRect> window = panel.isEmpty() ? std::nullopt : std::optional<QRect>(panel);
        const QRect anchor = TrayIcon::clickAnchor(click, window, available);
        QTEST(PopoverWindow::placement(anchor, QSize(340, 450), available), "expected");
    }

    // The panel under the click as the X server has it: a window of our own standing in for it at the
    // bottom of the screen (trayer sits at the top right of the test display).
    void thePanelUnderTheClickIsFoundOnTheDisplay() {
        QWidget panel(nullptr, Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
        panel.setGeometry(0, 1052, 1920, 28);
        panel.show();
        QVERIFY(QTest::qWaitForWindowExposed(&panel));
        QTRY_COMPARE(X11Windows::topLevelGeometryAt(QPoint(1000, 1066)),
                     std::optional<QRect>(panel.geometry()));
        const QRect anchor = TrayIcon::clickAnchor(
            QPoint(1000, 1066), X11Windows::topLevelGeometryAt(QPoint(1000, 1066)), QRect(0, 0, 1920, 1080));
        QCOMPARE(anchor, QRect(1000, 1052, 1, 28));
    }

    void isAFramelessPopupHoldingTheView() {
        auto popover = makePopover();
        QVERIFY(popover->windowFlags().testFlag(Qt::Popup));
        QVERIFY(popover->windowFlags().testFlag(Qt::FramelessWindowHint));
        QVERIFY(popover->content());
        QCOMPARE(popover->content()->parentWidget(), popover.get());
        QCOMPARE(popover->size(), QSize(340, 450));
    }

    void showingAndHidingDriveTheState() {
        m_fixture->storeClickUpSettings();
        // The refresh waits at its first request, so that its own alert checks stay out of the count.
        m_fixture->clickUp.hold(FakeClickUpAPI::getCurrentTimerOp);
        auto popover = makePopover();
        QSignalSpy visible(&state(), &AppState::isPopoverVisibleChanged);

        popover->showAt(topRightItem());
        QVERIFY(popover->isVisible());
        QVERIFY(state().isPopoverVisible());
        QCOMPARE(m_fixture->panels.dismissCount, 1);
        QCOMPARE(m_fixture->toasts.dismissCount, 1);
        QVERIFY(state().refreshService()->isScheduled());
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 1); // refreshed at once

        popover->hide();
        QVERIFY(!state().isPopoverVisible());
        QCOMPARE(visible.count(), 2);

        // Each showing restarts the refresh and dismisses the reminders again.
        m_fixture->clickUp.release(FakeClickUpAPI::getCurrentTimerOp);
        QTRY_VERIFY(!state().refreshService()->isRefreshing());
        m_fixture->panels.dismissCount = 0;
        m_fixture->toasts.dismissCount = 0;
        m_fixture->clickUp.hold(FakeClickUpAPI::getCurrentTimerOp);
        popover->showAt(topRightItem());
        QCOMPARE(m_fixture->clickUp.callCount(FakeClickUpAPI::getCurrentTimerOp), 2);
        QCOMPARE(m_fixture->panels.dismissCount, 1);
        QCOMPARE(m_fixture->toasts.dismissCount, 1);
        popover->hide();
        m_fixture->clickUp.release(FakeClickUpAPI::getCurrentTimerOp);
        QTRY_VERIFY(!state().refreshService()->isRefreshing());
    }

    void followsTheHeightSetting() {
        // The resize handle writes the height to the shared settings (private to this test process).
        UserDefaultsService& shared = UserDefaultsService::shared();
        shared.setValue(QStringLiteral("popoverHeight"), 380);
        auto popover = makePopover();
        QCOMPARE(popover->height(), 380);
        shared.setValue(QStringLiteral("popoverHeight"), 520);
        QCOMPARE(popover->height(), 520);

        popover->showAt(topRightItem());
        shared.setValue(QStringLiteral("popoverHeight"), 610);
        QCOMPARE(popover->size(), QSize(340, 610));
        QCOMPARE(popover->content()->height(), 610);
        QCOMPARE(popover->geometry().top(), 24);
        shared.setValue(QStringLiteral("popoverHeight"), 5000); // the view's bounds hold
        QCOMPARE(popover->height(), 800);
        popover->hide();
        shared.remove(QStringLiteral("popoverHeight"));
    }

    void trayClicksToggle() {
        auto popover = makePopover();
        popover->toggleAt(topRightItem());
        QVERIFY(popover->isVisible());
        popover->toggleAt(topRightItem());
        QVERIFY(!popover->isVisible());
        popover->toggleAt(topRightItem());
        QVERIFY(popover->isVisible());
        popover->hide();
    }

    void theClickThatClosesItDoesNotReopenIt() {
        auto popover = makePopover();
        popover->showAt(topRightItem());
        // A click outside closes the popup; the tray item reports the same click right after.
        popover->close();
        popover->toggleAt(topRightItem());
        QVERIFY(!popover->isVisible());
        QTest::qWait(PopoverWindow::reopenGuardMs + 50);
        popover->toggleAt(topRightItem());
        QVERIFY(popover->isVisible());
        popover->hide();
    }

    void clickOutsideAndEscapeClose() {
        if (QGuiApplication::platformName() != QLatin1String("xcb")) {
            QSKIP("needs an X display");
        }
        QWidget other;
        other.setGeometry(100, 600, 200, 200);
        other.show();
        QVERIFY(QTest::qWaitForWindowExposed(&other));

        auto popover = makePopover();
        popover->showAt(QRect(1000, 0, 24, 24));
        QVERIFY(QTest::qWaitForWindowExposed(popover.get()));
        // A real click of the pointer, as the X server delivers it to the popup's grab.
        const int status = QProcess::execute(
            QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("150"),
                                        QStringLiteral("650"), QStringLiteral("click"), QStringLiteral("1")});
        if (status < 0) {
            QSKIP("xdotool is not installed");
        }
        QTRY_VERIFY(!popover->isVisible());
        QVERIFY(!state().isPopoverVisible());

        QTest::qWait(PopoverWindow::reopenGuardMs + 50);
        popover->showAt(QRect(1000, 0, 24, 24));
        QVERIFY(QTest::qWaitForWindowExposed(popover.get()));
        QTest::keyClick(popover.get(), Qt::Key_Escape);
        QVERIFY(!popover->isVisible());
        QVERIFY(!state().isPopoverVisible());
    }
};

PENDLOW_TEST_MAIN(PopoverWindowTest)
#include "tst_PopoverWindow.moc"
