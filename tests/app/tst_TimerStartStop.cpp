// The application as it runs, on its main road: the production composition (process-wide secret
// store and settings, the real ClickUp client, notifications and alert windows), against a loopback
// ClickUp. The popover is opened, a "Worked on (today)" row's "Start Timer" is chosen from its context
// menu and the timer row's "Stop" pressed, several times in a row: the process must live through it
// and every start must reach the server with the row's task id. (Each start once released the task
// id's string once too often and the application aborted within a few starts.)
#include "support/FakeClickUpServer.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "app/PendlowApp.h"
#include "core/Clock.h"
#include "core/UserDefaultsService.h"
#include "platform/KeychainItem.h"
#include "platform/KeychainService.h"
#include "ui/menubar/PopoverWindow.h"
#include "ui/menubar/TimeEntryGroupRow.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QCoroTask>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>

#include <memory>

namespace {
int countRequests(FakeHttpServer& http, const QByteArray& method, const QString& pathEnd) {
    int count = 0;
    for (const FakeHttpServer::Request& request : http.requests()) {
        count += request.method == method && request.path.endsWith(pathEnd) ? 1 : 0;
    }
    return count;
}
} // namespace

class TimerStartStopTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeClickUpServer> m_clickUp;
    std::unique_ptr<PendlowApp> m_app;

    template <typename T>
    T* visibleChild(const QString& name) {
        for (T* widget : m_app->popover().findChildren<T*>(name)) {
            if (widget->isVisible()) {
                return widget;
            }
        }
        return nullptr;
    }

    TimeEntryGroupRow* rowOf(const QString& taskName) {
        for (TimeEntryGroupRow* row : m_app->popover().findChildren<TimeEntryGroupRow*>()) {
            if (row->isVisible() && row->group().taskName == taskName) {
                return row;
            }
        }
        return nullptr;
    }

    // Opens the row's context menu as a right click does and chooses the action.
    static bool chooseFromContextMenu(QWidget* row, const QString& actionText) {
        const QPoint local = row->rect().center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, local, row->mapToGlobal(local));
        QApplication::sendEvent(row, &event);
        QMenu* menu = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* candidate = qobject_cast<QMenu*>(widget); candidate && candidate->isVisible()) {
                menu = candidate;
            }
        }
        if (!menu) {
            return false;
        }
        for (QAction* action : menu->actions()) {
            if (action->text() == actionText && action->isEnabled()) {
                action->trigger();
                menu->close();
                return true;
            }
        }
        menu->close();
        return false;
    }

private slots:
    void initTestCase() {
        m_clickUp = std::make_unique<FakeClickUpServer>();
        const qint64 midnight = Clock::now().date().startOfDay().toMSecsSinceEpoch();
        m_clickUp->timeEntries.append(
            FakeClickUpServer::timeEntryJson(onHeap(u"4211094917234000002"), onHeap(u"86c0abc"),
                                             onHeap(u"Invoices"), midnight + 60 * 1000, 45 * 60 * 1000));
        m_clickUp->timeEntries.append(FakeClickUpServer::timeEntryJson(
            onHeap(u"4211094917234000003"), onHeap(u"86c0def"), onHeap(u"Code review"),
            midnight + 50 * 60 * 1000, 30 * 60 * 1000));
        qputenv("PENDLOW_CLICKUP_API_URL", m_clickUp->apiUrl().toString().toUtf8());

        QCoro::Task<> store =
            KeychainService::shared().setValue(onHeap(u"pk_road_test_token"), KeychainItem::clickUpAPIToken);
        QCoro::waitFor(std::move(store));
        UserDefaultsService::shared().setTeamId(onHeap(u"9001"));
    }

    void cleanupTestCase() {
        m_app.reset();
        QCoro::Task<> removal = KeychainService::shared().deleteValue(KeychainItem::clickUpAPIToken);
        QCoro::waitFor(std::move(removal));
        qunsetenv("PENDLOW_CLICKUP_API_URL");
    }

    void startAndStopFromThePopoverRepeatedly() {
        m_app = std::make_unique<PendlowApp>();
        QSignalSpy started(m_app.get(), &PendlowApp::startupFinished);
        m_app->launch();
        QTRY_COMPARE_WITH_TIMEOUT(started.count(), 1, 10000);

        m_app->popover().showAt(QRect(1800, 0, 32, 32));
        QTRY_VERIFY(m_app->popover().isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(rowOf(QStringLiteral("Invoices")) != nullptr, 10000);

        const int rounds = 6;
        for (int round = 1; round <= rounds; ++round) {
            const QString taskName = round % 2 ? QStringLiteral("Invoices") : QStringLiteral("Code review");
            QTRY_VERIFY(rowOf(taskName) != nullptr);
            QVERIFY2(chooseFromContextMenu(rowOf(taskName), QStringLiteral("Start Timer")),
                     qPrintable(QStringLiteral("round %1: no Start Timer in the row's menu").arg(round)));
            QTRY_COMPARE_WITH_TIMEOUT(countRequests(m_clickUp->http(), "POST", QStringLiteral("/start")),
                                      round, 10000);
            QTRY_VERIFY_WITH_TIMEOUT(visibleChild<QPushButton>(QStringLiteral("stopButton")) != nullptr,
                                     10000);

            visibleChild<QPushButton>(QStringLiteral("stopButton"))->click();
            QTRY_VERIFY_WITH_TIMEOUT(!m_clickUp->runningTimer.has_value(), 10000);
            QTRY_VERIFY_WITH_TIMEOUT(visibleChild<QWidget>(QStringLiteral("idleForm")) != nullptr, 10000);
        }

        // Every start reached ClickUp with its row's task id, each after the stop of the one before.
        QStringList startedTasks;
        for (const FakeHttpServer::Request& request : m_clickUp->http().requests()) {
            if (request.method == "POST" && request.path.endsWith(QStringLiteral("/start"))) {
                startedTasks.append(request.jsonBody().value(QStringLiteral("tid")).toString());
            }
        }
        QCOMPARE(startedTasks, QStringList({QStringLiteral("86c0abc"), QStringLiteral("86c0def"),
                                            QStringLiteral("86c0abc"), QStringLiteral("86c0def"),
                                            QStringLiteral("86c0abc"), QStringLiteral("86c0def")}));
        QVERIFY(countRequests(m_clickUp->http(), "POST", QStringLiteral("/stop")) >= rounds);
    }
};

PENDLOW_TEST_MAIN(TimerStartStopTest)
#include "tst_TimerStartStop.moc"
