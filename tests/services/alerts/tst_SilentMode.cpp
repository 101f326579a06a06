// Silent mode over a settings file of its own and fake notifications, on a pinned clock: starting
// and ending it, the step run after each change, the bounds of its length, and a passed end.
#include "support/FakeClock.h"
#include "support/FakeNotificationService.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "services/alerts/SilentMode.h"

#include <QSignalSpy>

#include <limits>
#include <memory>

namespace {
const QDateTime kMondayMorning(QDate(2026, 3, 2), QTime(10, 0));
constexpr qint64 tenYears = qint64(10) * 366 * 24 * 3600;
} // namespace

class SilentModeTest : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeClock> m_clock;
    std::unique_ptr<TestSettings> m_settings;
    FakeNotificationService m_notifications;
    std::unique_ptr<SilentMode> m_silentMode;

    SilentMode& silentMode() { return *m_silentMode; }

private Q_SLOTS:
    void init() {
        m_clock = std::make_unique<FakeClock>(kMondayMorning);
        m_settings = std::make_unique<TestSettings>();
        m_notifications.events.clear();
        m_silentMode = std::make_unique<SilentMode>(*m_settings, m_notifications);
    }

    void cleanup() {
        m_silentMode.reset();
        m_settings.reset();
        m_clock.reset();
    }

    void enableAndDisable() {
        QSignalSpy activeSpy(&silentMode(), &SilentMode::activeChanged);
        QSignalSpy endSpy(&silentMode(), &SilentMode::endChanged);
        // The step after a change runs before the notification, with the new end stored.
        QList<std::optional<QDateTime>> endsSeen;
        QList<qsizetype> notificationsSeen;
        silentMode().setAfterChange([this, &endsSeen, &notificationsSeen]() -> QCoro::Task<> {
            endsSeen.append(m_settings->silentModeEnd());
            notificationsSeen.append(m_notifications.events.size());
            co_return;
        });

        awaitTask(silentMode().enable(4 * 3600));
        QVERIFY(silentMode().isActive());
        const QDateTime end = kMondayMorning.addSecs(4 * 3600);
        QCOMPARE(m_settings->silentModeEnd(), std::optional<QDateTime>(end));
        QCOMPARE(silentMode().end(), std::optional<QDateTime>(end));
        QCOMPARE(m_notifications.events,
                 QStringList{QStringLiteral("silentMode:") + end.toString(Qt::ISODate)});
        QCOMPARE(endsSeen, QList<std::optional<QDateTime>>{end});
        QCOMPARE(notificationsSeen, QList<qsizetype>{0});

        awaitTask(silentMode().disable());
        QVERIFY(!silentMode().isActive());
        QVERIFY(!m_settings->silentModeEnd());
        QCOMPARE(m_notifications.events.size(), 1); // no notification for the end
        QCOMPARE(endsSeen.size(), 2);
        QCOMPARE(endsSeen.last(), std::nullopt);
        QCOMPARE(activeSpy.count(), 2);
        QCOMPARE(endSpy.count(), 2);
    }

    // Choosing silent mode again while it lasts moves the end without flagging it anew.
    void enablingAgainMovesTheEnd() {
        awaitTask(silentMode().enable(3600));
        QSignalSpy activeSpy(&silentMode(), &SilentMode::activeChanged);
        QSignalSpy endSpy(&silentMode(), &SilentMode::endChanged);
        awaitTask(silentMode().enable(86400));
        QCOMPARE(silentMode().end(), std::optional<QDateTime>(kMondayMorning.addSecs(86400)));
        QCOMPARE(activeSpy.count(), 0);
        QCOMPARE(endSpy.count(), 1);
        QCOMPARE(m_notifications.eventsStartingWith(QStringLiteral("silentMode:")).size(), 2);
    }

    void lengthIsBounded_data() {
        QTest::addColumn<double>("seconds");
        QTest::addColumn<qint64>("storedSeconds"); // the end, from now
        QTest::addColumn<bool>("active");
        QTest::newRow("zero") << 0.0 << qint64(0) << false;
        QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << qint64(0) << false;
        QTest::newRow("endless") << std::numeric_limits<double>::infinity() << qint64(0) << false;
        QTest::newRow("in the past") << -60.0 << qint64(-60) << false;
        QTest::newRow("beyond ten years") << 1e300 << tenYears << true;
    }

    void lengthIsBounded() {
        QFETCH(double, seconds);
        QFETCH(qint64, storedSeconds);
        QFETCH(bool, active);
        awaitTask(silentMode().enable(seconds));
        QCOMPARE(m_settings->silentModeEnd(),
                 std::optional<QDateTime>(kMondayMorning.addSecs(storedSeconds)));
        QCOMPARE(silentMode().isActive(), active); // looked at again after the change
        QCOMPARE(m_notifications.eventsStartingWith(QStringLiteral("silentMode:")).size(), 1);
    }

    void passedEndEndsAtTheNextUpdate() {
        awaitTask(silentMode().enable(60));
        m_clock->advance(61);
        QVERIFY(silentMode().isActive()); // nothing ends it on its own
        silentMode().update();
        QVERIFY(!silentMode().isActive());
    }

    void updateFollowsAStoredEnd() {
        m_settings->setSilentModeEnd(kMondayMorning.addSecs(600));
        QSignalSpy activeSpy(&silentMode(), &SilentMode::activeChanged);
        silentMode().update();
        silentMode().update();
        QVERIFY(silentMode().isActive());
        QCOMPARE(activeSpy.count(), 1);
        QVERIFY(m_notifications.events.isEmpty());
    }
};

PENDLOW_TEST_MAIN(SilentModeTest)
#include "tst_SilentMode.moc"
