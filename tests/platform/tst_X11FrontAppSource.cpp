// The X11 front-window and idle sources against windows this test makes on the display (no window
// manager: the test sets the root window's _NET_ACTIVE_WINDOW itself).
#include "support/TestMain.h"

#include "platform/X11FrontAppSource.h"
#include "platform/X11IdleSource.h"
#include "platform/XcbReply.h"

#include <QSignalSpy>

#include <cmath>
#include <cstring>
#include <unistd.h>

namespace {
// A connection of the test's own that makes windows and moves the active window.
class TestDisplay {
public:
    TestDisplay() {
        m_connection = xcb_connect(nullptr, nullptr);
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        m_root = screen->root;
        m_visual = screen->root_visual;
    }
    ~TestDisplay() { xcb_disconnect(m_connection); }

    bool ok() const { return xcb_connection_has_error(m_connection) == 0; }

    xcb_atom_t atom(const char* name) {
        const auto reply = ownReply(xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name), nullptr));
        return reply ? reply->atom : XCB_ATOM_NONE;
    }

    xcb_window_t window() {
        const xcb_window_t id = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, id, m_root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, m_visual, 0, nullptr);
        sync();
        return id;
    }
    void set(xcb_window_t window, xcb_atom_t property, xcb_atom_t type, const QByteArray& bytes) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            uint32_t(bytes.size()), bytes.constData());
        sync();
    }
    void setPid(xcb_window_t window, quint32 pid) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_PID"),
                            XCB_ATOM_CARDINAL, 32, 1, &pid);
        sync();
    }
    void activate(xcb_window_t window) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_root, atom("_NET_ACTIVE_WINDOW"),
                            XCB_ATOM_WINDOW, 32, 1, &window);
        sync();
    }
    void destroy(xcb_window_t window) {
        xcb_destroy_window(m_connection, window);
        sync();
    }

private:
    // Waits until the server has carried out every request sent so far: the source under test reads
    // through a connection of its own, whose requests are not ordered with ours.
    void sync() {
        std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
    }

    xcb_connection_t* m_connection;
    xcb_window_t m_root;
    xcb_visualid_t m_visual;
};

QByteArray wmClass(const char* instance, const char* windowClass) {
    QByteArray bytes(instance);
    bytes.append('\0');
    bytes.append(windowClass);
    bytes.append('\0');
    return bytes;
}
} // namespace

class X11FrontAppSourceTest : public QObject {
    Q_OBJECT

    TestDisplay m_display;

private Q_SLOTS:
    void initTestCase() {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || !m_display.ok()) {
            QSKIP("needs an X display");
        }
    }

    void reportsApplicationChangesFromTheActiveWindow() {
        X11FrontAppSource source;
        QVERIFY(source.canReadWindowTitles());
        QSignalSpy activated(&source, &FrontAppSource::activated);
        source.startObserving();

        const xcb_window_t editor = m_display.window();
        m_display.set(editor, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass("gedit", "Gedit"));
        m_display.setPid(editor, 1);
        m_display.set(editor, m_display.atom("_NET_WM_NAME"), m_display.atom("UTF8_STRING"),
                      QStringLiteral("notes.txt \u2014 Gedit").toUtf8());
        m_display.activate(editor);
        QVERIFY(activated.wait(3000));
        const FrontWindow front = activated.takeFirst().at(0).value<FrontWindow>();
        QCOMPARE(front.windowId, editor);
        QCOMPARE(front.processId, 1);
        QCOMPARE(front.wmClassInstance, QStringLiteral("gedit"));
        QCOMPARE(front.wmClassClass, QStringLiteral("Gedit"));
        QCOMPARE(front.name, QStringLiteral("Gedit")); // no desktop file: the window class
        QCOMPARE(source.windowTitle(editor), QStringLiteral("notes.txt \u2014 Gedit"));

        // A second window of the same application is no change of application.
        const xcb_window_t second = m_display.window();
        m_display.set(second, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass("gedit", "Gedit"));
        m_display.setPid(second, 1);
        m_display.activate(second);
        QVERIFY(!activated.wait(300));

        // One of this process's own windows (the popover) is no change either.
        const xcb_window_t own = m_display.window();
        m_display.setPid(own, quint32(::getpid()));
        m_display.set(own, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass("pendlow", "Pendlow"));
        m_display.activate(own);
        QVERIFY(!activated.wait(300));
        QVERIFY(!source.frontmostWindow().has_value());

        // A window that is gone when it is read, and one that names nothing: nothing reported.
        const xcb_window_t gone = m_display.window();
        m_display.destroy(gone);
        m_display.activate(gone);
        QVERIFY(!activated.wait(300));
        QVERIFY(!source.windowTitle(gone).has_value());

        // Another application: reported, with WM_NAME as its title.
        const xcb_window_t terminal = m_display.window();
        m_display.set(terminal, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, wmClass("xterm", "XTerm"));
        m_display.set(terminal, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, "user@host: ~");
        m_display.activate(terminal);
        QVERIFY(activated.wait(3000));
        QCOMPARE(activated.takeFirst().at(0).value<FrontWindow>().wmClassClass, QStringLiteral("XTerm"));
        QCOMPARE(source.windowTitle(terminal), QStringLiteral("user@host: ~"));

        source.stopObserving();
        m_display.activate(editor);
        QVERIFY(!activated.wait(300));
    }

    void oddTitles() {
        X11FrontAppSource source;
        const xcb_window_t window = m_display.window();
        m_display.set(window, m_display.atom("_NET_WM_NAME"), m_display.atom("UTF8_STRING"),
                      QByteArray(100 * 1024, 'a'));
        const std::optional<QString> huge = source.windowTitle(window);
        QVERIFY(huge.has_value());
        QCOMPARE(huge->size(), qsizetype(X11FrontAppSource::maximumTitleBytes));
        m_display.set(window, m_display.atom("_NET_WM_NAME"), m_display.atom("UTF8_STRING"),
                      "bad \xff\xfe utf8");
        const std::optional<QString> title = source.windowTitle(window);
        QVERIFY(title.has_value());
        QVERIFY(title->startsWith(QStringLiteral("bad ")));
        m_display.set(window, m_display.atom("_NET_WM_NAME"), m_display.atom("UTF8_STRING"), "");
        QVERIFY(!source.windowTitle(window).has_value());
    }

    void idleTimeIsReadable() {
        X11IdleSource idle;
        const double seconds = idle.idleSeconds();
        QVERIFY(std::isfinite(seconds));
        QVERIFY(seconds >= 0);
    }
};

PENDLOW_TEST_MAIN(X11FrontAppSourceTest)
#include "tst_X11FrontAppSource.moc"
