// The web sign-in: the pendlow-web sign-in window against a loopback login page that sends the
// browser on to the callback address, the user closing the window, replacing and cancelling a
// sign-in, and how a helper that is missing or misbehaves is reported.

#include "core/Log.h"
#include "platform/WebAuthenticationError.h"
#include "platform/WebAuthenticationSession.h"
#include "support/FakeHttpServer.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"
#include "support/WebHelperPath.h"
#include "support/WebHelperWait.h"
#include "support/X11TestWindows.h"

#include <QFile>
#include <QTemporaryDir>

#include <memory>

#include <unistd.h>

namespace {
constexpr int kWindowTimeoutMs = webHelperWaitMs(20000);
// How long an ended sign-in's helper may take to end.
constexpr int kEndTimeoutMs = webHelperWaitMs(5000);

// The tokens of a callback as a Tools server sends them; characters that must survive as sent.
QString callbackAddress() {
    return QStringLiteral("pendlow") + QStringLiteral("://auth/callback?access_token=AT.a%2Bb%2F%3D&") +
           QStringLiteral("refresh_token=RT-42~x&expires_in=3600&state=Zq9");
}

QByteArray html(const QByteArray& head, const QByteArray& body = {}) {
    return "<!DOCTYPE html><html><head><title>Tools</title>" + head + "</head><body>" + body +
           "</body></html>";
}

FakeHttpServer::Response page(const QByteArray& content) {
    FakeHttpServer::Response response;
    response.body = content;
    response.headers.append(qMakePair(QByteArray("Content-Type"), QByteArray("text/html; charset=utf-8")));
    return response;
}

// Waits until the sign-in window of the session's helper is on screen.
std::optional<X11TestWindows::WindowInfo> waitForWindow(const WebAuthenticationSession& session) {
    std::optional<X11TestWindows::WindowInfo> found;
    (void)QTest::qWaitFor(
        [&] {
            const auto windows = X11TestWindows::viewableWindowsOf(session.processId());
            if (!windows.isEmpty()) {
                found = windows.first();
            }
            return found.has_value();
        },
        kWindowTimeoutMs);
    return found;
}
} // namespace

class WebAuthenticationSessionTest : public QObject {
    Q_OBJECT

    FakeHttpServer m_server;
    QTemporaryDir m_scripts;

    // A stand-in helper: a shell script with the given body.
    QString fakeHelper(const QString& name, const QByteArray& body) {
        const QString path = m_scripts.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            return {};
        }
        file.write("#!/bin/sh\n" + body + "\n");
        file.close();
        file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }

    static void verifyCancelled(const TaskOutcome<QUrl>& outcome) {
        QVERIFY2(outcome.finished, "the sign-in did not end");
        const auto error = outcome.errorAs<WebAuthenticationError>();
        QVERIFY2(error, qPrintable(outcome.errorDescription()));
        QCOMPARE(error->kind(), WebAuthenticationError::Kind::cancelled);
    }

