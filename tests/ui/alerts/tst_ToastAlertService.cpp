// The two toasts: showing, replacing, auto-dismissal, the delayed closing of hidden windows, and the
// snooze menu with its "dismissToastAlert" signal.
#include "support/LinkedAlertServices.h"
#include "support/TestMain.h"

#include "ui/alerts/ActiveTimerToastView.h"
#include "ui/alerts/AlertHub.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/alerts/FloatingAlertService.h"
#include "ui/alerts/SnoozeMenu.h"
#include "ui/alerts/ToastAlertService.h"
#include "ui/alerts/ToastAlertView.h"
#include "ui/kit/ElidedLabel.h"

#include <QLabel>
#include <QSignalSpy>
#include <QToolButton>

#include <memory>

class ToastAlertServiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkedAlertServices> m_alerts;
    QList<double> m_snoozes;

    ToastAlertView* toastView() const {
        return m_alerts->toasts.toastWindow()
                   ? qobject_cast<ToastAlertView*>(m_alerts->toasts.toastWindow()->content())
                   : nullptr;
    }

private Q_SLOTS:
    void init() {
        m_alerts = std::make_unique<LinkedAlertServices>();
        m_snoozes.clear();
        m_alerts->toasts.setOnDismissWithDuration([this](double seconds) { m_snoozes.append(seconds); });
    }

    void cleanup() { m_alerts.reset(); }

    void noTimerToastDismissesItselfAfterItsSeconds_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("closes");
        QTest::newRow("1 second") << 1 << true;
        QTest::newRow("0 keeps it") << 0 << false;
        QTest::newRow("negative keeps it") << -5 << false;
    }

    void noTimerToastDismissesItselfAfterItsSeconds() {
        QFETCH(int, seconds);
        QFETCH(bool, closes);
        m_alerts->toasts.showToast(seconds);
        QPointer<AlertWindow> window = m_alerts->toasts.toastWindow();
        QVERIFY(window && window->isVisible());
        if (closes) {
            QTRY_VERIFY(!m_alerts->toasts.toastWindow());
            QVERIFY(!window->isVisible());
            // Hidden first, freed by the clean-up a moment later.
            QTRY_VERIFY(!window);
        } else {
            QTest::qWait(1500);
            QCOMPARE(m_alerts->toasts.toastWindow(), window.data());
            QVERIFY(window->isVisible());
            m_alerts->toasts.dismissToast();
            QVERIFY(!window->isVisible());
        }
    }

    void aNewToastReplacesTheOpenOneAndKeepsItsOwnTime() {
        m_alerts->toasts.showToast(1);
        QPointer<AlertWindow> first = m_alerts->toasts.toastWindow();
        m_alerts->toasts.showToast(0);
        QPointer<AlertWindow> second = m_alerts->toasts.toastWindow();
        QVERIFY(second && second != first);
        QVERIFY(!first->isVisible());
        QCOMPARE(m_alerts->toasts.windowsAwaitingCleanup(), 1);
        QTRY_VERIFY(!first);
        // The first toast's one second has long passed: its wait must not end the new toast.
        QTest::qWait(300);
        QCOMPARE(m_alerts->toasts.toastWindow(), second.data());
        QVERIFY(second->isVisible());
    }

    void hiddenToastsAreClosedTogetherInTheOrderHidden() {
        QStringList closed;
        m_alerts->toasts.showToast(0);
        QPointer<AlertWindow> first = m_alerts->toasts.toastWindow();
        connect(first, &QObject::destroyed, this, [&closed] { closed << "first"; });
        m_alerts->toasts.dismissToast();
        m_alerts->toasts.showActiveTimerToast("Task", "00:10", 0);
        QPointer<AlertWindow> second = m_alerts->toasts.activeTimerWindow();
        connect(second, &QObject::destroyed, this, [&closed] { closed << "second"; });
        m_alerts->toasts.showActiveTimerToast("Task", "00:11", 0);
        QVERIFY(first && second);
        QCOMPARE(m_alerts->toasts.windowsAwaitingCleanup(), 2);
        QTRY_COMPARE(closed, (QStringList{"first", "second"}));
        QCOMPARE(m_alerts->toasts.windowsAwaitingCleanup(), 0);
    }

    void dismissingWithoutAToastQueuesNothing() {
        m_alerts->toasts.dismissToast();
        QCOMPARE(m_alerts->toasts.windowsAwaitingCleanup(), 0);
    }

    void snoozeChoiceEndsBothRemindersAndPassesItsSeconds_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("title");
        QTest::addColumn<double>("seconds");
        QTest::newRow("15 minutes") << 0 << "15 minutes" << 900.0;
        QTest::newRow("1 hour") << 1 << "1 hour" << 3600.0;
        QTest::newRow("4 hours") << 2 << "4 hours" << 14400.0;
        QTest::newRow("1 day") << 3 << "1 day" << 86400.0;
    }

    void snoozeChoiceEndsBothRemindersAndPassesItsSeconds() {
        QFETCH(int, choice);
        QFETCH(QString, title);
        QFETCH(double, seconds);
        QSignalSpy posted(&AlertHub::instance(), &AlertHub::dismissToastAlert);
        m_alerts->panels.showAlert(0, {}, {});
        m_alerts->toasts.showActiveTimerToast("Task", "00:10", 0);
        m_alerts->toasts.showToast(0);
        ToastAlertView* view = toastView();
        const QList<QAction*> items = view->snoozeMenu()->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items.at(choice)->text(), title);

        items.at(choice)->trigger();
        QCOMPARE(posted.size(), 1);
        QCOMPARE(posted.at(0).at(0).toDouble(), seconds);
        // Handled once the menu's action has returned.
        QVERIFY(m_snoozes.isEmpty());
        QTRY_COMPARE(m_snoozes, QList<double>{seconds});
        QVERIFY(!m_alerts->toasts.toastWindow());
        QVERIFY(!m_alerts->panels.alertPanel());
        QVERIFY(m_alerts->toasts.activeTimerWindow());

        // The toast is done: its menu is off and a second choice posts nothing.
        QVERIFY(view->isDismissed());
        QVERIFY(!view->snoozeButton()->isEnabled());
        items.at(0)->trigger();
        QCOMPARE(posted.size(), 1);
    }

    // "Click to start tracking your time": a click on the toast (not on its snooze button) hides it
    // and asks for the popover; no snooze is posted.
    void clickingTheToastOpensThePopover() {
        QSignalSpy popover(&AlertHub::instance(), &AlertHub::openPopoverRequested);
        QSignalSpy posted(&AlertHub::instance(), &AlertHub::dismissToastAlert);
        m_alerts->toasts.showToast(0);
        ToastAlertView* view = toastView();
        QVERIFY(QTest::qWaitForWindowExposed(m_alerts->toasts.toastWindow()));
        QCOMPARE(view->cursor().shape(), Qt::PointingHandCursor);

        // A press that ends outside the toast is no click.
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(30, 20));
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(-5, -5));
        QCOMPARE(popover.size(), 0);
        QVERIFY(m_alerts->toasts.toastWindow());

        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(30, 20));
        QCOMPARE(popover.size(), 1);
        QVERIFY(!m_alerts->toasts.toastWindow());
        QCOMPARE(posted.size(), 0);
        QVERIFY(m_snoozes.isEmpty());
    }

    void dismissSignalWithoutDurationCallsNoCallback() {
        m_alerts->panels.showAlert(0, {}, {});
        m_alerts->toasts.showToast(0);
        m_alerts->toasts.showActiveTimerToast("Task", "00:10", 0);
        AlertHub::instance().postDismissToastAlert(0);
        QTRY_VERIFY(!m_alerts->toasts.toastWindow());
        QVERIFY(!m_alerts->panels.alertPanel());
        QVERIFY(m_alerts->toasts.activeTimerWindow());
        QVERIFY(m_snoozes.isEmpty());
    }

    void activeTimerToastShowsTheTimerAndEndsItself() {
        const QString longName =
            QStringLiteral("A very long task name that does not fit on one line of the toast");
        m_alerts->toasts.showActiveTimerToast(longName, QStringLiteral("01:05"), 0);
        QPointer<AlertWindow> first = m_alerts->toasts.activeTimerWindow();
        auto* view = qobject_cast<ActiveTimerToastView*>(first->content());
        QCOMPARE(view->findChild<QLabel*>("elapsedLabel")->text(), QStringLiteral("01:05"));
        auto* name = view->findChild<ElidedLabel*>("taskNameLabel");
        QVERIFY(name->isElided());
        // Cut where the elapsed time begins, not drawn under it.
        QVERIFY(name->geometry().right() < view->findChild<QLabel*>("elapsedLabel")->geometry().left());
        QCOMPARE(name->toolTip(), longName);

        m_alerts->toasts.showActiveTimerToast(QStringLiteral("Next"), QStringLiteral("01:35"), 1);
        QVERIFY(!first->isVisible());
        QPointer<AlertWindow> second = m_alerts->toasts.activeTimerWindow();
        QVERIFY(second && second->isVisible());
        QVERIFY(!second->content()->findChild<ElidedLabel*>("taskNameLabel")->isElided());
        QTRY_VERIFY(!m_alerts->toasts.activeTimerWindow());
        QTRY_VERIFY(!second);
    }
};

PENDLOW_TEST_MAIN(ToastAlertServiceTest)
#include "tst_ToastAlertService.moc"
