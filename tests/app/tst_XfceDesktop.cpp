// The application on a real Xfce desktop: xfwm4 and xfce4-panel, whose tray hosts our
// StatusNotifierItem (run by test_xfce_desktop.sh through scripts/test-env.sh with
// PENDLOW_TEST_DESKTOP=xfce; skipped elsewhere). A reminder opens the popover under the tray icon
// before the icon was ever clicked, and no tooltip of the panel stays over an open popover.
#include "support/AppRig.h"
#include "support/TestMain.h"

#include "app/PendlowApp.h"
#include "platform/TrayIcon.h"
#include "platform/X11DesktopPanels.h"
#include "ui/alerts/AlertHub.h"
#include "ui/menubar/PopoverWindow.h"

#include <QImage>
#include <QProcess>
#include <QScreen>

#include <memory>
#include <optional>

namespace {
const QRgb markColour = qRgb(0xff, 0x00, 0xd4);

QImage solidIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(markColour);
    return image;
}

// The centre of our icon in the panel, found by its colour.
std::optional<QPoint> iconCentre(const QRect& panel) {
    const QImage shot = QGuiApplication::primaryScreen()
                            ->grabWindow(0, panel.x(), panel.y(), panel.width(), panel.height())
                            .toImage()
                            .convertToFormat(QImage::Format_RGB32);
    QRect found;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if ((shot.pixel(x, y) & 0xffffff) == (markColour & 0xffffff)) {
                found |= QRect(x, y, 1, 1);
            }
        }
    }
    if (found.isEmpty()) {
        return std::nullopt;
    }
    return panel.topLeft() + found.center();
}

bool xdotool(const QStringList& arguments) {
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}
} // namespace

class XfceDesktopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppRig> m_rig;
    std::unique_ptr<PendlowApp> m_app;
    QRect m_panel;
    QPoint m_icon;

private Q_SLOTS:
    void initTestCase() {
        if (qgetenv("PENDLOW_TEST_DESKTOP") != "xfce") {
            QSKIP("needs the Xfce test desktop (PENDLOW_TEST_DESKTOP=xfce scripts/test-env.sh)");
        }
        m_rig = std::make_unique<AppRig>();
        // A still icon: the pulsing no-timer icon would replace the marked one below.
        m_rig->settings.setValue(QStringLiteral("useMenuBarPulsing"), false);
        m_app = m_rig->makeApp();
        TrayIcon& tray = m_app->tray();
        tray.show();
        QTRY_VERIFY_WITH_TIMEOUT(tray.isShown(), 10000);
        QCOMPARE(tray.kind(), TrayBackend::Kind::statusNotifierItem);
        QTRY_VERIFY_WITH_TIMEOUT(!X11DesktopPanels::panels().isEmpty(), 10000);
        m_panel = X11DesktopPanels::panels().constFirst();
        QVERIFY2(m_panel.width() > m_panel.height(), "a horizontal panel");
        // Our icon in one colour, so that the test finds it on screen.
        const QList<QImage> marked{solidIcon(16), solidIcon(22), solidIcon(32)};
        std::optional<QPoint> centre;
        QTRY_VERIFY_WITH_TIMEOUT((tray.setIcon(marked), centre = iconCentre(m_panel)).has_value(), 20000);
        m_icon = *centre;
    }

    void cleanupTestCase() {
        m_app.reset();
        m_rig.reset();
    }

    // The toast's click (or the floating panel's) before any click on the icon: the popover hangs
    // under the panel, over the icon's column, not where the pointer is.
    void reminderOpensThePopoverUnderTheTray() {
        // The pointer far from the tray, as when clicking a toast mid-screen.
        QVERIFY(xdotool({QStringLiteral("mousemove"), QStringLiteral("700"), QStringLiteral("600")}));
        PopoverWindow& popover = m_app->popover();
        AlertHub::instance().requestOpenPopover();
        QTRY_VERIFY(popover.isVisible());
        const QRect shown = popover.frameGeometry();
        QVERIFY2(
            shown.top() >= m_panel.bottom() && shown.top() <= m_panel.bottom() + 8,
            qPrintable(
                QStringLiteral("popover top %1, panel bottom %2").arg(shown.top()).arg(m_panel.bottom())));
        QVERIFY2(shown.left() <= m_icon.x() && m_icon.x() <= shown.right(),
                 qPrintable(QStringLiteral("popover %1..%2, icon at %3")
                                .arg(shown.left())
                                .arg(shown.right())
                                .arg(m_icon.x())));
        popover.hide();
        QTRY_VERIFY(!popover.isVisible());
    }

    // Hovering the icon brings up the panel's tooltip; the click opens the popover, and the tooltip
    // is gone and stays gone while the popover is open.
    void noPanelTooltipOverTheOpenPopover() {
        PopoverWindow& popover = m_app->popover();
        QTest::qWait(PopoverWindow::reopenGuardMs);
        const QString x = QString::number(m_icon.x());
        const QString y = QString::number(m_icon.y());
        QVERIFY(xdotool({QStringLiteral("mousemove"), x, y}));
        QVERIFY(xdotool({QStringLiteral("mousemove"), QString::number(m_icon.x() + 1), y}));
        QTRY_VERIFY_WITH_TIMEOUT(X11DesktopPanels::foreignToolTips() > 0, 10000);

        QVERIFY(xdotool({QStringLiteral("click"), QStringLiteral("1")}));
        QTRY_VERIFY_WITH_TIMEOUT(popover.isVisible(), 5000);
        // Opened by the click, it hangs from the icon too.
        const QRect shown = popover.frameGeometry();
        QVERIFY(shown.left() <= m_icon.x() && m_icon.x() <= shown.right());
        QTRY_COMPARE_WITH_TIMEOUT(X11DesktopPanels::foreignToolTips(), 0, 3000);
        QTest::qWait(2000);
        QVERIFY(popover.isVisible());
        QCOMPARE(X11DesktopPanels::foreignToolTips(), 0);
        popover.hide();
    }
};

PENDLOW_TEST_MAIN(XfceDesktopTest)
#include "tst_XfceDesktop.moc"
