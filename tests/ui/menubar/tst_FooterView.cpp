// The popover's footer over the root state's silent mode and e-mail forward (real, over fakes): the
// silent-mode menu and countdown, ending silent mode, e-mail forwarding, and the Dashboard,
// Settings, Updates and Quit actions.
#include "support/AppStateFixture.h"
#include "support/LogCapture.h"
#include "support/RequireChild.h"
#include "support/TaskAwait.h"
#include "support/TestMain.h"

#include "core/Formatting.h"
#include "services/alerts/SilentMode.h"
#include "services/forwarding/EmailForwarder.h"
#include "services/forwarding/EmailForwardingError.h"
#include "services/forwarding/ForwardingClient.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/menubar/FooterView.h"
#include <QCoroTimer>

#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <memory>

namespace {
const QDateTime kNoon(QDate(2026, 3, 2), QTime(12, 0));

// Forwarding that answers after a short wait with a set address or error.
class FakeForwarding : public ForwardingClient {
public:
    bool configured = true;
    int calls = 0;
    std::optional<QString> taskUrl;
    std::exception_ptr error;

    bool isConfigured() const override { return configured; }
    QCoro::Task<std::optional<QString>> forwardCurrentEmail() override {
        ++calls;
        co_await QCoro::sleepFor(std::chrono::milliseconds(150));
        if (error) {
            std::rethrow_exception(error);
        }
        co_return taskUrl;
    }
};
} // namespace

class FooterViewTest : public QObject {
    Q_OBJECT

    std::unique_ptr<AppStateFixture> m_fixture;
    std::unique_ptr<FooterView> m_view;

    AppState& state() { return m_fixture->state(); }
    SilentMode& silentMode() { return state().silentMode(); }
    EmailForwarder& forwarder() { return state().emailForwarder(); }

    template <typename T>
    T* child(const char* name) {
        return requireChild<T>(m_view.get(), name);
    }
    bool shows(const char* name) { return child<QWidget>(name)->isVisibleTo(m_view.get()); }
    QString silentLine() { return child<QLabel>("silentModeLabel")->text(); }

    QAction* menuItem(const QString& title) {
        for (QAction* action : m_view->silentModeMenu()->actions()) {
            if (action->text() == title) {
                return action;
            }
        }
        return nullptr;
    }

private Q_SLOTS:
    void init() {
        m_fixture = std::make_unique<AppStateFixture>(kNoon);
        FooterView::Services services{
            .silentMode = silentMode(),
            .forwarder = forwarder(),
            .openPage = [this](const QUrl& url, const QString& title) { state().openPage(url, title); }};
        m_view = std::make_unique<FooterView>(std::move(services));
        m_view->resize(316, 90);
    }

    void cleanup() {
        m_view.reset();
        m_fixture.reset();
    }

    void remainingText_data() {
        QTest::addColumn<QVariant>("secondsLeft"); // invalid: no end stored
        QTest::addColumn<QString>("text");
        QTest::newRow("no end") << QVariant() << QString();
        QTest::newRow("passed") << QVariant(-5) << QStringLiteral("ending");
        QTest::newRow("now") << QVariant(0) << QStringLiteral("ending");
        QTest::newRow("59 s") << QVariant(59) << QStringLiteral("<1m left");
        QTest::newRow("60 s") << QVariant(60) << QStringLiteral("1m left");
        QTest::newRow("119.9 s") << QVariant(119.9) << QStringLiteral("1m left");
        QTest::newRow("3599 s") << QVariant(3599) << QStringLiteral("59m left");
        QTest::newRow("3600 s") << QVariant(3600) << QStringLiteral("1h 0m left");
        QTest::newRow("3900 s") << QVariant(3900) << QStringLiteral("1h 5m left");
        QTest::newRow("two days") << QVariant(172800) << QStringLiteral("48h 0m left");
    }

    void remainingText() {
        QFETCH(QVariant, secondsLeft);
        QFETCH(QString, text);
        const std::optional<QDateTime> end =
            secondsLeft.isValid() ? std::optional(kNoon.addMSecs(qint64(secondsLeft.toDouble() * 1000)))
                                  : std::nullopt;
        QCOMPARE(FooterView::remainingText(end, kNoon), text);
    }

