// The floating panel's pulsing icon: the shared frames (the ease, whole steps of the frame clock,
// what they show, the bounded cache), the clock's timers, and the panel on screen: only the icon's
// tile repaints, at about 10 frames a second, only while the panel is visible and the pulse is not
// paused, and panels that come and go leave nothing behind.
#include "support/SettleEvents.h"
#include "support/TestMain.h"

#include "ui/alerts/AlertCardView.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/alerts/FloatingAlertService.h"
#include "ui/alerts/NoTimerAlertView.h"
#include "ui/alerts/PulseFrames.h"
#include "ui/alerts/PulseIconView.h"
#include "ui/kit/AlertIcons.h"
#include "ui/kit/FrameClock.h"

#include <QScreen>
#include <QTimer>

#include <malloc.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PENDLOW_UNDER_ASAN 1
#endif
#endif

namespace {
// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            ++paints;
        }
        return false;
    }
};

PulseFrames::Look lookOf(QRgb background) {
    return PulseFrames::Look{QColor::fromRgba(background), QColor(255, 149, 0, 51),
                             QStringLiteral("dialog-warning"), 1.0};
}
} // namespace

class NoTimerPulseTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FloatingAlertService> m_service;

    NoTimerAlertView* showPanel() {
        m_service->showAlert(0, {}, {});
        AlertWindow* panel = m_service->alertPanel();
        if (!panel || !QTest::qWaitForWindowExposed(panel)) {
            return nullptr;
        }
        return static_cast<NoTimerAlertView*>(panel->content());
    }

