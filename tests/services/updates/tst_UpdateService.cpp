// The updater front and its backend against a loopback feed server: found update, up to date, failed
// feeds, a busy updater, the fallback alert, no feed, background checks, the plain update lines on
// standard error and the real message box.
#include "support/FakeClock.h"
#include "support/FakeHttpServer.h"
#include "support/LogCapture.h"
#include "support/OutputCapture.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"

#include "core/Log.h"
#include "core/UserDefaultsService.h"
#include "platform/AppcastUpdater.h"
#include "services/updates/UpdateService.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <memory>
#include <optional>

using namespace std::chrono_literals;

namespace {
const QString currentVersion = onHeap(u"1.4.0");
const QString lastCheckKey = QStringLiteral("SULastCheckTime");

FakeHttpServer::Response xml(const QByteArray& body) {
    FakeHttpServer::Response response;
    response.body = body;
    response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("application/rss+xml")));
    return response;
}

struct ShownAlert {
    UpdateAlert alert;
    UpdateAlert::Answer answer;
};

} // namespace

// Receives the web addresses that QDesktopServices would open.
class UrlRecorder : public QObject {
    Q_OBJECT

public:
    QList<QUrl> opened;

public Q_SLOTS:
    void open(const QUrl& url) { opened.append(url); }
};

class UpdateServiceTest : public QObject {
    Q_OBJECT

    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<FakeHttpServer> m_server;
    std::unique_ptr<UpdateService> m_service;
    QList<ShownAlert> m_alerts;
    std::unique_ptr<LogCapture> m_log;
    UrlRecorder m_urls;
    std::chrono::milliseconds m_transferTimeout = 10s;

    QUrl feedUrl() const { return m_server->baseUrl().resolved(QUrl(QStringLiteral("/appcast.xml"))); }

    // A service over the test server's feed, for a running version 1.4.0, whose fallback waits an
    // hour unless a test shortens it.
    UpdateService& makeService(std::optional<QUrl> feed = std::nullopt) {
        const QUrl url = feed.value_or(feedUrl());
        UserDefaultsService* settings = m_settings.get();
        const auto timeout = m_transferTimeout;
        UpdateService::UpdaterFactory factory = [url, settings, timeout]() -> AppcastUpdater* {
            if (url.isEmpty()) {
                return nullptr;
            }
            auto* updater = new AppcastUpdater(url, currentVersion, *settings);
            updater->setTransferTimeout(timeout);
            return updater;
        };
        m_service = std::make_unique<UpdateService>(*m_settings, factory);
        m_service->setUpdateFallbackDelay(1h);
        m_service->setAlertPresenter([this](const UpdateAlert& alert, UpdateAlert::Answer answer) {
            m_alerts.append({alert, answer});
        });
        return *m_service;
    }

    // The updater's lines at the level, without their category.
    QStringList logged(Log::Level level) const {
        const QString general = QStringLiteral("[General] ");
        QStringList texts;
        for (const QString& line : m_log->lines(level)) {
            if (line.startsWith(general)) {
                texts.append(line.mid(general.size()));
            }
        }
        return texts;
    }

    QStringList alertTitles() const {
        QStringList titles;
        for (const ShownAlert& shown : m_alerts) {
            titles.append(shown.alert.title);
        }
        return titles;
    }

