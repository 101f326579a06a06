// The tray label: its text and symbol for each state, the task-name cut by user-perceived
// characters, the pulse of the idle clock, the drawn symbols, and what reaches the tray when the
// state changes and when the application's clock ticks.
#include "support/AppStateFixture.h"
#include "support/FakeClock.h"
#include "support/TestMain.h"

#include "platform/TrayIcon.h"
#include "services/alerts/SilentMode.h"
#include "ui/menubar/MenuBarIcon.h"
#include "ui/menubar/MenuBarView.h"

#include <QSet>
#include <QSignalSpy>

#include <memory>

namespace {
const QDateTime kNow(QDate(2025, 3, 4), QTime(14, 30));
const QString kRecord = QStringLiteral("\u23FA");
const QString kDot = QStringLiteral("\u25CF");
const QString kBar = QStringLiteral(" \u2502 ");

ActiveTimer timerOn(const QString& name, qint64 minutesAgo) {
    return ActiveTimer{QStringLiteral("e1"), QStringLiteral("t1"), name, QUrl(),
                       kNow.addSecs(-minutesAgo * 60)};
}

TimeEntry entryOf(qint64 minutes) {
    TimeEntry entry;
    entry.id = QStringLiteral("e%1").arg(minutes);
    entry.taskName = QStringLiteral("Invoices");
    entry.startTime = kNow.addSecs(-3 * 3600);
    entry.duration = double(minutes * 60 * 1000);
    entry.endTime = entry.startTime.addMSecs(qint64(entry.duration));
    return entry;
}

// Opaque pixels, and whether one of them has the colour.
struct Pixels {
    int opaque = 0;
    int maxAlpha = 0;
    bool has(const QImage& image, QColor color) const {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.alpha() == 255 && std::abs(c.red() - color.red()) < 8 &&
                    std::abs(c.green() - color.green()) < 8 && std::abs(c.blue() - color.blue()) < 8) {
                    return true;
                }
            }
        }
        return false;
    }
    static Pixels of(const QImage& image) {
        Pixels p;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const int alpha = qAlpha(image.pixel(x, y));
                p.maxAlpha = std::max(p.maxAlpha, alpha);
                p.opaque += alpha > 200 ? 1 : 0;
            }
        }
        return p;
    }
};
} // namespace

class MenuBarIconTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<TrayIcon> m_tray;

    AppState& state() { return m_fixture->state(); }

    // A tray item that is never shown, on no bus: the label only records what it is given.
    std::unique_ptr<MenuBarIcon> makeIcon() {
        m_tray = std::make_unique<TrayIcon>(QDBusConnection(QStringLiteral("no-bus")));
        auto icon = std::make_unique<MenuBarIcon>(*state().timerState(), *state().worklogState(),
                                                  state().userDefaultsService(), *m_tray);
        MenuBarView::bindMenuBarIcon(*icon, state());
        return icon;
    }

