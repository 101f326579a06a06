// The desktop notifications against a fake freedesktop notification server on a private bus:
// texts and hints as the server receives them, the single no-timer warning, and failures.
#include "support/FakeNotificationServer.h"
#include "support/OutputCapture.h"
#include "support/PrivateDBus.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "platform/ApplicationIcon.h"
#include "services/alerts/NotificationService.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <QTimeZone>

#include <ctime>
#include <memory>

namespace {
QString repeated(const QString& piece, int times) {
    QString result;
    for (int i = 0; i < times; ++i) {
        result += piece;
    }
    return result;
}
} // namespace

class NotificationServiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<PrivateDBus> m_bus;
    std::unique_ptr<FakeNotificationServer> m_server;
    std::unique_ptr<NotificationService> m_service;
    int m_round = 0;
    const QString m_icon = QStringLiteral("file:///tmp/pendlow-test-icon.png");

    // A fresh server and service, each on its own connection.
    void startServer() {
        m_server = std::make_unique<FakeNotificationServer>(
            m_bus->connect(QStringLiteral("server-%1").arg(m_round)));
        QVERIFY(m_server->isRegistered());
    }

    FakeNotificationServer::Notification lastCall() const { return m_server->notifyCalls().constLast(); }

private Q_SLOTS:
    void initTestCase() {
        qputenv("TZ", "Europe/Amsterdam");
        tzset();
        m_bus = std::make_unique<PrivateDBus>();
        QVERIFY2(m_bus->isRunning(), "dbus-daemon did not start");
    }

    void init() {
        ++m_round;
        startServer();
        m_service = std::make_unique<NotificationService>(
            m_bus->connect(QStringLiteral("client-%1").arg(m_round)), nullptr, m_icon);
    }

    void cleanup() {
        m_service.reset();
        m_server.reset();
        m_bus->disconnect(QStringLiteral("client-%1").arg(m_round));
        m_bus->disconnect(QStringLiteral("server-%1").arg(m_round));
    }

    void eachNotificationReachesTheServerWithItsTexts_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("body");
        QTest::addColumn<bool>("warning");

        QTest::newRow("no-timer warning")
            << "warning" << QString::fromUtf8("\u23F1\uFE0F Time to Start Tracking!")
            << "No active timer detected\nClick here to open Pendlow and start logging your work." << true;
        QTest::newRow("timer started")
            << "started" << QString::fromUtf8("\u25B6\uFE0F Timer Started")
            << "Fix login bug\nYou're now tracking time. Keep up the great work!" << false;
        QTest::newRow("timer stopped") << "stopped" << QString::fromUtf8("\u23F9\uFE0F Timer Stopped")
                                       << "Duration: 01:05\nGreat job! Your time has been logged." << false;
        QTest::newRow("stopped with no timer known")
            << "stopped-unknown" << QString::fromUtf8("\u23F9\uFE0F Timer Stopped")
            << "Duration: 00:00\nGreat job! Your time has been logged." << false;
        QTest::newRow("silent mode until evening")
            << "silent-21:05" << QString::fromUtf8("\U0001F515 Silent Mode Activated")
            << "Until 21:05\nTimer warnings paused. Focus on your work!" << false;
        QTest::newRow("silent mode until morning")
            << "silent-07:00" << QString::fromUtf8("\U0001F515 Silent Mode Activated")
            << "Until 07:00\nTimer warnings paused. Focus on your work!" << false;
        QTest::newRow("silent mode end given in UTC is shown in local time")
            << "silent-utc" << QString::fromUtf8("\U0001F515 Silent Mode Activated")
            << "Until 21:05\nTimer warnings paused. Focus on your work!" << false;
    }

    void eachNotificationReachesTheServerWithItsTexts() {
        QFETCH(QString, operation);
        QFETCH(QString, summary);
        QFETCH(QString, body);
        QFETCH(bool, warning);

        const QDate day(2025, 1, 15);
        if (operation == "warning") {
            QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        } else if (operation == "started") {
            QVERIFY(!awaitTask(m_service->sendTimerStarted(onHeap(u"Fix login bug"))).failed());
        } else if (operation == "stopped") {
            QVERIFY(!awaitTask(m_service->sendTimerStopped(onHeap(u"01:05"))).failed());
        } else if (operation == "stopped-unknown") {
            QVERIFY(!awaitTask(m_service->sendTimerStopped(onHeap(u"00:00"))).failed());
        } else if (operation == "silent-21:05") {
            QVERIFY(!awaitTask(m_service->sendSilentModeActivated(QDateTime(day, QTime(21, 5)))).failed());
        } else if (operation == "silent-07:00") {
            QVERIFY(!awaitTask(m_service->sendSilentModeActivated(QDateTime(day, QTime(7, 0)))).failed());
        } else if (operation == "silent-utc") {
            const QDateTime utc(day, QTime(20, 5), QTimeZone::utc());
            QVERIFY(!awaitTask(m_service->sendSilentModeActivated(utc)).failed());
        }

        QCOMPARE(m_server->notifyCalls().size(), 1);
        const auto call = lastCall();
        QCOMPARE(call.appName, QStringLiteral("Pendlow"));
        QCOMPARE(call.summary, summary);
        QCOMPARE(call.body, body);
        QCOMPARE(call.replacesId, 0u);
        QCOMPARE(call.expireTimeout, -1);
        // The application's icon and desktop file, on every notification.
        QCOMPARE(call.appIcon, m_icon);
        QCOMPARE(call.hints.value(QStringLiteral("desktop-entry")).toString(), QStringLiteral("pendlow"));
        if (warning) {
            const QVariant urgency = call.hints.value(QStringLiteral("urgency"));
            QCOMPARE(urgency.metaType(), QMetaType::fromType<uchar>());
            QCOMPARE(urgency.value<uchar>(), uchar(1));
            QCOMPARE(call.hints.value(QStringLiteral("category")).toString(),
                     QStringLiteral("x-pendlow.reminder"));
            // "Click here to open Pendlow": the default action, with a label for servers that show
            // actions as buttons.
            QCOMPARE(call.actions, (QStringList{QStringLiteral("default"), QStringLiteral("Open Pendlow")}));
        } else {
            QVERIFY(call.actions.isEmpty());
            QVERIFY(!call.hints.contains(QStringLiteral("urgency")));
            QVERIFY(!call.hints.contains(QStringLiteral("category")));
        }
    }

    // A click on the warning (the server's ActionInvoked with "default") opens the popover, also for
    // a warning that replaced the first; clicks on other notifications, other actions and other
    // programs' notifications do nothing.
    void clickingTheWarningOpensThePopover() {
        QSignalSpy opens(m_service.get(), &NotificationService::openPopoverRequested);
        QVERIFY(!awaitTask(m_service->sendTimerStarted(QStringLiteral("Fix login bug"))).failed());
        const uint started = lastCall().id;
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        const uint warning = lastCall().id;

        m_server->invokeAction(started, QStringLiteral("default"));
        m_server->invokeAction(warning, QStringLiteral("other"));
        m_server->invokeAction(warning + 100, QStringLiteral("default"));
        m_server->invokeAction(warning, QStringLiteral("default"));
        QTRY_COMPARE(opens.count(), 1);

        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        QCOMPARE(lastCall().replacesId, warning);
        m_server->invokeAction(lastCall().id, QStringLiteral("default"));
        QTRY_COMPARE(opens.count(), 2);
        QTest::qWait(50);
        QCOMPARE(opens.count(), 2);
    }

    // Where the icon is not installed (a build run from its folder) notifications name a PNG drawn
    // from our own icon; once `make install` has put it into the icon theme, its theme name.
    void iconIsTheThemeNameOnceInstalledElseAFile() {
        const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
        const QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
        QVERIFY(!dataHome.isEmpty());
        QTemporaryDir emptyDirs;
        qputenv("XDG_DATA_DIRS", emptyDirs.path().toUtf8());
        const auto restore = qScopeGuard([&] { qputenv("XDG_DATA_DIRS", dataDirs); });

        const QString file = ApplicationIcon::notificationIcon();
        QVERIFY2(file.startsWith(QStringLiteral("file:///")), qPrintable(file));
        const QImage image(QUrl(file).toLocalFile());
        QCOMPARE(image.size(), QSize(ApplicationIcon::fileSize, ApplicationIcon::fileSize));
        QVERIFY(image.pixelColor(image.width() / 2, image.height() / 2).alpha() > 0);

        const QString installed = dataHome + QStringLiteral("/icons/hicolor/scalable/apps/pendlow.svg");
        QVERIFY(QDir().mkpath(QFileInfo(installed).path()));
        QVERIFY(QFile::copy(QStringLiteral(":/icons/pendlow.svg"), installed));
        const auto removeInstalled = qScopeGuard([&] { QFile::remove(installed); });
        QCOMPARE(ApplicationIcon::notificationIcon(), QStringLiteral("pendlow"));
        NotificationService service(m_bus->connect(QStringLiteral("installed")));
        QVERIFY(!awaitTask(service.sendTimerStopped(QStringLiteral("00:10"))).failed());
        QCOMPARE(lastCall().appIcon, QStringLiteral("pendlow"));
        m_bus->disconnect(QStringLiteral("installed"));
    }

    void startedNoticeCutsTheTaskNameByGraphemeClusters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("subtitle");

        const QString family =
            QString::fromUtf8("\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466");
        const QString accented = QString::fromUtf8("e\u0301");
        const QString flag = QString::fromUtf8("\U0001F1F3\U0001F1F1");
        QTest::newRow("50 characters stay whole") << repeated("a", 50) << repeated("a", 50);
        QTest::newRow("51 characters are cut to 47 and ...")
            << repeated("a", 51) << repeated("a", 47) + "...";
        QTest::newRow("50 family emoji stay whole") << repeated(family, 50) << repeated(family, 50);
        QTest::newRow("51 family emoji are cut between emoji")
            << repeated(family, 51) << repeated(family, 47) + "...";
        QTest::newRow("combining accents stay with their letter")
            << repeated(accented, 60) << repeated(accented, 47) + "...";
        QTest::newRow("flags are not split") << "x" + repeated(flag, 55) << "x" + repeated(flag, 46) + "...";
    }

    void startedNoticeCutsTheTaskNameByGraphemeClusters() {
        QFETCH(QString, name);
        QFETCH(QString, subtitle);
        QVERIFY(!awaitTask(m_service->sendTimerStarted(name)).failed());
        QCOMPARE(lastCall().body.section(QLatin1Char('\n'), 0, 0), subtitle);
    }

    void taskNameIsEscapedForServersThatReadMarkup_data() {
        QTest::addColumn<bool>("markup");
        QTest::addColumn<QString>("subtitle");
        QTest::newRow("server reads markup") << true << "&lt;b&gt;Fix &amp; ship&lt;/b&gt;";
        QTest::newRow("plain-text server") << false << "<b>Fix & ship</b>";
    }

    void taskNameIsEscapedForServersThatReadMarkup() {
        QFETCH(bool, markup);
        QFETCH(QString, subtitle);
        m_server->setCapabilities(markup ? QStringList{"body", "body-markup"} : QStringList{"body"});
        QVERIFY(!awaitTask(m_service->sendTimerStarted(onHeap(u"<b>Fix & ship</b>"))).failed());
        QCOMPARE(lastCall().body.section(QLatin1Char('\n'), 0, 0), subtitle);
    }

    void otherNoticesStackAsNotificationsOfTheirOwn() {
        QVERIFY(!awaitTask(m_service->sendTimerStopped(onHeap(u"00:10"))).failed());
        QVERIFY(!awaitTask(m_service->sendTimerStopped(onHeap(u"00:20"))).failed());
        QCOMPARE(m_server->shown().size(), 2);
    }

    void aNewerWarningReplacesTheShownOne() {
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        const uint first = lastCall().id;
        QCOMPARE(m_service->noTimerWarningId(), std::optional<uint>(first));
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        QCOMPARE(lastCall().replacesId, first);
        QCOMPARE(m_server->shown().size(), 1);
    }

    void warningsSentTogetherDoNotStack() {
        m_server->setHoldReplies(true);
        auto first = m_service->sendNoTimerWarning();
        auto second = m_service->sendNoTimerWarning();
        QTRY_COMPARE(m_server->heldReplies(), 1);
        m_server->setHoldReplies(false);
        m_server->releaseHeldReplies();
        QVERIFY(!awaitTask(std::move(first)).failed());
        QVERIFY(!awaitTask(std::move(second)).failed());
        QCOMPARE(m_server->notifyCalls().size(), 2);
        QCOMPARE(m_server->notifyCalls().at(1).replacesId, m_server->notifyCalls().at(0).id);
        QCOMPARE(m_server->shown().size(), 1);
    }

    void removingTheWarningClosesIt() {
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        const uint id = lastCall().id;
        QVERIFY(!awaitTask(m_service->removeNoTimerWarning()).failed());
        QCOMPARE(m_server->closeCalls(), QList<uint>{id});
        QVERIFY(m_server->shown().isEmpty());
        QVERIFY(!m_service->noTimerWarningId());

        // Nothing left to withdraw: no call, no failure. The next warning is a new one.
        QVERIFY(!awaitTask(m_service->removeNoTimerWarning()).failed());
        QCOMPARE(m_server->closeCalls().size(), 1);
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        QCOMPARE(lastCall().replacesId, 0u);
    }

    void aWarningWithdrawnWhileOnItsWayIsClosedWhenItArrives() {
        m_server->setHoldReplies(true);
        auto sending = m_service->sendNoTimerWarning();
        QTRY_COMPARE(m_server->heldReplies(), 1);
        QVERIFY(!awaitTask(m_service->removeNoTimerWarning()).failed());
        m_server->releaseHeldReplies();
        QVERIFY(!awaitTask(std::move(sending)).failed());
        QTRY_VERIFY(m_server->shown().isEmpty());
        QVERIFY(!m_service->noTimerWarningId());
    }

    void aWarningTheUserClosedIsNotReused() {
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        m_server->closeByUser(lastCall().id);
        QTRY_VERIFY(!m_service->noTimerWarningId());
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        QCOMPARE(lastCall().replacesId, 0u);
    }

    void aNewServerStartsWithoutTheOldWarning() {
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        m_server.reset();
        m_bus->disconnect(QStringLiteral("server-%1").arg(m_round));
        QTRY_VERIFY(!m_service->noTimerWarningId());
        startServer();
        QVERIFY(!awaitTask(m_service->sendNoTimerWarning()).failed());
        QCOMPARE(lastCall().replacesId, 0u);
    }

    void failedSendsPrintOneLineAndGoNoFurther_data() {
        QTest::addColumn<bool>("serverRuns");
        QTest::newRow("server refuses") << true;
        QTest::newRow("no server on the bus") << false;
    }

    void failedSendsPrintOneLineAndGoNoFurther() {
        QFETCH(bool, serverRuns);
        if (serverRuns) {
            m_server->setRefusal(QStringLiteral("org.freedesktop.Notifications.Error.Denied"),
                                 QStringLiteral("Notifications are turned off"));
        } else {
            m_server.reset();
            m_bus->disconnect(QStringLiteral("server-%1").arg(m_round));
        }

        OutputCapture capture;
        const bool allReturned =
            !awaitTask(m_service->sendNoTimerWarning()).failed() &&
            !awaitTask(m_service->sendTimerStarted(onHeap(u"Task"))).failed() &&
            !awaitTask(m_service->sendTimerStopped(onHeap(u"00:01"))).failed() &&
            !awaitTask(m_service->sendSilentModeActivated(QDateTime::currentDateTime())).failed() &&
            !awaitTask(m_service->removeNoTimerWarning()).failed();
        const QStringList lines = capture.text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY(allReturned);

        QCOMPARE(lines.size(), 4);
        for (const QString& line : lines) {
            if (serverRuns) {
                QCOMPARE(line, QStringLiteral("Failed to send notification: Notifications are turned off"));
            } else {
                QVERIFY2(line.startsWith(QStringLiteral("Failed to send notification: ")) &&
                             line.contains(QStringLiteral("org.freedesktop.Notifications")),
                         qPrintable(line));
            }
        }
        QVERIFY(!m_service->noTimerWarningId());
    }

    void permissionMeansTheServerAnswers() {
        OutputCapture quiet;
        const auto granted = awaitTask(m_service->requestPermission());
        QCOMPARE(quiet.text(), QString());
        QCOMPARE(granted.value, std::optional<bool>(true));
        QCOMPARE(m_server->serverInformationCalls(), 1);

        m_server.reset();
        m_bus->disconnect(QStringLiteral("server-%1").arg(m_round));
        OutputCapture capture;
        const auto refused = awaitTask(m_service->requestPermission());
        const QString printed = capture.text();
        QCOMPARE(refused.value, std::optional<bool>(false));
        QVERIFY2(printed.startsWith(QStringLiteral("Notification permission error: ")) &&
                     printed.endsWith(QLatin1Char('\n')) && printed.count(QLatin1Char('\n')) == 1,
                 qPrintable(printed));
    }
};

PENDLOW_TEST_MAIN(NotificationServiceTest)
#include "tst_NotificationService.moc"
