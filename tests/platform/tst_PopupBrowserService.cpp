// The in-app browser window: the pendlow-web window's title, size, placement and floating state,
// one window at a time, the default-browser setting, refused addresses, and QtWebEngine staying out
// of this process.

#include "core/UserDefaultsService.h"
#include "platform/PopupBrowserService.h"
#include "support/FakeHttpServer.h"
#include "support/TestMain.h"
#include "support/TestSettings.h"
#include "support/WebHelperPath.h"
#include "support/WebHelperWait.h"
#include "support/X11TestWindows.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <memory>

namespace {
constexpr int kWindowTimeoutMs = webHelperWaitMs(20000);
// How long a replaced or closed helper may take to end.
constexpr int kEndTimeoutMs = webHelperWaitMs(5000);
} // namespace

class PopupBrowserServiceTest : public QObject {
    Q_OBJECT

    FakeHttpServer m_server;
    QTemporaryDir m_dir;
    std::unique_ptr<TestSettings> m_settings;
    std::unique_ptr<PopupBrowserService> m_browser;
    QList<QUrl> m_openedOnDesktop;

    QUrl page(const QString& path) const {
        QUrl url = m_server.baseUrl();
        url.setPath(path);
        return url;
    }

    // The window of the helper showing the latest page, once it is on screen.
    std::optional<X11TestWindows::WindowInfo> waitForWindow() {
        std::optional<X11TestWindows::WindowInfo> found;
        (void)QTest::qWaitFor(
            [&] {
                const auto windows = X11TestWindows::viewableWindowsOf(m_browser->windowProcessId());
                if (windows.size() == 1) {
                    found = windows.first();
                }
                return found.has_value();
            },
            kWindowTimeoutMs);
        return found;
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(QFile::exists(builtWebHelper()));
        prepareWebHelperEnvironment();
        m_server.setFallback([](const FakeHttpServer::Request& request) {
            FakeHttpServer::Response response;
            response.body =
                "<html><head><title>Page</title></head><body>" + request.path.toUtf8() + "</body></html>";
            response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html")));
            return response;
        });
    }

    void init() {
        m_settings = std::make_unique<TestSettings>();
        m_browser = std::make_unique<PopupBrowserService>(*m_settings);
        m_browser->setHelperProgram(builtWebHelper());
        m_openedOnDesktop.clear();
        m_browser->setDesktopOpener([this](const QUrl& url) {
            m_openedOnDesktop << url;
            return true;
        });
        m_server.clearRequests();
    }

    void cleanup() {
        // The helper must not outlive the service.
        const qint64 pid = m_browser->windowProcessId();
        m_browser.reset();
        QVERIFY(!X11TestWindows::processAlive(pid) || pid == 0);
        m_settings.reset();
    }

    void theWindowHasTheTitleAndTheConfiguredSize_data() {
        QTest::addColumn<QVariant>("width");
        QTest::addColumn<QVariant>("height");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QSize>("expected");
        const QString title = QStringLiteral("Fix the “login” bug – ClickUp");
        QTest::newRow("unset") << QVariant() << QVariant() << title << QSize(900, 700);
        QTest::newRow("0 x 0") << QVariant(0) << QVariant(0) << title << QSize(900, 700);
        QTest::newRow("1200 x 800") << QVariant(1200) << QVariant(800) << title << QSize(1200, 800);
        QTest::newRow("below the minimum") << QVariant(200) << QVariant(-50) << title << QSize(400, 300);
        QTest::newRow("title like an option")
            << QVariant(1000) << QVariant(600) << QStringLiteral("--width=500") << QSize(1000, 600);
    }