    // Waits until the manual check's cycle has ended.
    bool waitForCycleEnd() {
        return QTest::qWaitFor([this] { return !m_service->manualUpdateCheckInProgress(); }, 10000);
    }

private Q_SLOTS:
    void initTestCase() {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), &m_urls, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_urls, "open");
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &m_urls, "open");
    }

    void cleanupTestCase() {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    }

    void init() {
        m_settings = std::make_unique<TestSettings>();
        m_server = std::make_unique<FakeHttpServer>();
        m_alerts.clear();
        m_urls.opened.clear();
        m_transferTimeout = 10s;
        m_log = std::make_unique<LogCapture>();
    }

    void cleanup() {
        m_service.reset();
        m_server.reset();
        m_settings.reset();
        m_log.reset();
    }

    void withoutFeedTheCheckIsUnavailable_data() {
        QTest::addColumn<QUrl>("feed");
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("no address") << QUrl() << QStringList();
        QTest::newRow("not a web address")
            << QUrl(QStringLiteral("file:///tmp/appcast.xml"))
            << QStringList{
                   QStringLiteral("Update feed address is not an http or https address; updates are off.")};
    }

    void withoutFeedTheCheckIsUnavailable() {
        QFETCH(QUrl, feed);
        QFETCH(QStringList, warnings);
        m_service = std::make_unique<UpdateService>(*m_settings,
                                                    UpdateService::appcastUpdaterFactory(feed, *m_settings));
        m_service->setAlertPresenter([this](const UpdateAlert& alert, UpdateAlert::Answer answer) {
            m_alerts.append({alert, answer});
        });
        m_settings->setValue(lastCheckKey, QStringLiteral("2025-01-01T08:00:00.000+01:00"));

        m_service->checkForUpdatesManually();
        m_service->checkForUpdatesManually();
        QVERIFY(!m_service->updater());
        // Shown from the event loop, never inside the call.
        QVERIFY(m_alerts.isEmpty());
        QTRY_COMPARE(m_alerts.size(), 2);
        QCOMPARE(m_alerts[0].alert.title, QStringLiteral("Update Check Unavailable"));
        // The build has no feed: no restart would help, and the message does not ask for one.
        QCOMPARE(m_alerts[0].alert.message,
                 QStringLiteral("This build of Pendlow has no update feed, so it cannot check for updates. "
                                "Updates come from where you installed it."));
        QVERIFY(!m_alerts[0].alert.message.contains(QStringLiteral("restart"), Qt::CaseInsensitive));
        QCOMPARE(m_alerts[0].alert.style, UpdateAlert::Style::warning);
        QCOMPARE(m_alerts[0].alert.buttons, QStringList{QStringLiteral("OK")});
        QCOMPARE(logged(Log::Level::error),
                 warnings + QStringList(2, QStringLiteral("Update service not initialized.")));
        // The missing backend is asked for once; nothing else changed.
        QCOMPARE(logged(Log::Level::notice).size(), 1);
        QVERIFY(m_settings->contains(lastCheckKey));
        QVERIFY(!m_service->manualUpdateCheckInProgress());
    }

    void newerVersionOffersItsDownloadPage_data() {
        QTest::addColumn<QString>("feed");
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QList<QUrl>>("opened");
        QTest::addColumn<QStringList>("warnings");
        const QStringList both{QStringLiteral("Open Download Page"), QStringLiteral("Later")};
        const QUrl page(QStringLiteral("https://updates.example.org/pendlow/download/1.5.0"));
        QTest::newRow("open the page")
            << "appcast-newer.xml" << 0 << both << QList<QUrl>{page} << QStringList();
        QTest::newRow("later") << "appcast-newer.xml" << 1 << both << QList<QUrl>{} << QStringList();
        QTest::newRow("page not on the web")
            << "appcast-file-link.xml" << 0 << QStringList{QStringLiteral("OK")} << QList<QUrl>{}
            << QStringList{QStringLiteral("The update names no web page to download it from.")};
    }

    void newerVersionOffersItsDownloadPage() {
        QFETCH(QString, feed);
        QFETCH(int, button);
        QFETCH(QStringList, buttons);
        QFETCH(QList<QUrl>, opened);
        QFETCH(QStringList, warnings);
        const FakeClock clock(QDateTime(QDate(2025, 3, 4), QTime(9, 30, 15)));
        m_server->route("GET", QStringLiteral("/appcast.xml"), xml(fixture(feed)));
        UpdateService& service = makeService();
        service.startUpdater();
        m_settings->setValue(lastCheckKey, QStringLiteral("2025-01-01T08:00:00.000+01:00"));

        service.checkForUpdatesManually();
        QVERIFY(!m_settings->contains(lastCheckKey));
        QVERIFY(service.manualUpdateCheckInProgress());
        QVERIFY(service.isUpdateFallbackPending());
        QTRY_COMPARE(m_alerts.size(), 1);

        const UpdateAlert& alert = m_alerts[0].alert;
        const QString version =
            feed == u"appcast-newer.xml" ? QStringLiteral("1.5.0") : QStringLiteral("2.0.0");
        QCOMPARE(alert.title, QStringLiteral("Update Available"));
        QCOMPARE(alert.style, UpdateAlert::Style::informational);
        QVERIFY2(alert.message.contains(version) && alert.message.contains(currentVersion),
                 qPrintable(alert.message));
        QCOMPARE(alert.buttons, buttons);
        QVERIFY(logged(Log::Level::notice)
                    .contains(version == u"1.5.0" ? QStringLiteral("Update found: 1.5.0 (150).")
                                                  : QStringLiteral("Update found: 2.0.0 (2.0.0).")));
        // Found: no fallback alert can follow, but the check lasts until the user answers.
        QVERIFY(!service.isUpdateFallbackPending());
        QVERIFY(service.manualUpdateCheckInProgress());
        QVERIFY(!service.updater()->canCheckForUpdates());

        m_alerts[0].answer(button);
        QCOMPARE(m_urls.opened, opened);
        QVERIFY(!service.manualUpdateCheckInProgress());
        QVERIFY(service.updater()->canCheckForUpdates());
        QVERIFY(logged(Log::Level::notice).contains(QStringLiteral("Update cycle finished without error.")));
        QCOMPARE(logged(Log::Level::error), warnings);
        QCOMPARE(QDateTime::fromString(m_settings->value(lastCheckKey).toString(), Qt::ISODateWithMs),
                 clock.now());

        const QList<FakeHttpServer::Request> requests =
            m_server->requests("GET", QStringLiteral("/appcast.xml"));
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests[0].header("User-Agent"), QByteArray("Pendlow/1.4.0"));
        QCoreApplication::processEvents();
        QCOMPARE(m_alerts.size(), 1);
    }

    void upToDateFinishesWithoutFailure() {
        m_server->route("GET", QStringLiteral("/appcast.xml"),
                        xml(fixture(QStringLiteral("appcast-uptodate.xml"))));
        UpdateService& service = makeService();
        service.checkForUpdatesManually();
        QVERIFY(waitForCycleEnd());
        QVERIFY(!service.isUpdateFallbackPending());
        QVERIFY(!service.didPresentManualUpdateResult());
        QTRY_COMPARE(m_alerts.size(), 1);
        QCOMPARE(m_alerts[0].alert.title, QStringLiteral("Pendlow Is Up to Date"));
        QCOMPARE(m_alerts[0].alert.style, UpdateAlert::Style::informational);
        QVERIFY(m_alerts[0].alert.message.contains(currentVersion));
        QVERIFY(logged(Log::Level::notice).contains(QStringLiteral("Update cycle finished without error.")));
        QVERIFY(logged(Log::Level::error).isEmpty());
        QVERIFY(service.updater()->canCheckForUpdates());
    }

    void failedFeedShowsOneFailureAlert_data() {
        QTest::addColumn<FakeHttpServer::Response>("response");
        QTest::addColumn<QString>("description"); // the description, or its start when it ends with ": "
        QTest::addColumn<QString>("suggestion");
        FakeHttpServer::Response hang;
        hang.hang = true;
        FakeHttpServer::Response drop;
        drop.drop = true;
        FakeHttpServer::Response huge = xml(QByteArray(AppcastUpdater::maximumFeedSize + 1, ' '));
        QTest::newRow("HTTP 500") << FakeHttpServer::Response::text("oops", 500)
                                  << "The update server answered with HTTP status 500."
                                  << "Please try again later.";
        QTest::newRow("HTTP 404") << FakeHttpServer::Response::text("gone", 404)
                                  << "The update server answered with HTTP status 404."
                                  << "Please try again later.";
        QTest::newRow("not XML") << FakeHttpServer::Response::text("Service Unavailable")
                                 << "The update information could not be read: "
                                 << "";
        QTest::newRow("HTML page") << xml("<html><body>maintenance</body></html>")
                                   << "The update information could not be read: it is not an RSS feed"
                                   << "";
        QTest::newRow("connection dropped") << drop << "The update server could not be reached: "
                                            << "Check your network connection and try again.";
        QTest::newRow("no answer") << hang << "The update server did not answer in time."
                                   << "Check your network connection and try again.";
        QTest::newRow("too large") << huge << "The update information is larger than expected."
                                   << "";
    }

    void failedFeedShowsOneFailureAlert() {
        QFETCH(FakeHttpServer::Response, response);
        QFETCH(QString, description);
        QFETCH(QString, suggestion);
        m_transferTimeout = 300ms;
        m_server->route("GET", QStringLiteral("/appcast.xml"), response);
        UpdateService& service = makeService();
        service.checkForUpdatesManually();
        QVERIFY(waitForCycleEnd());
        QTRY_COMPARE(m_alerts.size(), 1);

        const UpdateAlert& alert = m_alerts[0].alert;
        QCOMPARE(alert.title, QStringLiteral("Update Check Failed"));
        QCOMPARE(alert.style, UpdateAlert::Style::warning);
        const QStringList lines = alert.message.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), suggestion.isEmpty() ? 1 : 2);
        if (description.endsWith(QStringLiteral(": "))) {
            QVERIFY2(lines[0].startsWith(description) && lines[0].size() > description.size(),
                     qPrintable(lines[0]));
        } else {
            QCOMPARE(lines[0], description);
        }
        if (!suggestion.isEmpty()) {
            QCOMPARE(lines[1], suggestion);
        }
        // The abort and the cycle's end are both logged, with the error attached.
        const QString text = lines[0];
        QCOMPARE(logged(Log::Level::error),
                 QStringList({QStringLiteral("Update check failed: %1: %1").arg(text),
                              QStringLiteral("Update cycle finished with error: %1: %1").arg(text)}));
        QVERIFY(!service.isUpdateFallbackPending());
        QVERIFY(!service.didPresentManualUpdateResult());
        QVERIFY(service.updater()->canCheckForUpdates());
        QVERIFY(m_settings->contains(lastCheckKey));
    }

    void checkWhileOneRunsIsRefused() {
        FakeHttpServer::Response hang;
        hang.hang = true;
        m_server->route("GET", QStringLiteral("/appcast.xml"), hang);
        UpdateService& service = makeService();
        OutputCapture capture(OutputCapture::Stream::standardError);
        service.checkForUpdatesManually();
        QVERIFY(m_server->waitForRequests(1));
        m_settings->setValue(lastCheckKey, QStringLiteral("2025-01-01T08:00:00.000+01:00"));

        service.checkForUpdatesManually();
        QTRY_COMPARE(m_alerts.size(), 1);
        const QString output = capture.text();
        QCOMPARE(m_alerts[0].alert.title, QStringLiteral("Update Check In Progress"));
        QCOMPARE(m_alerts[0].alert.message,
                 QStringLiteral("Please wait for the current update check to finish and try again."));
        QCOMPARE(m_alerts[0].alert.style, UpdateAlert::Style::informational);
        // The cache is cleared even so, and the running check goes on undisturbed.
        QVERIFY(!m_settings->contains(lastCheckKey));
        QVERIFY(service.manualUpdateCheckInProgress());
        QVERIFY(service.isUpdateFallbackPending());
        QCOMPARE(m_server->requestCount(), 1);
        QCOMPARE(logged(Log::Level::error),
                 QStringList{QStringLiteral("Update check blocked: updater is busy.")});

        const QString feed = feedUrl().toString();
        const QStringList expected{
            QStringLiteral("Pendlow Update: Updater started. feedURL=") + feed,
            QStringLiteral("Pendlow Update: Cleared update cache for fresh check"),
            QStringLiteral(
                "Pendlow Update: Manual update check requested. canCheckForUpdates=true feedURL=") +
                feed,
            QStringLiteral("Pendlow Update: Cleared update cache for fresh check"),
            QStringLiteral(
                "Pendlow Update: Manual update check requested. canCheckForUpdates=false feedURL=") +
                feed,
            QStringLiteral("Pendlow Update Warning: Update check blocked: updater is busy.")};
        QStringList updateLines;
        for (const QString& line : output.split(QLatin1Char('\n'))) {
            if (line.startsWith(QStringLiteral("Pendlow Update"))) {
                updateLines.append(line);
            }
        }
        QCOMPARE(updateLines, expected);
        // Going away in the middle of a check is safe.
        m_service.reset();
        QTest::qWait(10);
    }

    void unansweredCheckShowsTakingLongerOnce() {
        FakeHttpServer::Response hang;
        hang.hang = true;
        m_server->route("GET", QStringLiteral("/appcast.xml"), hang);
        m_transferTimeout = 1500ms;
        UpdateService& service = makeService();
        service.setUpdateFallbackDelay(50ms);
        service.checkForUpdatesManually();

        QTRY_COMPARE(m_alerts.size(), 1);
        QCOMPARE(m_alerts[0].alert.title, QStringLiteral("Update Check Taking Longer"));
        QCOMPARE(m_alerts[0].alert.message,
                 QStringLiteral("No response yet. Please check your network connection and try again."));
        QCOMPARE(m_alerts[0].alert.style, UpdateAlert::Style::warning);
        QVERIFY(service.didPresentManualUpdateResult());
        QVERIFY(service.manualUpdateCheckInProgress());
        QCOMPARE(logged(Log::Level::error),
                 QStringList{QStringLiteral("Update check timed out without a response.")});

        // The request fails later: logged at the cycle's end, but no second alert.
        QVERIFY(waitForCycleEnd());
        QCoreApplication::processEvents();
        QCOMPARE(m_alerts.size(), 1);
        QCOMPARE(logged(Log::Level::error).size(), 2);
        QVERIFY(
            logged(Log::Level::error)[1].startsWith(QStringLiteral("Update cycle finished with error: ")));
        QVERIFY(!service.didPresentManualUpdateResult());
    }

    void callbacksOutsideAManualCheck_data() {
        QTest::addColumn<QString>("callback");
        QTest::addColumn<QStringList>("errors");
        const UpdateError failure = UpdateError::httpError(503);
        QTest::newRow("abort") << "abort" << QStringList();
        QTest::newRow("background cycle with error") << "background" << QStringList();
        QTest::newRow("user cycle with error")
            << "user"
            << QStringList{
                   QStringLiteral("Update cycle finished with error: %1: %1").arg(failure.description())};
    }

    void callbacksOutsideAManualCheck() {
        QFETCH(QString, callback);
        QFETCH(QStringList, errors);
        UpdateService& service = makeService();
        const UpdateError failure = UpdateError::httpError(503);
        if (callback == u"abort") {
            service.updaterDidAbortWithError(failure);
        } else {
            service.updaterDidFinishUpdateCycle(
                callback == u"user" ? UpdateCheck::userInitiated : UpdateCheck::background, failure);
        }
        QCoreApplication::processEvents();
        QVERIFY(m_alerts.isEmpty());
        QCOMPARE(logged(Log::Level::error), errors);
        QVERIFY(logged(Log::Level::notice).isEmpty());
    }

    void backgroundChecksOnlyLog_data() {
        QTest::addColumn<FakeHttpServer::Response>("response");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QString>("error");
        QTest::newRow("newer version")
            << xml(fixture(QStringLiteral("appcast-newer.xml"))) << "Update found: 1.5.0 (150)."
            << "";
        QTest::newRow("up to date") << xml(fixture(QStringLiteral("appcast-uptodate.xml"))) << ""
                                    << "";
        QTest::newRow("failure")
            << FakeHttpServer::Response::text("oops", 500) << ""
            << "Background update check failed: The update server answered with HTTP status 500.";
    }

    void backgroundChecksOnlyLog() {
        QFETCH(FakeHttpServer::Response, response);
        QFETCH(QString, notice);
        QFETCH(QString, error);
        m_server->route("GET", QStringLiteral("/appcast.xml"), response);
        UpdateService& service = makeService();
        service.startUpdater();
        AppcastUpdater* updater = service.updater();
        QVERIFY(updater);
        m_log->clear();

        updater->checkForUpdatesInBackground();
        QVERIFY(!updater->canCheckForUpdates());
        QTRY_VERIFY(updater->canCheckForUpdates());
        QCoreApplication::processEvents();
        QVERIFY(m_alerts.isEmpty());
        QCOMPARE(logged(Log::Level::notice), notice.isEmpty() ? QStringList() : QStringList{notice});
        QCOMPARE(logged(Log::Level::error), error.isEmpty() ? QStringList() : QStringList{error});
        QVERIFY(!service.manualUpdateCheckInProgress());
        // Done: stored, and the next one planned a day later.
        QVERIFY(m_settings->contains(lastCheckKey));
        QCOMPARE(updater->plannedBackgroundCheckDelay(), AppcastUpdater::backgroundCheckInterval);
    }

    void nextBackgroundCheckFollowsTheLastCheck_data() {
        QTest::addColumn<QVariant>("lastCheck"); // seconds before now, or a stored text
        QTest::addColumn<qint64>("expectedSeconds");
        QTest::newRow("never") << QVariant() << qint64(60);
        QTest::newRow("2 hours ago") << QVariant(2 * 3600) << qint64(22 * 3600);
        QTest::newRow("23 h 59 min 30 s ago") << QVariant(24 * 3600 - 30) << qint64(60);
        QTest::newRow("30 hours ago") << QVariant(30 * 3600) << qint64(60);
        QTest::newRow("an hour ahead") << QVariant(-3600) << qint64(24 * 3600);
        QTest::newRow("unreadable") << QVariant(QStringLiteral("yesterday")) << qint64(60);
    }

    void nextBackgroundCheckFollowsTheLastCheck() {
        QFETCH(QVariant, lastCheck);
        QFETCH(qint64, expectedSeconds);
        const FakeClock clock(QDateTime(QDate(2025, 3, 4), QTime(9, 30)));
        if (lastCheck.metaType().id() == QMetaType::Int) {
            m_settings->setValue(lastCheckKey,
                                 clock.now().addSecs(-lastCheck.toInt()).toString(Qt::ISODateWithMs));
        } else if (lastCheck.isValid()) {
            m_settings->setValue(lastCheckKey, lastCheck);
        }
        UpdateService& service = makeService();
        service.startUpdater();
        const std::chrono::milliseconds expected(expectedSeconds * 1000);
        QCOMPARE(service.updater()->nextBackgroundCheckDelay(), expected);
        QCOMPARE(service.updater()->plannedBackgroundCheckDelay(), expected);
    }

    void messageBoxShowsTheAlert() {
        std::optional<int> answered;
        UpdateAlert alert{QStringLiteral("Update Check Failed"),
                          QStringLiteral("<b>1.0</b>\nPlease try again later."),
                          UpdateAlert::Style::warning,
                          {QStringLiteral("OK")}};
        UpdateAlert::showMessageBox(alert, [&](int button) { answered = button; });

        QPointer<QMessageBox> box;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<QMessageBox*>(widget); found && found->isVisible()) {
                box = found;
            }
        }
        QVERIFY(box);
        QCOMPARE(box->text(), alert.title);
        QCOMPARE(box->informativeText(), alert.message);
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QCOMPARE(box->windowModality(), Qt::ApplicationModal);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        auto* informative = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel"));
        QVERIFY(informative && informative->textFormat() == Qt::PlainText);
        QCOMPARE(box->buttons().size(), 1);
        box->buttons().front()->click();
        QCOMPARE(answered, std::optional<int>(0));
        QTRY_VERIFY(!box);

        // Escape chooses the last button.
        answered.reset();
        alert.style = UpdateAlert::Style::informational;
        alert.buttons = {QStringLiteral("Open Download Page"), QStringLiteral("Later")};
        UpdateAlert::showMessageBox(alert, [&](int button) { answered = button; });
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<QMessageBox*>(widget); found && found->isVisible()) {
                box = found;
            }
        }
        QVERIFY(box);
        QCOMPARE(box->icon(), QMessageBox::Information);
        QTest::keyClick(box, Qt::Key_Escape);
        QCOMPARE(answered, std::optional<int>(1));
        QTRY_VERIFY(!box);
    }
};

PENDLOW_TEST_MAIN(UpdateServiceTest)
#include "tst_UpdateService.moc"
