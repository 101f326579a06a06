// The reminder windows as the X server sees them: where they stand, that they never take the focus,
// and that the toasts are on every workspace. With PENDLOW_ALERT_SCREENSHOTS set to a folder, the
// "screenshots" case saves a PNG of each window there (scripts/screenshot-alerts.sh).
#include "support/LinkedAlertServices.h"
#include "support/TestMain.h"

#include "platform/X11Windows.h"
#include "platform/XcbReply.h"
#include "ui/alerts/AlertPlacement.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/alerts/FloatingAlertService.h"
#include "ui/alerts/NoTimerAlertView.h"
#include "ui/alerts/ToastAlertService.h"
#include "ui/kit/AlertIcons.h"

#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>

#include <memory>

namespace {
struct Mapped {
    bool viewable = false;
    QRect geometry;
};

// The window's map state and its rectangle in root coordinates, from the X server.
Mapped mapped(QWidget* window) {
    xcb_connection_t* c = X11Windows::connection();
    const auto id = xcb_window_t(window->winId());
    Mapped result;
    const auto attributes =
        ownReply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr));
    result.viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    if (const auto geometry = ownReply(xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr))) {
        const auto root = ownReply(xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, id, geometry->root, 0, 0), nullptr));
        if (root) {
            result.geometry = QRect(root->dst_x, root->dst_y, geometry->width, geometry->height);
        }
    }
    return result;
}

QList<quint32> cardinals(QWidget* window, const char* property, xcb_atom_t type) {
    xcb_connection_t* c = X11Windows::connection();
    QList<quint32> values;
    const auto reply = ownReply(xcb_get_property_reply(
        c, xcb_get_property(c, 0, xcb_window_t(window->winId()), X11Windows::atom(property), type, 0, 64),
        nullptr));
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const quint32*>(xcb_get_property_value(reply.get()));
        for (int i = 0; i < xcb_get_property_value_length(reply.get()) / 4; ++i) {
            values << data[i];
        }
    }
    return values;
}

// WM_HINTS: flags, input, ...; the input field counts when flag bit 0 is set.
bool asksForInputFocus(QWidget* window) {
    const QList<quint32> hints = cardinals(window, "WM_HINTS", X11Windows::atom("WM_HINTS"));
    return hints.size() < 2 || !(hints.at(0) & 1) || hints.at(1) != 0;
}

xcb_window_t inputFocus() {
    xcb_connection_t* c = X11Windows::connection();
    const auto reply = ownReply(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return reply ? reply->focus : xcb_window_t(XCB_WINDOW_NONE);
}

bool clickAt(QPoint point) {
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    return !xdotool.isEmpty() && QProcess::execute(xdotool, {"mousemove", QString::number(point.x()),
                                                             QString::number(point.y()), "click", "1"}) == 0;
}
} // namespace

class AlertWindowsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkedAlertServices> m_alerts;

    AlertWindow* show(const QString& kind) {
        if (kind == "toast") {
            m_alerts->toasts.showToast(0);
            return m_alerts->toasts.toastWindow();
        }
        if (kind == "active") {
            m_alerts->toasts.showActiveTimerToast(
                QStringLiteral("Review pull request #42 for the billing service"), QStringLiteral("01:23"),
                0);
            return m_alerts->toasts.activeTimerWindow();
        }
        m_alerts->panels.showAlert(0, {}, {});
        return m_alerts->panels.alertPanel();
    }

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb")) {
            QSKIP("needs an X server (run inside scripts/test-env.sh)");
        }
    }

    void init() { m_alerts = std::make_unique<LinkedAlertServices>(); }

    void cleanup() { m_alerts.reset(); }

    void placementFollowsTheAvailableArea_data() {
        QTest::addColumn<QRect>("available");
        QTest::addColumn<QRect>("toast");
        QTest::addColumn<QRect>("activeToast");
        QTest::addColumn<QRect>("panel");
        QTest::newRow("1920x1080 without panels") << QRect(0, 0, 1920, 1080) << QRect(1540, 20, 360, 80)
                                                  << QRect(1580, 20, 320, 70) << QRect(770, 780, 380, 200);
        QTest::newRow("1440 wide") << QRect(0, 0, 1440, 900) << QRect(1060, 20, 360, 80)
                                   << QRect(1100, 20, 320, 70) << QRect(530, 600, 380, 200);
        QTest::newRow("top bar and left dock") << QRect(64, 32, 1856, 1048) << QRect(1540, 52, 360, 80)
                                               << QRect(1580, 52, 320, 70) << QRect(802, 780, 380, 200);
        QTest::newRow("second screen on the right") << QRect(1920, 0, 1280, 1024) << QRect(2820, 20, 360, 80)
                                                    << QRect(2860, 20, 320, 70) << QRect(2370, 724, 380, 200);
    }

    void placementFollowsTheAvailableArea() {
        QFETCH(QRect, available);
        QFETCH(QRect, toast);
        QFETCH(QRect, activeToast);
        QFETCH(QRect, panel);
        QCOMPARE(QRect(AlertPlacement::toastTopLeft(available), AlertPlacement::toastSize), toast);
        QCOMPARE(
            QRect(AlertPlacement::activeTimerToastTopLeft(available), AlertPlacement::activeTimerToastSize),
            activeToast);
        QCOMPARE(QRect(AlertPlacement::panelTopLeft(available), AlertPlacement::panelSize), panel);
    }

    void windowsAppearAtTheirPlaces_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QRect>("expected");
        QTest::newRow("no-timer toast") << "toast" << QRect(1540, 20, 360, 80);
        QTest::newRow("active-timer toast") << "active" << QRect(1580, 20, 320, 70);
        QTest::newRow("floating panel") << "panel" << QRect(770, 780, 380, 200);
    }

    void windowsAppearAtTheirPlaces() {
        QFETCH(QString, kind);
        QFETCH(QRect, expected);
        if (QGuiApplication::primaryScreen()->availableGeometry() != QRect(0, 0, 1920, 1080)) {
            QSKIP("needs the 1920x1080 screen of scripts/test-env.sh");
        }
        AlertWindow* window = show(kind);
        QTRY_VERIFY(mapped(window).viewable);
        QCOMPARE(mapped(window).geometry, expected);
    }

    void windowsNeverTakeTheFocus_data() {
        QTest::addColumn<QString>("kind");
        QTest::newRow("no-timer toast") << "toast";
        QTest::newRow("active-timer toast") << "active";
        QTest::newRow("floating panel") << "panel";
    }

    void windowsNeverTakeTheFocus() {
        QFETCH(QString, kind);
        QWidget other;
        other.setWindowTitle(QStringLiteral("the application in use"));
        other.setGeometry(100, 100, 300, 200);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));

        AlertWindow* window = show(kind);
        QTRY_VERIFY(mapped(window).viewable);
        QVERIFY(!asksForInputFocus(window));
        QTest::qWait(100);
        QVERIFY(QApplication::activeWindow() != window);
        QVERIFY(inputFocus() != xcb_window_t(window->winId()));
    }

    void clickingThePanelDoesNotActivateIt() {
        QWidget other;
        other.setGeometry(100, 100, 300, 200);
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        bool started = false;
        m_alerts->panels.showAlert(0, [&started] { started = true; }, {});
        AlertWindow* panel = m_alerts->panels.alertPanel();
        // Away from the usual spot, where other tests running beside this one show their panels.
        panel->move(300, 420);
        const xcb_window_t panelId = xcb_window_t(panel->winId());
        QTRY_COMPARE(mapped(panel).geometry.topLeft(), QPoint(300, 420));
        QTRY_VERIFY(mapped(panel).viewable);
        const QRect frame = mapped(panel).geometry;
        QPushButton* button = panel->findChild<QPushButton*>(QStringLiteral("openTimerButton"));

        // A click on the background, then one on "Open Timer", as real X events.
        if (!clickAt(frame.topLeft() + QPoint(12, 100))) {
            QSKIP("needs xdotool");
        }
        QVERIFY(clickAt(frame.topLeft() + button->mapTo(panel, button->rect().center())));
        QTRY_VERIFY(started);
        QVERIFY(QApplication::activeWindow() != panel);
        QVERIFY(inputFocus() != panelId);
    }

    void toastsAreOnEveryWorkspaceAndAboveOthers() {
        const quint32 sticky = X11Windows::atom("_NET_WM_STATE_STICKY");
        const quint32 above = X11Windows::atom("_NET_WM_STATE_ABOVE");
        for (const QString kind : {"toast", "active"}) {
            AlertWindow* window = show(kind);
            QTRY_VERIFY(mapped(window).viewable);
            QCOMPARE(cardinals(window, "_NET_WM_DESKTOP", XCB_ATOM_CARDINAL), QList<quint32>{0xFFFFFFFF});
            const QList<quint32> states = cardinals(window, "_NET_WM_STATE", XCB_ATOM_ATOM);
            QVERIFY2(states.contains(sticky) && states.contains(above), qPrintable(kind));
        }
        AlertWindow* panel = show("panel");
        QTRY_VERIFY(mapped(panel).viewable);
        QVERIFY(cardinals(panel, "_NET_WM_STATE", XCB_ATOM_ATOM).contains(above));
        QVERIFY(!cardinals(panel, "_NET_WM_STATE", XCB_ATOM_ATOM).contains(sticky));
    }

    void everyIconHasADrawing() {
        for (const char* name : {"dialog-warning", "media-record", "media-playback-start", "window-close"}) {
            QVERIFY2(!AlertIcons::pixmap(QString::fromLatin1(name), 24, 1.0).isNull(), name);
        }
    }

    void screenshots() {
        const QString folder = qEnvironmentVariable("PENDLOW_ALERT_SCREENSHOTS");
        if (folder.isEmpty()) {
            QSKIP("set PENDLOW_ALERT_SCREENSHOTS to a folder to save screenshots");
        }
        QVERIFY(QDir().mkpath(folder));
        QScreen* screen = QGuiApplication::primaryScreen();
        const auto shoot = [&](AlertWindow* window, const QString& name) {
            QTRY_VERIFY(mapped(window).viewable);
            if (name.startsWith(QStringLiteral("floating-panel-pulse"))) {
                QCoreApplication::processEvents(); // paint and flush the frame just chosen
            } else {
                QTest::qWait(400); // let the window paint
            }
            const QRect around = mapped(window).geometry.adjusted(-24, -24, 24, 24);
            const QPixmap root = screen->grabWindow(0);
            QVERIFY(root.copy(around).save(QDir(folder).filePath(name + ".png")));
        };
        shoot(show("toast"), "no-timer-toast");
        m_alerts->toasts.dismissToast();
        shoot(show("active"), "active-timer-toast");
        AlertWindow* panel = show("panel");
        shoot(panel, "floating-panel");
        // The pulse at rest and at its widest.
        auto* view = static_cast<NoTimerAlertView*>(panel->content());
        QTRY_VERIFY(view->pulse() < 0.01);
        shoot(panel, "floating-panel-pulse-rest");
        QTRY_VERIFY(view->pulse() > 0.99);
        shoot(panel, "floating-panel-pulse-widest");
        shoot(show("toast"), "both-toasts");
        QVERIFY(screen->grabWindow(0).save(QDir(folder).filePath("screen.png")));
    }
};

PENDLOW_TEST_MAIN(AlertWindowsTest)
#include "tst_AlertWindows.moc"