    void theWindowHasTheTitleAndTheConfiguredSize() {
        QFETCH(QVariant, width);
        QFETCH(QVariant, height);
        QFETCH(QString, title);
        QFETCH(QSize, expected);
        m_settings->setValue(QStringLiteral("popupBrowserWidth"), width);
        m_settings->setValue(QStringLiteral("popupBrowserHeight"), height);

        m_browser->open(page(QStringLiteral("/task/86abc")), title);
        const auto window = waitForWindow();
        QVERIFY(window);
        QCOMPARE(window->title, title);
        QCOMPARE(window->geometry.size(), expected);
        QCOMPARE(window->minimumSize, QSize(400, 300));
        QVERIFY2(window->states.contains(QStringLiteral("_NET_WM_STATE_ABOVE")),
                 qPrintable(window->states.join(' ')));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY2(qAbs(window->geometry.center().x() - screen.center().x()) <= 1 &&
                     qAbs(window->geometry.center().y() - screen.center().y()) <= 1,
                 qPrintable(
                     QStringLiteral("window at %1,%2").arg(window->geometry.x()).arg(window->geometry.y())));
        QVERIFY(m_server.waitForRequests(1, kWindowTimeoutMs));
        QCOMPARE(m_server.requests().first().path, QStringLiteral("/task/86abc"));
        QVERIFY(m_openedOnDesktop.isEmpty());
    }

    void anotherPageReplacesTheWindow() {
        m_browser->open(page(QStringLiteral("/first")), QStringLiteral("First"));
        QVERIFY(waitForWindow());
        const qint64 first = m_browser->windowProcessId();
        const QList<qint64> firstChildren = X11TestWindows::descendantsOf(first);

        m_browser->open(page(QStringLiteral("/second")), QStringLiteral("Second"));
        const auto window = waitForWindow();
        QVERIFY(window);
        QCOMPARE(window->title, QStringLiteral("Second"));
        QVERIFY(m_browser->windowProcessId() != first);
        QTRY_VERIFY_WITH_TIMEOUT(!X11TestWindows::processAlive(first), kEndTimeoutMs);
        for (const qint64 child : firstChildren) {
            QTRY_VERIFY_WITH_TIMEOUT(!X11TestWindows::processAlive(child), kEndTimeoutMs);
        }
        QTRY_VERIFY_WITH_TIMEOUT(!m_server.requests("GET", QStringLiteral("/second")).isEmpty(),
                                 webHelperWaitMs(5000));
    }

    void theWindowGoesBackAndForward() {
        // Alt+Left/Alt+Right and the mouse's side buttons move through the window's history. The
        // pages may not be kept, so every step reloads its page and the server sees it.
        const QByteArray noStore = "no-store";
        auto html = [noStore](const QByteArray& body) {
            FakeHttpServer::Response response;
            response.body = "<html><body style=\"margin:0\">" + body + "</body></html>";
            response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html")));
            response.headers.append(qMakePair(QByteArray("Cache-Control"), noStore));
            return response;
        };
        m_server.route("GET", QStringLiteral("/a"),
                       html("<a href=\"/b\" style=\"display:block;width:100%;height:2000px\">next</a>"));
        m_server.route("GET", QStringLiteral("/b"), html("<p>second</p>"));
        m_browser->open(page(QStringLiteral("/a")), QStringLiteral("History"));
        const auto window = waitForWindow();
        QVERIFY(window);
        const QPoint inside = window->geometry.topLeft() + QPoint(100, 100);

        // Each input is harmless once its step is done, so it is repeated until the page arrives
        // (other tests' windows may take the focus meanwhile: it is given back first).
        const QStringList focus{QStringLiteral("windowfocus"), QStringLiteral("--sync"),
                                QString::number(window->id)};
        const auto step = [&](const QStringList& input, const QString& path, int visits) {
            for (int attempt = 0; attempt < 20 * kWebHelperSlowdown; ++attempt) {
                if (m_server.requests("GET", path).size() >= visits) {
                    return true;
                }
                QProcess::execute(QStringLiteral("xdotool"), focus + input);
                QTest::qWait(500);
            }
            return m_server.requests("GET", path).size() >= visits;
        };
        const QStringList pointAndClick{QStringLiteral("mousemove"), QString::number(inside.x()),
                                        QString::number(inside.y()), QStringLiteral("click")};
        QVERIFY(step(pointAndClick + QStringList{QStringLiteral("1")}, QStringLiteral("/b"), 1));
        QVERIFY(step({QStringLiteral("key"), QStringLiteral("alt+Left")}, QStringLiteral("/a"), 2));
        QVERIFY(step(pointAndClick + QStringList{QStringLiteral("9")}, QStringLiteral("/b"), 2));
        QVERIFY(step(pointAndClick + QStringList{QStringLiteral("8")}, QStringLiteral("/a"), 3));
        QVERIFY(step({QStringLiteral("key"), QStringLiteral("alt+Right")}, QStringLiteral("/b"), 3));
    }

