// The X11 client-window list on the test display (Xvfb, no window manager): the test publishes the
// stacking list on the root window itself, as a window manager would.
#include "support/TestMain.h"

#include "platform/X11ClientWindows.h"
#include "platform/X11Windows.h"

#include <QGuiApplication>

#include <cstring>

namespace {
xcb_window_t makeWindow(xcb_connection_t* c, const QByteArray& wmClass, const QByteArray& netName,
                        const QByteArray& legacyName) {
    const xcb_window_t id = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, id, X11Windows::rootWindow(c), 0, 0, 10, 10, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    if (!wmClass.isEmpty()) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                            uint32_t(wmClass.size()), wmClass.constData());
    }
    if (!netName.isEmpty()) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, X11Windows::atom("_NET_WM_NAME"),
                            X11Windows::atom("UTF8_STRING"), 8, uint32_t(netName.size()),
                            netName.constData());
    }
    if (!legacyName.isEmpty()) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                            uint32_t(legacyName.size()), legacyName.constData());
    }
    return id;
}

void publish(xcb_connection_t* c, const char* property, const QList<xcb_window_t>& ids) {
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, X11Windows::rootWindow(c), X11Windows::atom(property),
                        XCB_ATOM_WINDOW, 32, uint32_t(ids.size()), ids.constData());
    xcb_flush(c);
}
} // namespace

class X11ClientWindowsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsStackingListWithClassesAndTitles();
};

void X11ClientWindowsTest::readsStackingListWithClassesAndTitles() {
    xcb_connection_t* c = X11Windows::connection();
    if (!c) {
        QSKIP("needs the xcb platform");
    }
    const xcb_window_t mail = makeWindow(c, QByteArray("Mail\0thunderbird\0", 17),
                                         "Réunion – budget - Mozilla Thunderbird", "ignored");
    const xcb_window_t legacy = makeWindow(c, QByteArray("xterm\0XTerm\0", 12), QByteArray(), "bash");
    const xcb_window_t noClass = makeWindow(c, QByteArray(), "no class", QByteArray());
    const xcb_window_t gone = makeWindow(c, QByteArray("x\0X\0", 4), "gone", QByteArray());
    xcb_destroy_window(c, gone);
    publish(c, "_NET_CLIENT_LIST", {legacy});
    publish(c, "_NET_CLIENT_LIST_STACKING", {mail, gone, noClass, legacy});

    const QList<ClientWindow> windows = X11ClientWindows().clientWindowsByStacking();
    QCOMPARE(windows.size(), 2);
    QCOMPARE(windows[0], (ClientWindow{mail, QStringLiteral("Mail"), QStringLiteral("thunderbird"),
                                       QStringLiteral("Réunion – budget - Mozilla Thunderbird")}));
    QCOMPARE(windows[1], (ClientWindow{legacy, QStringLiteral("xterm"), QStringLiteral("XTerm"),
                                       QStringLiteral("bash")}));

    // Without a stacking list the plain client list serves.
    xcb_delete_property(c, X11Windows::rootWindow(c), X11Windows::atom("_NET_CLIENT_LIST_STACKING"));
    xcb_flush(c);
    QCOMPARE(X11ClientWindows().clientWindowsByStacking().size(), 1);

    xcb_delete_property(c, X11Windows::rootWindow(c), X11Windows::atom("_NET_CLIENT_LIST"));
    for (const xcb_window_t id : {mail, legacy, noClass}) {
        xcb_destroy_window(c, id);
    }
    xcb_flush(c);
}

PENDLOW_TEST_MAIN(X11ClientWindowsTest)
#include "tst_X11ClientWindows.moc"
