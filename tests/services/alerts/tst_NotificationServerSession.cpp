// The no-timer warning against a real notification server, Debian's dunst, on a bus of the test's
// own: it arrives with normal urgency, and it leaves the screen when a refresh finds a timer started
// elsewhere and when the application quits.
#include "support/ClickUpSamples.h"
#include "support/FakeClickUpAPI.h"
#include "support/FakeFloatingAlertService.h"
#include "support/FakeToastAlertService.h"
#include "support/PrivateDBus.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/Clock.h"
#include "services/alerts/NotificationService.h"
#include "services/clickup/TimerState.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

namespace {
const QString serverName = QStringLiteral("org.freedesktop.Notifications");
const QString serverPath = QStringLiteral("/org/freedesktop/Notifications");
const QString dunstInterface = QStringLiteral("org.dunstproject.cmd0");
const QString kTeam = onHeap(u"team-1");
} // namespace

class NotificationServerSessionTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateDBus> m_bus;
    QTemporaryDir m_config;
    QProcess m_dunst;
    QDBusConnection m_probe{QString()};

    // The notifications the server shows now.
    int displayed() {
        QDBusInterface properties(serverName, serverPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                  m_probe);
        const QDBusReply<QDBusVariant> reply =
            properties.call(QStringLiteral("Get"), dunstInterface, QStringLiteral("displayedLength"));
        return reply.isValid() ? reply.value().variant().toInt() : -1;
    }

    // The urgency of each notification the server has closed, newest first: the rules of our dunstrc
    // write it into the category ("urgency-normal"), which the server's history keeps.
    QStringList urgencies() {
        QDBusInterface dunst(serverName, serverPath, dunstInterface, m_probe);
        const QDBusMessage reply = dunst.call(QStringLiteral("NotificationListHistory"));
        QStringList result;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return result;
        }
        const auto argument = reply.arguments().constFirst().value<QDBusArgument>();
        argument.beginArray();
        while (!argument.atEnd()) {
            QVariantMap entry;
            argument >> entry;
            QVariant urgency = entry.value(QStringLiteral("category"));
            if (urgency.canConvert<QDBusVariant>()) {
                urgency = urgency.value<QDBusVariant>().variant();
            }
            result.append(urgency.toString());
        }
        argument.endArray();
        return result;
    }

private Q_SLOTS:
    void initTestCase() {
        const QString dunst = QStandardPaths::findExecutable(QStringLiteral("dunst"));
        if (dunst.isEmpty() || qEnvironmentVariableIsEmpty("DISPLAY")) {
            QSKIP("needs dunst and a display (scripts/test-env.sh)");
        }
        m_bus = std::make_unique<PrivateDBus>();
        QVERIFY(m_bus->isRunning());
        QVERIFY(m_config.isValid());
        // Notifications stay until closed by a call: what leaves the screen was withdrawn. They show
        // in the screen's bottom-left corner, away from the tray at the top right and from the windows
        // other tests run beside this one put in the middle and click.
        QFile config(m_config.filePath(QStringLiteral("dunstrc")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(
            "[global]\nidle_threshold = 0\norigin = bottom-left\noffset = 0x0\nwidth = 200\n"
            "[urgency_low]\ntimeout = 0\n"
            "[urgency_normal]\ntimeout = 0\n[urgency_critical]\ntimeout = 0\n"
            "[pendlow-normal]\nappname = Pendlow\nmsg_urgency = normal\nset_category = urgency-normal\n"
            "[pendlow-critical]\nappname = Pendlow\nmsg_urgency = critical\n"
            "set_category = urgency-critical\n");
        config.close();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_bus->address());
        m_dunst.setProcessEnvironment(environment);
        m_dunst.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_dunst.setStandardOutputFile(QProcess::nullDevice());
        m_dunst.start(dunst, {QStringLiteral("-config"), config.fileName()});
        QVERIFY(m_dunst.waitForStarted());
        m_probe = m_bus->connect(QStringLiteral("probe"));
        QTRY_VERIFY_WITH_TIMEOUT(m_probe.interface()->isServiceRegistered(serverName).value(), 10000);
        QCOMPARE(displayed(), 0);
    }

    void cleanupTestCase() {
        if (m_dunst.state() != QProcess::NotRunning) {
            m_dunst.terminate();
            if (!m_dunst.waitForFinished(5000)) {
                m_dunst.kill();
                m_dunst.waitForFinished();
            }
        }
    }

    // Sent by the no-timer check; a later refresh finds a timer that was started in ClickUp's own
    // page: the warning goes.
    void timerStartedElsewhereWithdrawsTheWarning() {
        NotificationService service(m_bus->connect(QStringLiteral("app-1")), nullptr, onHeap(u"pendlow"));
        TestSettings settings;
        settings.setValue(QStringLiteral("useFloatingAlert"), false);
        settings.setValue(QStringLiteral("useMenuBarPulsing"), false);
        FakeClickUpAPI clickUp;
        FakeToastAlertService toasts;
        FakeFloatingAlertService panels;
        TimerState state(clickUp, service, settings, toasts, panels);

        awaitTask(state.fetchActiveTimer(kTeam));
        const auto onDismiss = [](double) -> QCoro::Task<> { co_return; };
        QVERIFY(awaitTask(state.showNoTimerAlertIfNeeded(false, false, false, onDismiss)).finished);
        QVERIFY(service.noTimerWarningId());
        QTRY_COMPARE(displayed(), 1);

        // A refresh that still finds no timer leaves it.
        awaitTask(state.fetchActiveTimer(kTeam));
        QTest::qWait(200);
        QCOMPARE(displayed(), 1);

        clickUp.runningTimer = timerOn(QStringLiteral("abc"), Clock::now().addSecs(-60));
        awaitTask(state.fetchActiveTimer(kTeam));
        QTRY_COMPARE(displayed(), 0);
        QVERIFY(!service.noTimerWarningId());
        QCOMPARE(urgencies().value(0), QStringLiteral("urgency-normal"));
    }

    // The application quits with the warning on screen: it goes with it.
    void quittingWithdrawsTheWarning() {
        NotificationService service(m_bus->connect(QStringLiteral("app-2")), nullptr, onHeap(u"pendlow"));
        QVERIFY(awaitTask(service.sendNoTimerWarning()).finished);
        QTRY_COMPARE(displayed(), 1);

        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        QCoreApplication::exec();
        // The close was answered before the loop returned.
        QCOMPARE(displayed(), 0);
        QVERIFY(!service.noTimerWarningId());
    }
};

PENDLOW_TEST_MAIN(NotificationServerSessionTest)
#include "tst_NotificationServerSession.moc"
