// The screen-saver watch against the session's X server: it sees the server's screen saver come and
// go (forced on and off, as a locker or the blanking timeout would).
#include "support/TestMain.h"

#include "platform/ScreenSaverWatch.h"
#include "platform/X11Windows.h"

#include <QSignalSpy>

#include <xcb/xcb.h>

class ScreenSaverWatchTest : public QObject {
    Q_OBJECT

    static void forceScreenSaver(bool on) {
        xcb_connection_t* c = X11Windows::connection();
        xcb_force_screen_saver(c, on ? XCB_SCREEN_SAVER_ACTIVE : XCB_SCREEN_SAVER_RESET);
        xcb_flush(c);
    }

private Q_SLOTS:
    void cleanup() {
        if (X11Windows::connection()) {
            forceScreenSaver(false);
        }
    }

    void followsTheServersScreenSaver() {
        if (!X11Windows::connection()) {
            QSKIP("needs an X display");
        }
        ScreenSaverWatch watch;
        QVERIFY(watch.isWatching());
        QVERIFY(!watch.isActive());
        QSignalSpy changes(&watch, &ScreenSaverWatch::activeChanged);

        forceScreenSaver(true);
        QTRY_VERIFY(watch.isActive());
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.at(0).at(0).toBool(), true);

        // A second watch made while the screen is blanked starts blanked.
        ScreenSaverWatch later;
        QVERIFY(later.isActive());

        forceScreenSaver(false);
        QTRY_VERIFY(!watch.isActive());
        QTRY_VERIFY(!later.isActive());
        QCOMPARE(changes.count(), 2);
    }
};

PENDLOW_TEST_MAIN(ScreenSaverWatchTest)
#include "tst_ScreenSaverWatch.moc"