    void theUserClosingTheWindowEndsTheHelper() {
        m_browser->open(page(QStringLiteral("/task")), QStringLiteral("Task"));
        const auto window = waitForWindow();
        QVERIFY(window);
        const qint64 pid = m_browser->windowProcessId();
        X11TestWindows::requestClose(window->id);
        QTRY_VERIFY_WITH_TIMEOUT(!X11TestWindows::processAlive(pid), kEndTimeoutMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->windowProcessId(), qint64(0), kEndTimeoutMs);
    }

    void theDefaultBrowserSettingUsesTheDesktopAndLeavesTheWindow() {
        m_browser->open(page(QStringLiteral("/own")), QStringLiteral("Own"));
        QVERIFY(waitForWindow());
        const qint64 own = m_browser->windowProcessId();

        m_settings->setUseDefaultBrowser(true);
        const QUrl address(QStringLiteral("https://app.clickup.com/t/86abc"));
        m_browser->open(address, QStringLiteral("ClickUp Task"));
        QCOMPARE(m_openedOnDesktop, QList<QUrl>{address});
        QTest::qWait(300);
        QCOMPARE(m_browser->windowProcessId(), own);
        QCOMPARE(X11TestWindows::viewableWindowsOf(own).size(), 1);
    }

    void onlyWebAddressesAreOpened_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("defaultBrowser");
        for (const bool defaultBrowser : {false, true}) {
            const char* where = defaultBrowser ? ", default browser" : ", own window";
            QTest::addRow("file%s", where) << QStringLiteral("file:///etc/passwd") << defaultBrowser;
            QTest::addRow("script%s", where) << QStringLiteral("javascript:alert(1)") << defaultBrowser;
            QTest::addRow("mail%s", where) << QStringLiteral("mailto:someone@example.com") << defaultBrowser;
            QTest::addRow("no host%s", where) << QStringLiteral("http:///path") << defaultBrowser;
            QTest::addRow("empty%s", where) << QString() << defaultBrowser;
        }
    }

    void onlyWebAddressesAreOpened() {
        QFETCH(QString, address);
        QFETCH(bool, defaultBrowser);
        m_settings->setUseDefaultBrowser(defaultBrowser);
        m_browser->open(QUrl(address), QStringLiteral("Title"));
        QCOMPARE(m_browser->windowProcessId(), qint64(0));
        QVERIFY(m_openedOnDesktop.isEmpty());
    }

    void aMissingHelperOpensNothing() {
        m_browser->setHelperProgram(m_dir.filePath(QStringLiteral("absent")));
        m_browser->open(page(QStringLiteral("/task")), QStringLiteral("Task"));
        QTest::qWait(200);
        QCOMPARE(m_browser->windowProcessId(), qint64(0));
        QVERIFY(m_openedOnDesktop.isEmpty());
    }

    void thisProcessNeverLoadsTheWebEngine() {
        m_browser->open(page(QStringLiteral("/task")), QStringLiteral("Task"));
        QVERIFY(waitForWindow());
        QFile maps(QStringLiteral("/proc/self/maps"));
        QVERIFY(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        QVERIFY(mapped.contains("libQt6Widgets"));
        QVERIFY(!mapped.contains("WebEngine"));
    }
};

PENDLOW_TEST_MAIN(PopupBrowserServiceTest)
#include "tst_PopupBrowserService.moc"
