// The floating no-timer panel: showing, a reminder while it is shown, auto-dismissal, "Open Timer" and
// the snooze menu.
#include "support/LinkedAlertServices.h"
#include "support/TestMain.h"

#include "ui/alerts/AlertHub.h"
#include "ui/alerts/AlertWindow.h"
#include "ui/alerts/FloatingAlertService.h"
#include "ui/alerts/NoTimerAlertView.h"
#include "ui/alerts/SnoozeMenu.h"
#include "ui/alerts/ToastAlertService.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include <memory>

class FloatingAlertServiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<LinkedAlertServices> m_alerts;

    NoTimerAlertView* panelView() const {
        return m_alerts->panels.alertPanel()
                   ? qobject_cast<NoTimerAlertView*>(m_alerts->panels.alertPanel()->content())
                   : nullptr;
    }

private Q_SLOTS:
    void init() { m_alerts = std::make_unique<LinkedAlertServices>(); }

    void cleanup() { m_alerts.reset(); }

    void panelClosesItselfAfterItsSeconds_data() {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<bool>("closes");
        QTest::newRow("1 second") << 1 << true;
        QTest::newRow("0 keeps it") << 0 << false;
        QTest::newRow("negative keeps it") << -3 << false;
    }

    void panelClosesItselfAfterItsSeconds() {
        QFETCH(int, seconds);
        QFETCH(bool, closes);
        m_alerts->panels.showAlert(seconds, {}, {});
        QPointer<AlertWindow> panel = m_alerts->panels.alertPanel();
        QVERIFY(panel && panel->isVisible());
        QVERIFY(panelView()->isPulsing());
        if (closes) {
            QTRY_VERIFY(!panel);
            QVERIFY(!m_alerts->panels.alertPanel());
        } else {
            QTest::qWait(1500);
            QCOMPARE(m_alerts->panels.alertPanel(), panel.data());
            QVERIFY(panel->isVisible());
        }
    }

    // The next reminder while the panel is up keeps that panel and the Dismiss menu the user has
    // open, takes over the callbacks and starts the time again.
    void aReminderWhileThePanelIsShownKeepsItsOpenMenuAndRestartsItsTime() {
        QList<double> firstCalls;
        QList<double> secondCalls;
        m_alerts->panels.showAlert(1, {}, [&](double seconds) { firstCalls << seconds; });
        QPointer<AlertWindow> panel = m_alerts->panels.alertPanel();
        QPointer<NoTimerAlertView> view = panelView();
        SnoozeMenu* menu = view->dismissMenu();
        menu->popup(view->dismissButton()->mapToGlobal(QPoint(0, view->dismissButton()->height())));
        QTRY_VERIFY(menu->isVisible());

        QTest::qWait(600);
        m_alerts->panels.showAlert(1, {}, [&](double seconds) { secondCalls << seconds; });
        QCOMPARE(m_alerts->panels.alertPanel(), panel.data());
        QCOMPARE(panelView(), view.data());
        QVERIFY(panel->isVisible());
        QVERIFY(menu->isVisible());

        // Past the first reminder's second, within the second one's.
        QTest::qWait(600);
        QVERIFY(panel && panel->isVisible());
        QVERIFY(menu->isVisible());

        menu->actions().at(1)->trigger();
        menu->hide();
        QTRY_COMPARE(secondCalls, QList<double>{3600.0});
        QVERIFY(firstCalls.isEmpty());
        QTRY_VERIFY(!panel);
    }

    // Once closed, the next reminder shows a panel of its own, with its own time.
    void aReminderAfterTheCloseShowsANewPanel() {
        m_alerts->panels.showAlert(0, {}, {});
        QPointer<AlertWindow> first = m_alerts->panels.alertPanel();
        m_alerts->panels.dismissAlert();
        QTRY_VERIFY(!first);
        m_alerts->panels.showAlert(1, {}, {});
        QPointer<AlertWindow> second = m_alerts->panels.alertPanel();
        QVERIFY(second && second->isVisible());
        QTRY_VERIFY(!second);
    }

    void dismissChoiceClosesPanelAndToastThenPassesItsSeconds_data() {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("title");
        QTest::addColumn<double>("seconds");
        QTest::newRow("15 minutes") << 0 << "15 minutes" << 900.0;
        QTest::newRow("1 hour") << 1 << "1 hour" << 3600.0;
        QTest::newRow("4 hours") << 2 << "4 hours" << 14400.0;
        QTest::newRow("1 day") << 3 << "1 day" << 86400.0;
    }

    void dismissChoiceClosesPanelAndToastThenPassesItsSeconds() {
        QFETCH(int, choice);
        QFETCH(QString, title);
        QFETCH(double, seconds);
        QList<double> received;
        bool closedFirst = false;
        bool started = false;
        m_alerts->toasts.showToast(0);
        m_alerts->panels.showAlert(
            0, [&started] { started = true; },
            [&](double value) {
                received << value;
                closedFirst = !m_alerts->panels.alertPanel() && !m_alerts->toasts.toastWindow();
            });
        const QList<QAction*> items = panelView()->dismissMenu()->actions();
        QCOMPARE(items.size(), 4);
        QCOMPARE(items.at(choice)->text(), title);

        items.at(choice)->trigger();
        // Run from the event loop, after the menu's action has returned.
        QVERIFY(received.isEmpty());
        QTRY_COMPARE(received, QList<double>{seconds});
        QVERIFY(closedFirst);
        QVERIFY(!started);
    }

    void openTimerRunsTheStartCallbackClosesThePanelAndAsksForThePopover() {
        QSignalSpy popover(&AlertHub::instance(), &AlertHub::openPopoverRequested);
        QStringList steps;
        connect(&AlertHub::instance(), &AlertHub::openPopoverRequested, this,
                [&steps] { steps << "popover requested"; });
        bool panelOpenDuringCallback = false;
        m_alerts->panels.showAlert(0,
                                   [&] {
                                       steps << "start callback";
                                       panelOpenDuringCallback = m_alerts->panels.alertPanel() != nullptr;
                                   },
                                   {});
        QPushButton* button = panelView()->openTimerButton();
        QCOMPARE(button->text(), QStringLiteral("Open Timer"));
        QVERIFY(button->minimumWidth() >= 120);

        button->click();
        QVERIFY(steps.isEmpty());
        QTRY_COMPARE(steps, (QStringList{"start callback", "popover requested"}));
        QVERIFY(panelOpenDuringCallback);
        QVERIFY(!m_alerts->panels.alertPanel());
        QCOMPARE(popover.size(), 1);

        // A caller that passes no start callback still gets the popover opened.
        m_alerts->panels.showAlert(0, {}, {});
        panelView()->openTimerButton()->click();
        QTRY_COMPARE(popover.size(), 2);
        QVERIFY(!m_alerts->panels.alertPanel());
        disconnect(&AlertHub::instance(), nullptr, this, nullptr);
    }

    void dismissingWithoutAPanelDoesNothing() {
        m_alerts->panels.dismissAlert();
        QVERIFY(!m_alerts->panels.alertPanel());
    }
};

PENDLOW_TEST_MAIN(FloatingAlertServiceTest)
#include "tst_FloatingAlertService.moc"