    void silentModeMenuEnablesTheChosenDuration_data() {
        QTest::addColumn<QString>("item");
        QTest::addColumn<qint64>("seconds");
        QTest::addColumn<QString>("line");
        QTest::newRow("1 hour") << QStringLiteral("1 hour") << qint64(3600)
                                << QStringLiteral("Silent (1h 0m left)");
        QTest::newRow("4 hours") << QStringLiteral("4 hours") << qint64(14400)
                                 << QStringLiteral("Silent (4h 0m left)");
        QTest::newRow("1 day") << QStringLiteral("1 day") << qint64(86400)
                               << QStringLiteral("Silent (24h 0m left)");
        QTest::newRow("2 days") << QStringLiteral("2 days") << qint64(172800)
                                << QStringLiteral("Silent (48h 0m left)");
    }

    void silentModeMenuEnablesTheChosenDuration() {
        QFETCH(QString, item);
        QFETCH(qint64, seconds);
        QFETCH(QString, line);
        m_view->show();
        QVERIFY(shows("silentModeButton"));
        QVERIFY(!shows("silentModeLine"));
        QCOMPARE(m_view->silentModeMenu()->actions().size(), 4);

        QAction* action = menuItem(item);
        QVERIFY(action);
        action->trigger();
        QTRY_VERIFY(silentMode().isActive());
        QCOMPARE(m_fixture->settings.silentModeEnd(), std::optional(kNoon.addSecs(seconds)));
        QCOMPARE(m_fixture->notifications.eventsStartingWith(QStringLiteral("silentMode:")).size(), 1);

        // The menu gives way to the countdown line.
        QVERIFY(shows("silentModeLine"));
        QVERIFY(!shows("silentModeButton"));
        QCOMPARE(silentLine(), line);
        QVERIFY(m_view->countdownTimer().isActive());
        QCOMPARE(m_view->countdownTimer().interval(), FooterView::countdownIntervalMs);
    }

    void countdownTicksOnlyWhileTheLineIsOnScreen() {
        m_view->setCountdownInterval(20);
        m_view->show();
        QVERIFY(awaitTask(silentMode().enable(3600)).finished);
        QCOMPARE(silentLine(), QStringLiteral("Silent (1h 0m left)"));

        m_fixture->clock().advance(30 * 60 + 30);
        QTRY_COMPARE(silentLine(), QStringLiteral("Silent (29m left)"));
        m_fixture->clock().advance(31 * 60);
        QTRY_COMPARE(silentLine(), QStringLiteral("Silent (ending)"));
        // The footer never ends silent mode by itself.
        QVERIFY(silentMode().isActive());

        // Without a stored end the parentheses stay empty.
        m_fixture->settings.setSilentModeEnd(std::nullopt);
        QTRY_COMPARE(silentLine(), QStringLiteral("Silent ()"));

        m_view->hide();
        QVERIFY(!m_view->countdownTimer().isActive());
        m_view->show();
        QVERIFY(m_view->countdownTimer().isActive());
    }

    void disableButtonEndsSilentMode() {
        m_view->show();
        QVERIFY(awaitTask(silentMode().enable(14400)).finished);
        QCOMPARE(child<QToolButton>("disableSilentModeButton")->toolTip(),
                 QStringLiteral("Disable Silent Mode"));
        m_fixture->notifications.events.clear();

        child<QToolButton>("disableSilentModeButton")->click();
        QTRY_VERIFY(!silentMode().isActive());
        QVERIFY(!m_fixture->settings.silentModeEnd().has_value());
        QVERIFY(m_fixture->notifications.events.isEmpty());
        QVERIFY(shows("silentModeButton"));
        QVERIFY(!shows("silentModeLine"));
        QVERIFY(!m_view->countdownTimer().isActive());
    }

    void dashboardOpensTheWeekView() {
        QList<QPair<QUrl, QString>> opened;
        m_view->setUrlOpener([&](const QUrl& url, const QString& title) { opened.append({url, title}); });
        child<QToolButton>("dashboardButton")->click();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(opened.at(0).first.scheme(), QStringLiteral("https"));
        QCOMPARE(opened.at(0).first.host(), FooterView::dashboardHost);
        QCOMPARE(opened.at(0).first.path(), QStringLiteral("/admin/tool/brisvane/view/weekview.php"));
        QCOMPARE(opened.at(0).second, QStringLiteral("Dashboard"));
    }

    void updatesLogsThenChecks() {
        int checks = 0;
        m_view->setUpdateChecker([&] { ++checks; });
        LogCapture log;
        child<QToolButton>("updatesButton")->click();
        QCOMPARE(log.lines(Log::Level::notice), QStringList{QStringLiteral("[UI] Update button clicked.")});
        QTRY_COMPARE(checks, 1);
    }

