// The desktop's browser-address sources: Firefox's session file (profile lookup, the compressed file,
// the tab the window shows) and the DevTools endpoint of Chromium-family browsers, each with the
// damaged, cut-off, hanging and garbage answers a real desktop gives.
#include "support/TestMain.h"

#include "platform/ChromiumDevTools.h"
#include "platform/FirefoxSessionStore.h"
#include "support/FakeHttpServer.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTemporaryDir>

#include <lz4.h>

using namespace Qt::StringLiterals;

namespace {
// A "mozLz40" file as Firefox writes it.
QByteArray mozLz4(const QByteArray& json) {
    QByteArray file("mozLz40", 8);
    const quint32 size = quint32(json.size());
    for (int shift = 0; shift < 32; shift += 8) {
        file.append(char((size >> shift) & 0xff));
    }
    QByteArray block(LZ4_compressBound(int(json.size())), Qt::Uninitialized);
    const int written =
        LZ4_compress_default(json.constData(), block.data(), int(json.size()), int(block.size()));
    file.append(block.constData(), written);
    return file;
}

QJsonObject tab(const QString& url, const QString& title, const QString& backUrl = {}) {
    QJsonArray entries;
    if (!backUrl.isEmpty()) {
        entries.append(QJsonObject{{u"url"_s, backUrl}, {u"title"_s, u"Before"_s}});
    }
    entries.append(QJsonObject{{u"url"_s, url}, {u"title"_s, title}});
    return QJsonObject{{u"entries"_s, entries}, {u"index"_s, entries.size()}};
}

// Two windows: the first shows "Plan" (second tab), the second, the selected one, "Mail".
QByteArray twoWindowSession() {
    const QJsonObject first{{u"tabs"_s, QJsonArray{tab(u"https://a.example.org/"_s, u"A"_s),
                                                   tab(u"https://plan.example.org/q3"_s, u"Plan"_s,
                                                       u"https://plan.example.org/"_s)}},
                            {u"selected"_s, 2}};
    const QJsonObject second{{u"tabs"_s, QJsonArray{tab(u"https://mail.example.org/inbox"_s, u"Mail"_s)}},
                             {u"selected"_s, 1}};
    return QJsonDocument(QJsonObject{{u"windows"_s, QJsonArray{first, second}}, {u"selectedWindow"_s, 2}})
        .toJson(QJsonDocument::Compact);
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// A Firefox folder with profiles.ini naming one profile, and that profile's session file.
struct FirefoxFolder {
    QTemporaryDir root;
    QString folder = root.path() + u"/.mozilla/firefox"_s;

    FirefoxFolder() {
        write(folder + u"/profiles.ini"_s, "[Profile0]\nName=default\nIsRelative=1\nPath=abc.default\n\n"
                                           "[Profile1]\nName=work\nIsRelative=1\nPath=xyz.work\nDefault=1\n\n"
                                           "[General]\nStartWithLastProfile=1\n");
    }
    QString sessionFile() const { return folder + u"/xyz.work/sessionstore-backups/recovery.jsonlz4"_s; }
    BrowserTab activeTab(const QString& title) {
        FirefoxSessionStore store({folder});
        TaskOutcome<BrowserTab> outcome = awaitTask(store.activeTab(onHeap(title)));
        return outcome.value.value_or(BrowserTab::failure(u"time-out"_s));
    }
};

QByteArray pageList() {
    const QJsonArray targets{
        QJsonObject{
            {u"type"_s, u"service_worker"_s}, {u"title"_s, u"Docs"_s}, {u"url"_s, u"https://sw.example/"_s}},
        QJsonObject{
            {u"type"_s, u"page"_s}, {u"title"_s, u"Board"_s}, {u"url"_s, u"https://board.example/b/1"_s}},
        QJsonObject{{u"type"_s, u"page"_s}, {u"title"_s, u"Docs"_s}, {u"url"_s, u"https://docs.example/d"_s}},
    };
    return QJsonDocument(targets).toJson(QJsonDocument::Compact);
}
} // namespace

Q_DECLARE_METATYPE(FakeHttpServer::Response)

class BrowserTabSources : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void firefoxProfileChoice_data() {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("expected"); // relative to the folder; empty: none
        QTest::newRow("install section wins")
            << QByteArray("[Profile0]\nPath=a\nDefault=1\n[Install4F96D1932A9F858E]\nDefault=b\nLocked=1\n")
            << u"b"_s;
        QTest::newRow("profile marked default")
            << QByteArray("[Profile0]\nPath=a\n[Profile1]\nPath=b\nDefault=1\n") << u"b"_s;
        QTest::newRow("first profile") << QByteArray("[Profile0]\nPath=a\n[Profile1]\nPath=b\n") << u"a"_s;
        QTest::newRow("absolute path")
            << QByteArray("[Profile0]\nIsRelative=0\nPath=/srv/ff/p\n") << u"/srv/ff/p"_s;
        QTest::newRow("no profile") << QByteArray("[General]\nVersion=2\n") << QString();
        QTest::newRow("garbage") << QByteArray("\xff\xfe\x00[[[=\n=\n[Profile", 17) << QString();
    }