private Q_SLOTS:
    void init() { m_fixture = std::make_unique<AppStateFixture>(); }

    void cleanup() {
        m_tray.reset();
        m_fixture.reset();
    }

    void faceFollowsTheState_data() {
        QTest::addColumn<bool>("running");
        QTest::addColumn<bool>("trigger");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<double>("total");
        QTest::addColumn<bool>("pulsingSetting");
        QTest::addColumn<QString>("text");
        QTest::addColumn<MenuBarIcon::Symbol>("symbol");
        QTest::addColumn<bool>("pulse");

        const QString timerLine = QStringLiteral(" 01:05") + kBar + QStringLiteral("Implement the logi");
        QTest::newRow("timer, dot") << true << true << false << 0.0 << true << kRecord + timerLine
                                    << MenuBarIcon::Symbol::recordDot << false;
        QTest::newRow("timer, other dot") << true << false << false << 0.0 << true << kDot + timerLine
                                          << MenuBarIcon::Symbol::recordDotSmall << false;
        QTest::newRow("timer wins over silent mode and total")
            << true << true << true << 3.9e6 << true << kRecord + timerLine << MenuBarIcon::Symbol::recordDot
            << false;
        QTest::newRow("idle, nothing logged: the clock alone")
            << false << true << false << 0.0 << true << QString() << MenuBarIcon::Symbol::clock << true;
        QTest::newRow("idle with today's total")
            << false << false << false << 3.9e6 << true << QStringLiteral("01:05")
            << MenuBarIcon::Symbol::clock << true;
        QTest::newRow("silent: bell, no pulse")
            << false << true << true << 0.0 << true << QString() << MenuBarIcon::Symbol::silentBell << false;
        QTest::newRow("silent with total")
            << false << true << true << 3.9e6 << true << QStringLiteral("01:05")
            << MenuBarIcon::Symbol::silentBell << false;
        QTest::newRow("pulsing switched off")
            << false << true << false << 0.0 << false << QString() << MenuBarIcon::Symbol::clock << false;
    }

    void faceFollowsTheState() {
        QFETCH(bool, running);
        QFETCH(bool, trigger);
        QFETCH(bool, silent);
        QFETCH(double, total);
        QFETCH(bool, pulsingSetting);
        const FakeClock clock(kNow);
        const std::optional<ActiveTimer> timer =
            running ? std::optional(timerOn(QStringLiteral("Implement the login flow"), 65)) : std::nullopt;
        const MenuBarIcon::Face face =
            MenuBarIcon::faceFor(timer, trigger, silent, total, QStringLiteral("01:05"), pulsingSetting);
        QTEST(face.text, "text");
        QTEST(face.symbol, "symbol");
        QTEST(face.shouldPulse, "pulse");
    }

    void taskNameIsCutByCharacters_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        const QString eighteen = QStringLiteral("Quarterly planning");
        QTest::newRow("short") << QStringLiteral("Fix bug") << QStringLiteral("Fix bug");
        QTest::newRow("exactly 18") << eighteen << eighteen;
        QTest::newRow("19, no ellipsis") << eighteen + QStringLiteral("!") << eighteen;
        QTest::newRow("empty") << QString() << QString();
        const QString coder = QStringLiteral("\U0001F469\u200D\U0001F4BB"); // one character, five code units
        QTest::newRow("joined emoji counts once")
            << coder + QString(20, QLatin1Char('a')) << coder + QString(17, QLatin1Char('a'));
        const QString flag = QStringLiteral("\U0001F1F3\U0001F1F1");
        QTest::newRow("flag counts once")
            << flag + flag + QString(20, QLatin1Char('b')) << flag + flag + QString(16, QLatin1Char('b'));
        const QString accented = QStringLiteral("e\u0301");
        QTest::newRow("combining accents stay with their letter")
            << accented.repeated(20) << accented.repeated(18);
    }

    void taskNameIsCutByCharacters() {
        QFETCH(QString, name);
        QTEST(MenuBarIcon::taskNamePrefix(name), "shown");
    }

    void elapsedTimeKeepsAllHourDigits() {
        const FakeClock clock(kNow);
        QCOMPARE(MenuBarIcon::timerText(timerOn(QStringLiteral("Long"), 100 * 60 + 7), false),
                 kDot + QStringLiteral(" 100:07") + kBar + QStringLiteral("Long"));
    }

    void pulseFadesOneSecondEachWay_data() {
        QTest::addColumn<qint64>("ms");
        QTest::addColumn<double>("opacity");
        QTest::newRow("start") << qint64(0) << 1.0;
        QTest::newRow("half way down") << qint64(500) << 0.7;
        QTest::newRow("bottom") << qint64(1000) << 0.4;
        QTest::newRow("half way up") << qint64(1500) << 0.7;
        QTest::newRow("top again") << qint64(2000) << 1.0;
        QTest::newRow("next cycle") << qint64(5000) << 0.4;
    }

    void pulseFadesOneSecondEachWay() {
        QFETCH(qint64, ms);
        QFETCH(double, opacity);
        QVERIFY(qAbs(MenuBarIcon::pulseOpacity(ms) - opacity) < 0.001);
        // Eased: slow at the turns, fast in the middle.
        QVERIFY(1.0 - MenuBarIcon::pulseOpacity(100) < 0.6 * 0.1);
    }

    void symbolsAreDrawnInTheirColours() {
        const QColor red(0xff, 0x3b, 0x30);
        const QColor orange(0xff, 0x95, 0x00);
        const QImage dot = MenuBarIcon::symbolImage(MenuBarIcon::Symbol::recordDot, false, 1.0, 22);
        const QImage smallDot = MenuBarIcon::symbolImage(MenuBarIcon::Symbol::recordDotSmall, false, 1.0, 22);
        QVERIFY(Pixels().has(dot, red));
        QVERIFY(Pixels::of(dot).opaque > Pixels::of(smallDot).opaque + 20);

        const QImage pulsing = MenuBarIcon::symbolImage(MenuBarIcon::Symbol::clock, true, 1.0, 22);
        const QImage plain = MenuBarIcon::symbolImage(MenuBarIcon::Symbol::clock, false, 1.0, 22);
        QVERIFY(Pixels().has(pulsing, orange));
        QVERIFY(!Pixels().has(plain, orange));
        QVERIFY(Pixels::of(plain).opaque > 0);
        const QImage faded = MenuBarIcon::symbolImage(MenuBarIcon::Symbol::clock, true, 0.4, 22);
        QVERIFY(qAbs(Pixels::of(faded).maxAlpha - 102) <= 2);

        const QImage bell = MenuBarIcon::symbolImage(MenuBarIcon::Symbol::silentBell, false, 1.0, 22);
        QVERIFY(bell != plain);
        QCOMPARE(MenuBarIcon::iconImages(MenuBarIcon::Symbol::clock, false, 1.0).size(),
                 MenuBarIcon::iconSizes().size());
    }

    void trayFollowsStateChangesAtOnce() {
        const FakeClock clock(kNow);
        auto icon = makeIcon();
        QCOMPARE(m_tray->label(), QString());
        QCOMPARE(m_tray->toolTip(), QStringLiteral("Pendlow"));
        QVERIFY(icon->isPulsing());

        state().timerState()->setActiveTimer(timerOn(QStringLiteral("Write report"), 25));
        QCOMPARE(m_tray->label(), kDot + QStringLiteral(" 00:25") + kBar + QStringLiteral("Write report"));
        QCOMPARE(m_tray->toolTip(), m_tray->label());
        QCOMPARE(icon->face().symbol, MenuBarIcon::Symbol::recordDotSmall);
        QVERIFY(!icon->isPulsing());

        state().timerState()->setActiveTimer(std::nullopt);
        state().worklogState()->setTimeEntries({entryOf(45), entryOf(30)});
        QCOMPARE(m_tray->label(), QStringLiteral("01:15"));
        QVERIFY(icon->isPulsing());

        m_fixture->settings.setSilentModeEnd(kNow.addSecs(3600));
        state().silentMode().update();
        QCOMPARE(icon->face().symbol, MenuBarIcon::Symbol::silentBell);
        QCOMPARE(m_tray->label(), QStringLiteral("01:15"));
        QVERIFY(!icon->isPulsing());
        QCOMPARE(icon->clockOpacity(), 1.0);
    }

    // Trays such as xfce4-panel keep a shown tooltip above every window: none while the popover is
    // open, the present one again once it closes.
    void toolTipIsEmptyWhileThePopoverIsOpen() {
        const FakeClock clock(kNow);
        auto icon = makeIcon();
        state().timerState()->setActiveTimer(timerOn(QStringLiteral("Write report"), 25));
        const QString before = m_tray->toolTip();
        QVERIFY(!before.isEmpty());

        state().setIsPopoverVisible(true);
        QCOMPARE(m_tray->toolTip(), QString());
        // The face changes while the popover is open: the label follows, the tooltip stays empty.
        icon->setRefreshTrigger(!icon->refreshTrigger());
        state().timerState()->setActiveTimer(timerOn(QStringLiteral("Review"), 26));
        QVERIFY(m_tray->label().endsWith(QStringLiteral("Review")));
        QCOMPARE(m_tray->toolTip(), QString());

        state().setIsPopoverVisible(false);
        QCOMPARE(m_tray->toolTip(), m_tray->label());
        QCOMPARE(m_tray->toolTip(), icon->toolTipText());

        state().timerState()->setActiveTimer(std::nullopt);
        state().setIsPopoverVisible(true);
        state().setIsPopoverVisible(false);
        QCOMPARE(m_tray->toolTip(), QStringLiteral("Pendlow"));
    }

    void clockTicksSendOnlyWhatChanged() {
        const FakeClock clock(kNow);
        m_fixture->settings.setUseMenuBarPulsing(false);
        auto icon = makeIcon();
        QSignalSpy faces(icon.get(), &MenuBarIcon::faceChanged);
        QSignalSpy icons(icon.get(), &MenuBarIcon::iconChanged);
        // Idle, no pulse: ticks change nothing.
        for (bool trigger : {true, false, true}) {
            icon->setRefreshTrigger(trigger);
        }
        QCOMPARE(faces.count(), 0);
        QCOMPARE(icons.count(), 0);

        // A running timer: each tick swaps the glyph and the dot.
        state().timerState()->setActiveTimer(timerOn(QStringLiteral("Write report"), 25));
        faces.clear();
        icons.clear();
        icon->setRefreshTrigger(false);
        icon->setRefreshTrigger(true);
        QCOMPARE(faces.count(), 2);
        QCOMPARE(icons.count(), 2);
        QVERIFY(m_tray->label().startsWith(kRecord));
        QCOMPARE(icon->face().symbol, MenuBarIcon::Symbol::recordDot);
        icon->setRefreshTrigger(true); // the same trigger again: nothing new
        QCOMPARE(faces.count(), 2);
    }

    void pulseFramesFollowTheFade() {
        // Walking the pulse from change to change: the frame steps by one opacity each time, down to
        // 0.4 and back, and never changes in between.
        qint64 at = 0;
        int frame = MenuBarIcon::pulseFrameAt(0);
        QCOMPARE(frame, 0);
        QList<int> visited{frame};
        int changes = 0;
        while (true) {
            const int wait = MenuBarIcon::msUntilNextPulseFrame(at);
            QVERIFY(wait >= 1);
            if (at + wait > 2 * MenuBarIcon::pulseHalfPeriodMs) {
                break;
            }
            QCOMPARE(MenuBarIcon::pulseFrameAt(at + wait - 1), frame);
            const int next = MenuBarIcon::pulseFrameAt(at + wait);
            QCOMPARE(std::abs(next - frame), 1);
            QVERIFY(qAbs(MenuBarIcon::pulseFrameOpacity(next) - MenuBarIcon::pulseOpacity(at + wait)) <
                    0.101);
            frame = next;
            visited.append(frame);
            at += wait;
            ++changes;
        }
        QCOMPARE(changes, 2 * (MenuBarIcon::pulseFrameCount - 1));
        QCOMPARE(*std::max_element(visited.begin(), visited.end()), MenuBarIcon::pulseFrameCount - 1);
        QCOMPARE(MenuBarIcon::pulseFrameOpacity(MenuBarIcon::pulseFrameCount - 1), 0.4);
        QCOMPARE(frame, 0);
    }

    void pulseSwapsAFewPreRenderedIcons() {
        auto icon = makeIcon();
        QVERIFY(icon->isPulsing());
        QCOMPARE(icon->face().symbol, MenuBarIcon::Symbol::clock);
        QList<QList<qint64>> sent;
        connect(icon.get(), &MenuBarIcon::iconChanged, this,
                [&] { sent.append(TrayBackend::iconKey(m_tray->icon())); });
        QTest::qWait(2500);
        // Three new icons a second, each another frame than the one before, and all of them out of one
        // small set of image objects that is used again in every period.
        QVERIFY2(sent.size() >= 6 && sent.size() <= 10, qPrintable(QString::number(sent.size())));
        for (qsizetype i = 1; i < sent.size(); ++i) {
            QVERIFY(sent.at(i) != sent.at(i - 1));
        }
        const QSet<QList<qint64>> distinct(sent.begin(), sent.end());
        QCOMPARE(distinct.size(), MenuBarIcon::pulseFrameCount);
    }

    void pulseStopsWithTheSettingAndWhilePaused() {
        auto icon = makeIcon();
        QVERIFY(icon->isPulseScheduled());
        QSignalSpy icons(icon.get(), &MenuBarIcon::iconChanged);

        // Paused (the screen is blanked): no timer, no icons; resumed, the pulse goes on.
        icon->setPulsePaused(true);
        QVERIFY(!icon->isPulseScheduled());
        icons.clear();
        QTest::qWait(400);
        QCOMPARE(icons.count(), 0);
        icon->setPulsePaused(false);
        QVERIFY(icon->isPulseScheduled());
        QTRY_VERIFY(icons.count() >= 1);

        // Switched off: the pulse ends at the next redraw, at full opacity.
        m_fixture->settings.setUseMenuBarPulsing(false);
        QVERIFY(icon->isPulsing());
        icon->setRefreshTrigger(!icon->refreshTrigger());
        QVERIFY(!icon->isPulsing());
        QVERIFY(!icon->isPulseScheduled());
        QCOMPARE(icon->clockOpacity(), 1.0);
        icons.clear();
        QTest::qWait(300);
        QCOMPARE(icons.count(), 0);
    }
};

PENDLOW_TEST_MAIN(MenuBarIconTest)
#include "tst_MenuBarIcon.moc"