    void quitRunsTheQuitAction() {
        int quits = 0;
        m_view->setQuitAction([&] { ++quits; });
        child<QToolButton>("quitButton")->click();
        QCOMPARE(quits, 1);
    }

    void settingsStaysDisabledUntilThereIsAWindow() {
        QToolButton* settings = child<QToolButton>("settingsButton");
        QCOMPARE(settings->text(), QStringLiteral("Settings"));
        QVERIFY(!settings->isEnabled());
        QVERIFY(!settings->toolTip().isEmpty());

        int opened = 0;
        m_view->setSettingsAction([&] { ++opened; });
        QVERIFY(settings->isEnabled());
        settings->click();
        QCOMPARE(opened, 1);
    }

    void emailButtonOnlyWhileForwardingIsConfigured() {
        m_view->show();
        QVERIFY(!shows("emailForwardButton")); // no forwarding service at all

        FakeForwarding forwarding;
        forwarding.configured = false;
        forwarder().setService(&forwarding);
        m_view->hide();
        m_view->show();
        QVERIFY(!shows("emailForwardButton"));

        forwarding.configured = true;
        m_view->hide();
        m_view->show(); // read each time the footer is shown
        QVERIFY(shows("emailForwardButton"));
        QCOMPARE(child<QToolButton>("emailForwardButton")->text(), QStringLiteral("Email → ClickUp"));
        forwarder().setService(nullptr);
    }

    void emailButtonForwardsAndShowsTheOutcome_data() {
        QTest::addColumn<QString>("taskUrl"); // empty: none
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("opened"); // empty: nothing opened

        QTest::newRow("task created")
            << "https://app.clickup.com/t/86a" << false << "Email sent to n8n; opening the ClickUp task"
            << "https://app.clickup.com/t/86a";
        QTest::newRow("no task") << "" << false << "Email sent to n8n"
                                 << "";
        QTest::newRow("task address not web") << "javascript:alert(1)" << false << "Email sent to n8n"
                                              << "";
        QTest::newRow("file address") << "file:///etc/passwd" << false << "Email sent to n8n"
                                      << "";
        QTest::newRow("failure") << "" << true << "n8n webhook error (HTTP 500)"
                                 << "";
    }

    void emailButtonForwardsAndShowsTheOutcome() {
        QFETCH(QString, taskUrl);
        QFETCH(bool, fails);
        QFETCH(QString, shown);
        QFETCH(QString, opened);
        FakeForwarding forwarding;
        if (!taskUrl.isEmpty()) {
            forwarding.taskUrl = QString::fromUtf8(taskUrl.toUtf8());
        }
        if (fails) {
            forwarding.error = std::make_exception_ptr(EmailForwardingError::httpError(500));
        }
        forwarder().setService(&forwarding);
        QList<QPair<QUrl, QString>> openedUrls;
        state().setPageOpener([&](const QUrl& url, const QString& title) {
            openedUrls.append({url, title});
        });
        m_view->show();

        auto* button = child<QToolButton>("emailForwardButton");
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(m_view->isForwardingEmail());
        QVERIFY(!button->isVisibleTo(m_view.get()) || !button->isEnabled());
        QVERIFY(shows("emailForwardProgress"));
        QTest::mouseClick(button, Qt::LeftButton); // no second forward
        QTRY_VERIFY(!m_view->isForwardingEmail());
        QCOMPARE(forwarding.calls, 1);
        QVERIFY(shows("emailForwardButton"));
        QVERIFY(button->isEnabled());
        QVERIFY(!shows("emailForwardProgress"));

        QVERIFY(shows("emailForwardResult"));
        QCOMPARE(child<QLabel>("emailForwardResult")->text(), shown);
        // The no-timer toast says nothing about forwarding: it is not used for the outcome.
        QVERIFY(m_fixture->toasts.toasts.isEmpty());
        if (opened.isEmpty()) {
            QTest::qWait(EmailForwarder::taskOpenDelayMs + 200);
            QVERIFY(openedUrls.isEmpty());
        } else {
            QTRY_COMPARE(openedUrls.size(), 1);
            QCOMPARE(openedUrls.first().first, QUrl(opened));
            QCOMPARE(openedUrls.first().second, QStringLiteral("ClickUp Task"));
        }
        forwarder().setService(nullptr);
    }

    void versionText() {
        QCOMPARE(child<QLabel>("versionLabel")->text(), QStringLiteral("v") + appVersion());
    }
};

PENDLOW_TEST_MAIN(FooterViewTest)
#include "tst_FooterView.moc"