private Q_SLOTS:
    void init() { m_service = std::make_unique<FloatingAlertService>(); }

    void cleanup() {
        m_service.reset();
        settleEvents();
    }

    void framesFollowTheEase_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<int>("frame");
        QTest::newRow("rest") << qint64(0) << 0;
        QTest::newRow("half way out") << qint64(400) << PulseFrames::framesPerHalf / 2;
        QTest::newRow("widest") << qint64(800) << PulseFrames::framesPerHalf;
        QTest::newRow("half way back") << qint64(1200) << PulseFrames::framesPerHalf / 2;
        QTest::newRow("rest again") << qint64(1600) << 0;
        QTest::newRow("next period") << qint64(1600 + 800) << PulseFrames::framesPerHalf;
        // A frame holds for a whole step of the clock, and the next one starts right at the step.
        QTest::newRow("end of the first step") << qint64(PulseFrames::frameIntervalMs - 1) << 0;
        QTest::newRow("second step") << qint64(PulseFrames::frameIntervalMs) << 1;
        QTest::newRow("end of the widest step") << qint64(900 - 1) << PulseFrames::framesPerHalf;
        QTest::newRow("back from the widest") << qint64(900) << PulseFrames::framesPerHalf - 1;
        QTest::newRow("last step") << qint64(1600 - 1) << 1;
        QTest::newRow("before the clock's start") << qint64(-1) << 1;
    }

    void framesFollowTheEase() {
        QFETCH(qint64, ms);
        QTEST(PulseFrames::frameAt(ms), "frame");
        QCOMPARE(PulseFrames::swellOf(0), 0.0);
        QCOMPARE(PulseFrames::swellOf(PulseFrames::framesPerHalf), 1.0);
        // Eased: slow at the turns.
        QVERIFY(PulseFrames::swellOf(1) < 0.5 / PulseFrames::framesPerHalf);
    }

    void nextWakeIsWhenTheImageChanges() {
        PulseFrames::clearCache();
        const PulseFrames::Frames frames = PulseFrames::frames(lookOf(0xfff0f0f0));
        const auto imageAt = [&frames](qint64 ms) { return frames->at(PulseFrames::frameAt(ms)).cacheKey(); };
        // Every change of the image over one period, a millisecond at a time.
        int changes = 0;
        for (qint64 t = 1; t <= 2 * PulseFrames::halfPeriodMs; ++t) {
            changes += imageAt(t) != imageAt(t - 1) ? 1 : 0;
        }
        int wakes = 0;
        for (qint64 ms = 0; ms < 2 * PulseFrames::halfPeriodMs;) {
            const int wait = PulseFrames::msUntilChange(*frames, ms);
            QVERIFY2(wait >= 1 && wait <= 2 * PulseFrames::halfPeriodMs, qPrintable(QString::number(ms)));
            // Nothing changes before the wake, and something does at it, on a step of the frame clock.
            for (qint64 t = ms; t < ms + wait; ++t) {
                QCOMPARE(imageAt(t), imageAt(ms));
            }
            QVERIFY(imageAt(ms + wait) != imageAt(ms));
            QCOMPARE((ms + wait) % FrameClock::gridMs, 0);
            ms += wait;
            ++wakes;
        }
        // One wake for each change and none more: at most ten a second.
        QCOMPARE(wakes, changes);
        QVERIFY2(wakes <= 2 * PulseFrames::framesPerHalf, qPrintable(QString::number(wakes)));
        QVERIFY(wakes >= 2 * (PulseFrames::framesPerHalf - 2));
        // Off the beginning and between changes, and on the monotonic clock's large times.
        QCOMPARE(PulseFrames::msUntilChange(*frames, 7) + 7, PulseFrames::msUntilChange(*frames, 0));
        const qint64 late = 123456789 * qint64(2 * PulseFrames::halfPeriodMs);
        QCOMPARE(PulseFrames::msUntilChange(*frames, late + 37), PulseFrames::msUntilChange(*frames, 37));
    }

    void framesShowTheSwellOverTheCard() {
        PulseFrames::clearCache();
        const PulseFrames::Frames frames = PulseFrames::frames(lookOf(0xfff0f0f0));
        QCOMPARE(frames->size(), PulseFrames::framesPerHalf + 1);
        const QImage& rest = frames->constFirst();
        const QImage& widest = frames->constLast();
        QCOMPARE(rest.size(), PulseFrames::tileSize());
        // The corner is the card; 39 px right of the centre lies outside the circle at rest (35 px)
        // and inside it at its widest (42 px).
        const QPoint centre(rest.width() / 2, rest.height() / 2);
        QCOMPARE(rest.pixel(0, 0), 0xfff0f0f0u);
        QCOMPARE(rest.pixel(centre + QPoint(39, 0)), 0xfff0f0f0u);
        QVERIFY(widest.pixel(centre + QPoint(39, 0)) != 0xfff0f0f0u);
        QVERIFY(rest.pixel(centre) != 0xfff0f0f0u); // the symbol
        // Each frame is another image only where its pixels differ from the frame before (showing an
        // equal image would wake the process for nothing), and the swell grows at every frame.
        QSet<qint64> distinct;
        for (qsizetype i = 0; i < frames->size(); ++i) {
            distinct.insert(frames->at(i).cacheKey());
            if (i > 0 && frames->at(i).cacheKey() != frames->at(i - 1).cacheKey()) {
                QVERIFY2(frames->at(i) != frames->at(i - 1), qPrintable(QString::number(i)));
            }
        }
        QVERIFY(distinct.size() >= PulseFrames::framesPerHalf - 1);
    }

    void framesAreRenderedOnceAndTheCacheIsBounded() {
        PulseFrames::clearCache();
        const PulseFrames::Frames first = PulseFrames::frames(lookOf(0xfff0f0f0));
        QCOMPARE(PulseFrames::frames(lookOf(0xfff0f0f0)).get(), first.get());
        for (QRgb background : {0xff101010u, 0xf0202020u, 0xff303030u, 0xff404040u}) {
            PulseFrames::frames(lookOf(background));
            QVERIFY(PulseFrames::cachedLooks() <= PulseFrames::cacheCapacity);
        }
        // A look pushed out is rendered again; a panel that still holds it keeps its frames.
        QVERIFY(PulseFrames::frames(lookOf(0xfff0f0f0)).get() != first.get());
        QCOMPARE(first->size(), PulseFrames::framesPerHalf + 1);
    }

    // The frame clock's timers fire at their step, never before it (a frame shown early would be
    // the old one, and a second wake would follow at once), whatever the wait: Qt rounds the wakes
    // of coarse timers differently for each range of intervals, and for an interval that is a
    // multiple of 50 ms towards coarser fractions of the second (a wait of 249 ms to a step 300 ms
    // into a second would come 12 ms early).
    void frameClockTimersFireAtTheirStep_data() {
        QTest::addColumn<int>("waitMs");
        for (int wait : {15, 45, 70, 99, 149, 199, 249, 499, 799}) {
            QTest::addRow("%d ms", wait) << wait;
        }
    }

    void frameClockTimersFireAtTheirStep() {
        QFETCH(int, waitMs);
        // A step 300 ms into a second, more than the wait ahead; the timer starts the wait before it.
        qint64 due = (FrameClock::nowMs() / 1000) * 1000 + 300;
        while (due < FrameClock::nowMs() + waitMs + 5) {
            due += 1000;
        }
        // Waits, then spins through the last milliseconds so that the wait is the row's exactly.
        QTest::qWait(std::max(0, int(due - waitMs - FrameClock::nowMs()) - 5));
        while (FrameClock::nowMs() < due - waitMs) {
        }
        QTimer timer;
        qint64 firedAt = -1;
        connect(&timer, &QTimer::timeout, this, [&firedAt] { firedAt = FrameClock::nowMs(); });
        FrameClock::startAt(timer, due);
        QTRY_VERIFY_WITH_TIMEOUT(firedAt >= 0, 5000);
        QVERIFY2(firedAt >= due, qPrintable(QStringLiteral("%1 ms early").arg(due - firedAt)));
    }

    void panelRepaintsOnlyThePulsingIcon() {
        NoTimerAlertView* view = showPanel();
        QVERIFY(view);
        PulseIconView* icon = view->pulseIcon();
        QTRY_VERIFY(view->isPulsing());
        // The icon lies centred over the slot the layout keeps for it, below the top of the card.
        QVERIFY(icon->geometry().top() >= 0);
        QVERIFY(qAbs(icon->geometry().center().x() - view->width() / 2) <= 1);
        QTest::qWait(200);
        PaintCounter card;
        PaintCounter window;
        view->installEventFilter(&card);
        view->window()->installEventFilter(&window);
        const int paintsBefore = icon->paintCount();
        const int before = icon->framesShown();
        QTest::qWait(1000);
        const int frames = icon->framesShown() - before;
        // About 10 frames a second (fewer when the machine holds the timer up, never more); nothing
        // else of the window repaints.
        QVERIFY2(frames >= 5 && frames <= 11, qPrintable(QString::number(frames)));
        QCOMPARE(card.paints, 0);
        QCOMPARE(window.paints, 0);
        // On X11 the frames are copied by the server, not painted, and the copy lands on the tile.
        QVERIFY(icon->isBlitting());
        QCOMPARE(icon->paintCount(), paintsBefore);
        // Held still for the grab: a frame shown between the grab and the reading of the shown image
        // would differ without any fault.
        icon->setPaused(true);
        const qreal ratio = icon->devicePixelRatioF();
        const QPoint at = (QPointF(icon->mapTo(icon->window(), QPoint(0, 0))) * ratio).toPoint();
        const QImage onScreen =
            icon->screen()
                ->grabWindow(icon->window()->winId(), at.x(), at.y(), qRound(icon->width() * ratio),
                             qRound(icon->height() * ratio))
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
        QCOMPARE(onScreen, icon->shownImage().convertToFormat(QImage::Format_RGB32));
        icon->setPaused(false);
        view->removeEventFilter(&card);
        view->window()->removeEventFilter(&window);
    }

    void pulseRunsOnlyWhileVisibleAndNotPaused() {
        NoTimerAlertView* view = showPanel();
        QVERIFY(view);
        PulseIconView* icon = view->pulseIcon();
        QTRY_VERIFY(icon->isRunning());

        m_service->setPulsePaused(true);
        QVERIFY(!icon->isRunning());
        int shown = icon->framesShown();
        QTest::qWait(300);
        QCOMPARE(icon->framesShown(), shown);
        m_service->setPulsePaused(false);
        QVERIFY(icon->isRunning());

        AlertWindow* panel = m_service->alertPanel();
        panel->hide();
        QVERIFY(!icon->isRunning());
        shown = icon->framesShown();
        QTest::qWait(300);
        QCOMPARE(icon->framesShown(), shown);
        panel->show();
        QTRY_VERIFY(icon->isRunning());

        // A panel shown while the screen is blanked starts held. (A reminder while a panel is shown
        // keeps that panel, so this one comes after it closed.)
        m_service->dismissAlert();
        m_service->setPulsePaused(true);
        NoTimerAlertView* later = showPanel();
        QVERIFY(later && later != view);
        QVERIFY(!later->isPulsing());
        m_service->setPulsePaused(false);
        QVERIFY(later->isPulsing());
    }

    void panelsComeAndGoWithoutGrowth() {
#ifdef PENDLOW_UNDER_ASAN
        QSKIP("the sanitizer's allocator does not report the heap in use");
#else
        PulseFrames::clearCache();
        const qint64 icon = AlertIcons::icon(QStringLiteral("dialog-warning")).cacheKey();
        for (int i = 0; i < 5; ++i) {
            QVERIFY(showPanel());
            QTest::qWait(20);
            m_service->dismissAlert();
            settleEvents();
        }
        const size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 40; ++i) {
            QVERIFY(showPanel());
            QTest::qWait(20);
            m_service->dismissAlert();
            settleEvents();
        }
        const qint64 growth = qint64(mallinfo2().uordblks) - qint64(before);
        // One set of frames for every panel, one icon object for every name.
        QCOMPARE(PulseFrames::cachedLooks(), 1);
        QCOMPARE(AlertIcons::icon(QStringLiteral("dialog-warning")).cacheKey(), icon);
        QVERIFY2(growth < 100 * 1024, qPrintable(QStringLiteral("%1 bytes after 40 panels").arg(growth)));
#endif
    }
};

PENDLOW_TEST_MAIN(NoTimerPulseTest)
#include "tst_NoTimerPulse.moc"
