// The popover's resize handle driven by pointer events: the height follows the pointer from the
// height at the press, stays within its bounds, and only a drag of 10 px or more counts.
#include "support/TestMain.h"

#include "ui/kit/ResizeHandle.h"

#include <QMouseEvent>

namespace {
const QPointF kPress(600, 400); // screen position of the press
} // namespace

class ResizeHandleTest : public QObject {
    Q_OBJECT

    static void send(ResizeHandle& handle, QEvent::Type type, const QPointF& screen, Qt::MouseButton button,
                     Qt::MouseButtons buttons) {
        QMouseEvent event(type, handle.mapFromGlobal(screen), screen, button, buttons, Qt::NoModifier);
        QApplication::sendEvent(&handle, &event);
    }
    static void press(ResizeHandle& handle) {
        send(handle, QEvent::MouseButtonPress, kPress, Qt::LeftButton, Qt::LeftButton);
    }
    static void moveBy(ResizeHandle& handle, QPointF translation) {
        send(handle, QEvent::MouseMove, kPress + translation, Qt::NoButton, Qt::LeftButton);
    }
    static void release(ResizeHandle& handle, QPointF translation) {
        send(handle, QEvent::MouseButtonRelease, kPress + translation, Qt::LeftButton, Qt::NoButton);
    }

private Q_SLOTS:
    void dragFollowsThePointerWithinBounds_data() {
        QTest::addColumn<double>("start");
        QTest::addColumn<QList<QPointF>>("moves"); // total translation at each move
        QTest::addColumn<QList<double>>("heights");
        QTest::addColumn<QList<bool>>("dragging");
        // Each event sets the height at the press plus the total movement: 470, 490, 510 (adding it
        // to the height of the previous event would give 470, 510, 570).
        QTest::newRow("down") << 450.0 << QList<QPointF>{{0, 20}, {0, 40}, {0, 60}}
                              << QList<double>{470, 490, 510} << QList<bool>{true, true, true};
        QTest::newRow("up") << 450.0 << QList<QPointF>{{0, -30}, {0, -100}} << QList<double>{420, 350}
                            << QList<bool>{true, true};
        QTest::newRow("capped at 800, and back")
            << 780.0 << QList<QPointF>{{0, 15}, {0, 50}, {0, 20}, {0, -10}}
            << QList<double>{795, 800, 800, 770} << QList<bool>{true, true, true, true};
        QTest::newRow("raised to 300") << 320.0 << QList<QPointF>{{0, -15}, {0, -50}, {0, -20}}
                                       << QList<double>{305, 300, 300} << QList<bool>{true, true, true};
        QTest::newRow("shorter than 10 px changes nothing")
            << 450.0 << QList<QPointF>{{0, 5}, {0, -9}, {6, 7}} << QList<double>{450, 450, 450}
            << QList<bool>{false, false, false};
        // Once started, the drag goes on below 10 px; sideways movement starts it without resizing.
        QTest::newRow("started drag goes on")
            << 450.0 << QList<QPointF>{{12, 0}, {0, 4}, {0, 0}} << QList<double>{450, 454, 450}
            << QList<bool>{true, true, true};
    }

    void dragFollowsThePointerWithinBounds() {
        QFETCH(double, start);
        QFETCH(QList<QPointF>, moves);
        QFETCH(QList<double>, heights);
        QFETCH(QList<bool>, dragging);
        ResizeHandle handle(300, 800);
        handle.setValue(start);
        handle.resize(340, ResizeHandle::handleHeight);

        press(handle);
        QVERIFY(!handle.isDragging());
        for (qsizetype i = 0; i < moves.size(); ++i) {
            moveBy(handle, moves.at(i));
            QCOMPARE(handle.value(), heights.at(i));
            QCOMPARE(handle.isDragging(), dragging.at(i));
        }
        release(handle, moves.constLast());
        QVERIFY(!handle.isDragging());
        QCOMPARE(handle.value(), heights.constLast());
    }

    void nextDragStartsFromTheNewHeight() {
        ResizeHandle handle(300, 800);
        QCOMPARE(handle.cursor().shape(), Qt::SizeVerCursor);
        handle.setValue(450);
        press(handle);
        moveBy(handle, {0, 50});
        release(handle, {0, 50});
        QCOMPARE(handle.value(), 500.0);

        // Moves without a pressed button do nothing.
        moveBy(handle, {0, 100});
        QCOMPARE(handle.value(), 500.0);

        press(handle);
        moveBy(handle, {0, -20});
        QCOMPARE(handle.value(), 480.0);
        release(handle, {0, -20});
    }
};

PENDLOW_TEST_MAIN(ResizeHandleTest)
#include "tst_ResizeHandle.moc"