private Q_SLOTS:
    void initTestCase() {
        prepareWebHelperEnvironment();
        // The session itself must make QtWebEngine work as root.
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        QVERIFY(QFile::exists(builtWebHelper()));
        m_server.route("GET", QStringLiteral("/redirect"), [](const FakeHttpServer::Request&) {
            FakeHttpServer::Response response;
            response.status = 302;
            response.headers.append(
                qMakePair(QByteArray("Location"), QByteArray(callbackAddress().toUtf8())));
            return response;
        });
        m_server.route("GET", QStringLiteral("/login"), [](const FakeHttpServer::Request&) {
            FakeHttpServer::Response response;
            response.status = 303;
            response.headers.append(qMakePair(QByteArray("Location"), QByteArray("/redirect")));
            return response;
        });
        m_server.route("GET", QStringLiteral("/script"),
                       page(html({}, "<script>setTimeout(function () { window.location.href = '" +
                                         callbackAddress().toUtf8() + "'; }, 50);</script>")));
        m_server.route("GET", QStringLiteral("/meta"),
                       page(html("<meta http-equiv=\"refresh\" content=\"0; url=" +
                                 callbackAddress().toUtf8() + "\">")));
        m_server.route("GET", QStringLiteral("/form"),
                       page(html({}, "<form method=\"post\" action=\"/submit\">"
                                     "<input name=\"user\" value=\"me\"></form>"
                                     "<script>document.forms[0].submit();"
                                     "</script>")));
        m_server.route("POST", QStringLiteral("/submit"), [](const FakeHttpServer::Request&) {
            FakeHttpServer::Response response;
            response.status = 302;
            response.headers.append(
                qMakePair(QByteArray("Location"), QByteArray(callbackAddress().toUtf8())));
            return response;
        });
        m_server.route("GET", QStringLiteral("/stay"), page(html({}, "<p>Please sign in</p>")));
    }

    void theCallbackComesBackWhole_data() {
        QTest::addColumn<QString>("path");
        QTest::newRow("HTTP 302") << QStringLiteral("/redirect");
        QTest::newRow("303 to a page that answers 302") << QStringLiteral("/login");
        QTest::newRow("script") << QStringLiteral("/script");
        QTest::newRow("meta refresh") << QStringLiteral("/meta");
        QTest::newRow("form post answered with 302") << QStringLiteral("/form");
    }

    void theCallbackComesBackWhole() {
        QFETCH(QString, path);
        LogCapture log(LogCapture::Verbosity::debug);
        WebAuthenticationSession session;
        session.setHelperProgram(builtWebHelper());
        QUrl login = m_server.baseUrl();
        login.setPath(path);
        const auto outcome = awaitTask(session.authenticate(login, onHeap(u"pendlow")), kWindowTimeoutMs);
        const QStringList logged = log.lines();

        QVERIFY2(outcome.finished, "no callback in time");
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(QString::fromLatin1(outcome.value->toEncoded()), callbackAddress());
        QVERIFY(!session.isRunning());
        // The tokens never reach the log.
        QVERIFY(!logged.isEmpty());
        for (const QString& line : logged) {
            QVERIFY2(!line.contains(QStringLiteral("AT.a")) && !line.contains(QStringLiteral("RT-42")),
                     qPrintable(line));
        }
    }

    void closingTheWindowCancels() {
        WebAuthenticationSession session;
        session.setHelperProgram(builtWebHelper());
        QUrl login = m_server.baseUrl();
        login.setPath(QStringLiteral("/stay"));
        std::optional<TaskOutcome<QUrl>> outcome;
        QTimer::singleShot(0, this, [&] {
            const auto window = waitForWindow(session);
            QVERIFY(window);
            QVERIFY2(window->title.contains(QStringLiteral("127.0.0.1")), qPrintable(window->title));
            X11TestWindows::requestClose(window->id);
        });
        outcome = awaitTask(session.authenticate(login, onHeap(u"pendlow")), kWindowTimeoutMs);
        verifyCancelled(*outcome);
        QVERIFY(!session.isRunning());
    }

    void cancellingOrReplacingEndsTheWindow() {
        WebAuthenticationSession first;
        first.setHelperProgram(builtWebHelper());
        WebAuthenticationSession second;
        second.setHelperProgram(builtWebHelper());
        QUrl stay = m_server.baseUrl();
        stay.setPath(QStringLiteral("/stay"));
        QUrl redirect = m_server.baseUrl();
        redirect.setPath(QStringLiteral("/redirect"));

        // A sign-in started elsewhere ends the one under way, which then reports cancelled.
        qint64 firstPid = 0;
        std::optional<TaskOutcome<QUrl>> replaced;
        QTimer::singleShot(0, this, [&] {
            QVERIFY(waitForWindow(first));
            firstPid = first.processId();
            const auto outcome =
                awaitTask(second.authenticate(redirect, onHeap(u"pendlow")), kWindowTimeoutMs);
            QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
            QCOMPARE(QString::fromLatin1(outcome.value->toEncoded()), callbackAddress());
        });
        replaced = awaitTask(first.authenticate(stay, onHeap(u"pendlow")), kWindowTimeoutMs);
        verifyCancelled(*replaced);
        QVERIFY(firstPid > 0);
        QTRY_VERIFY_WITH_TIMEOUT(!X11TestWindows::processAlive(firstPid), kEndTimeoutMs);

        // cancel() closes the window of the session's own sign-in.
        QTimer::singleShot(0, this, [&] {
            QVERIFY(waitForWindow(second));
            second.cancel();
        });
        verifyCancelled(awaitTask(second.authenticate(stay, onHeap(u"pendlow")), kWindowTimeoutMs));
    }

    void destroyingTheSessionEndsTheHelperAndItsChildren() {
        auto session = std::make_unique<WebAuthenticationSession>();
        session->setHelperProgram(builtWebHelper());
        QUrl stay = m_server.baseUrl();
        stay.setPath(QStringLiteral("/stay"));
        qint64 pid = 0;
        QList<qint64> children;
        QTimer::singleShot(0, this, [&] {
            QVERIFY(waitForWindow(*session));
            pid = session->processId();
            children = X11TestWindows::descendantsOf(pid);
            session.reset();
        });
        verifyCancelled(awaitTask(session->authenticate(stay, onHeap(u"pendlow")), kWindowTimeoutMs));
        QVERIFY(pid > 0);
        QVERIFY2(!children.isEmpty(), "the helper started no web engine processes");
        QTRY_VERIFY_WITH_TIMEOUT(!X11TestWindows::processAlive(pid), kEndTimeoutMs);
        for (const qint64 child : children) {
            QTRY_VERIFY2_WITH_TIMEOUT(!X11TestWindows::processAlive(child),
                                      qPrintable(QString::number(child)), kEndTimeoutMs);
        }
    }

    void aHelperThatCannotShowItsWindowIsReported_data() {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<int>("kind");
        QTest::newRow("missing") << QByteArray() << int(WebAuthenticationError::Kind::startFailed);
        QTest::newRow("ends before its window")
            << QByteArray("exit 1") << int(WebAuthenticationError::Kind::startFailed);
        QTest::newRow("refuses its arguments")
            << QByteArray("exit 64") << int(WebAuthenticationError::Kind::startFailed);
        QTest::newRow("crashes after its window")
            << QByteArray("echo shown; kill -SEGV $$") << int(WebAuthenticationError::Kind::failed);
        QTest::newRow("ends after its window without a callback")
            << QByteArray("echo shown; exit 0") << int(WebAuthenticationError::Kind::failed);
        QTest::newRow("window closed")
            << QByteArray("echo shown; exit 2") << int(WebAuthenticationError::Kind::cancelled);
        QTest::newRow("callback of another scheme")
            << QByteArray("echo shown; echo 'callback other://auth/callback?access_token=x'; exit 0")
            << int(WebAuthenticationError::Kind::failed);
    }

    void aHelperThatCannotShowItsWindowIsReported() {
        QFETCH(QByteArray, script);
        QFETCH(int, kind);
        WebAuthenticationSession session;
        session.setHelperProgram(script.isEmpty()
                                     ? m_scripts.filePath(QStringLiteral("absent"))
                                     : fakeHelper(QString::fromLatin1(QTest::currentDataTag()), script));
        QUrl login = m_server.baseUrl();
        login.setPath(QStringLiteral("/stay"));
        const auto outcome = awaitTask(session.authenticate(login, onHeap(u"pendlow")), 5000);
        QVERIFY(outcome.finished);
        const auto error = outcome.errorAs<WebAuthenticationError>();
        QVERIFY2(error, qPrintable(outcome.errorDescription()));
        QCOMPARE(int(error->kind()), kind);
    }

    void aCallbackFromAFakeHelperIsReturned() {
        // The helper's report is trusted only for the scheme asked for, and then whole.
        WebAuthenticationSession session;
        session.setHelperProgram(
            fakeHelper(QStringLiteral("reports"),
                       "echo shown; echo 'callback " + callbackAddress().toUtf8() + "'; exit 0"));
        const auto outcome = awaitTask(session.authenticate(m_server.baseUrl(), onHeap(u"Pendlow")), 5000);
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(QString::fromLatin1(outcome.value->toEncoded()), callbackAddress());
    }

    void onlyWebLoginAddressesAreOpened_data() {
        QTest::addColumn<QString>("address");
        QTest::newRow("file") << QStringLiteral("file:///etc/passwd");
        QTest::newRow("script") << QStringLiteral("javascript:alert(1)");
        QTest::newRow("no host") << QStringLiteral("https:///login");
        QTest::newRow("empty") << QString();
    }

    void onlyWebLoginAddressesAreOpened() {
        QFETCH(QString, address);
        WebAuthenticationSession session;
        // Any start of this helper would leave a trace.
        const QString marker = m_scripts.filePath(QStringLiteral("started"));
        session.setHelperProgram(
            fakeHelper(QStringLiteral("marks"), "touch '" + marker.toUtf8() + "'; exit 0"));
        const auto outcome = awaitTask(session.authenticate(QUrl(address), onHeap(u"pendlow")), 5000);
        const auto error = outcome.errorAs<WebAuthenticationError>();
        QVERIFY(error);
        QCOMPARE(error->kind(), WebAuthenticationError::Kind::startFailed);
        QTest::qWait(100);
        QVERIFY(!QFile::exists(marker));
    }
};

PENDLOW_TEST_MAIN(WebAuthenticationSessionTest)
#include "tst_WebAuthenticationSession.moc"