    void firefoxProfileChoice() {
        QFETCH(QByteArray, ini);
        QFETCH(QString, expected);
        QTemporaryDir folder;
        write(folder.filePath(u"profiles.ini"_s), ini);
        const std::optional<QString> profile = FirefoxSessionStore::profileFolder(folder.path());
        if (expected.isEmpty()) {
            QCOMPARE(profile, std::nullopt);
        } else {
            QCOMPARE(profile, expected.startsWith(u'/') ? expected : folder.filePath(expected));
        }
        QCOMPARE(FirefoxSessionStore::profileFolder(folder.filePath(u"missing"_s)), std::nullopt);
    }

    void firefoxTabOfTheWindowInFront_data() {
        QTest::addColumn<QString>("windowTitle");
        QTest::addColumn<QString>("url"); // empty: not found
        QTest::newRow("no title: the selected window") << QString() << u"https://mail.example.org/inbox"_s;
        QTest::newRow("title picks the window")
            << u"Plan \u2014 Mozilla Firefox"_s << u"https://plan.example.org/q3"_s;
        QTest::newRow("plain dash") << u"Mail - Firefox"_s << u"https://mail.example.org/inbox"_s;
        QTest::newRow("tab not saved yet") << u"Brand new tab \u2014 Mozilla Firefox"_s << QString();
        QTest::newRow("title only begins alike") << u"Planning \u2014 Mozilla Firefox"_s << QString();
    }

    void firefoxTabOfTheWindowInFront() {
        QFETCH(QString, windowTitle);
        QFETCH(QString, url);
        FirefoxFolder firefox;
        write(firefox.sessionFile(), mozLz4(twoWindowSession()));
        const BrowserTab found = firefox.activeTab(windowTitle);
        if (url.isEmpty()) {
            QVERIFY(!found.found());
            QCOMPARE(found.problem, u"Firefox has not saved that tab yet"_s);
        } else {
            QCOMPARE(found.url, url);
        }
    }

    void firefoxDamagedSessionFiles_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("problem");
        const QByteArray whole = mozLz4(twoWindowSession());
        const QString unreadable = u"Firefox's session file could not be read"_s;
        QTest::newRow("cut off while written") << whole.left(whole.size() / 2) << unreadable;
        QTest::newRow("header only") << whole.left(12) << unreadable;
        QTest::newRow("wrong magic") << QByteArray("mozLz4X").append(whole.mid(7)) << unreadable;
        QByteArray huge = whole;
        huge[8] = char(0xff), huge[9] = char(0xff), huge[10] = char(0xff), huge[11] = char(0x7f);
        QTest::newRow("absurd size") << huge << unreadable;
        QByteArray shorter = whole;
        shorter[8] = char(shorter[8] - 1);
        QTest::newRow("size does not match") << shorter << unreadable;
        QTest::newRow("garbage") << QByteArray(4096, '\x9c') << unreadable;
        QTest::newRow("empty") << QByteArray() << unreadable;
        QTest::newRow("not JSON inside") << mozLz4("{\"windows\": [tru") << unreadable;
        QTest::newRow("JSON of another shape") << mozLz4("[1,2,3]") << unreadable;
        QTest::newRow("no windows") << mozLz4("{\"windows\":[]}") << u"Firefox has no open window"_s;
        QTest::newRow("odd indexes") << mozLz4("{\"windows\":[{\"tabs\":[{\"entries\":[],\"index\":9}],"
                                               "\"selected\":-4}],\"selectedWindow\":\"x\"}")
                                     << u"Firefox's front window shows no page"_s;
    }

    void firefoxDamagedSessionFiles() {
        QFETCH(QByteArray, file);
        QFETCH(QString, problem);
        FirefoxFolder firefox;
        write(firefox.sessionFile(), file);
        const BrowserTab found = firefox.activeTab(QString());
        QVERIFY(!found.found());
        QCOMPARE(found.problem, problem);
    }

    void firefoxWithoutProfileOrSession() {
        FirefoxFolder firefox;
        QCOMPARE(firefox.activeTab(QString()).problem, u"Firefox is not running (no session file)"_s);
        QTemporaryDir empty;
        FirefoxSessionStore nothing({empty.path()});
        QCOMPARE(awaitTask(nothing.activeTab(onHeap(u""))).value->problem, u"No Firefox profile found"_s);
    }

    void chromiumPageOfTheWindowInFront_data() {
        QTest::addColumn<QString>("windowTitle");
        QTest::addColumn<QString>("url");
        QTest::newRow("title picks the page") << u"Docs - Chromium"_s << u"https://docs.example/d"_s;
        QTest::newRow("no title: the page used last") << QString() << u"https://board.example/b/1"_s;
        QTest::newRow("no page shows it") << u"Settings - Chromium"_s << QString();
    }

    void chromiumPageOfTheWindowInFront() {
        QFETCH(QString, windowTitle);
        QFETCH(QString, url);
        FakeHttpServer server;
        server.route("GET", u"/json/list"_s, FakeHttpServer::Response::json(pageList()));
        ChromiumDevTools devTools({server.port()});
        const BrowserTab found = *awaitTask(devTools.activeTab(onHeap(windowTitle))).value;
        if (url.isEmpty()) {
            QVERIFY(!found.found());
            QCOMPARE(found.problem, u"no open tab matches the browser window"_s);
        } else {
            QCOMPARE(found.url, url);
        }
    }

    // Whatever a port answers, the source gives up quickly and tries the next one.
    void chromiumBadEndpoints_data() {
        QTest::addColumn<FakeHttpServer::Response>("response");
        FakeHttpServer::Response hang;
        hang.hang = true;
        FakeHttpServer::Response drip = FakeHttpServer::Response::json(pageList());
        drip.dripMs = 200;
        FakeHttpServer::Response dropped;
        dropped.drop = true;
        QTest::newRow("hangs") << hang;
        QTest::newRow("drips") << drip;
        QTest::newRow("closes") << dropped;
        QTest::newRow("garbage") << FakeHttpServer::Response::text(QByteArray(2000, '\x01'));
        QTest::newRow("not a list") << FakeHttpServer::Response::json("{\"Browser\":\"x\"}");
        QTest::newRow("404") << FakeHttpServer::Response::json("{}", 404);
        QTest::newRow("too large") << FakeHttpServer::Response::json(
            QByteArray("[") + QByteArray(ChromiumDevTools::maxReplyBytes + 10, ' ') + "]");
    }

    void chromiumBadEndpoints() {
        QFETCH(FakeHttpServer::Response, response);
        FakeHttpServer bad;
        bad.route("GET", u"/json/list"_s, response);
        FakeHttpServer good;
        good.route("GET", u"/json/list"_s, FakeHttpServer::Response::json(pageList()));
        ChromiumDevTools devTools({bad.port(), good.port()});
        QElapsedTimer clock;
        clock.start();
        const TaskOutcome<BrowserTab> outcome = awaitTask(devTools.activeTab(onHeap(u"Docs - Chromium")));
        QVERIFY(outcome.finished && !outcome.failed());
        QCOMPARE(outcome.value->url, u"https://docs.example/d"_s);
        QVERIFY2(clock.elapsed() < 2 * ChromiumDevTools::timeout.count() + 1000,
                 qPrintable(QString::number(clock.elapsed())));
    }

    void chromiumWithoutDebuggingPort() {
        // A port nobody listens on: a server opened and closed again.
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost));
            port = probe.serverPort();
        }
        ChromiumDevTools devTools({port});
        const BrowserTab found = *awaitTask(devTools.activeTab(onHeap(u"Docs - Chromium"))).value;
        QVERIFY(!found.found());
        QVERIFY(found.problem.contains(u"--remote-debugging-port"_s));
    }
};

PENDLOW_TEST_MAIN(BrowserTabSources)
#include "tst_BrowserTabSources.moc"
