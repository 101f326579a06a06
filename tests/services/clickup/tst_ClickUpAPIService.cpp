// The ClickUp client against a loopback server: the requests each operation sends, how every kind of
// failure reaches the caller, ids that must not change the address, and the token kept out of logs.
#include "support/FakeClock.h"
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "core/Log.h"
#include "core/TransportError.h"
#include "platform/KeychainItem.h"
#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpAPIService.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>

#include <chrono>
#include <memory>

using namespace std::chrono_literals;

namespace {
// Values that go into the client's coroutines are made at run time (see onHeap).
const QString token = onHeap(u"pk_4711_Q8ZJ3KX0WB2M9TLR5D7C");
const QString team = onHeap(u"9001");
const QDateTime entryStart = QDateTime::fromMSecsSinceEpoch(1772438400000); // 2026-03-02 08:00 UTC
const QDateTime entryEnd = entryStart.addSecs(90 * 60);

const QByteArray timerReply = j("{'data':{'id':'te1','start':'1772438400000',"
                                "'task':{'id':'abc','name':'Write report'}}}");
const QByteArray otherTimerReply = j("{'data':{'id':'te2','start':'1772438400000',"
                                     "'task':{'id':'xyz','name':'Read mail'}}}");
const QByteArray entryJson = j("{'id':'te9','start':'1772438400000','end':'1772443800000',"
                               "'duration':'5400000','task':{'id':'abc','name':'Write report'}}");
const QByteArray entryReply = "{\"data\":" + entryJson + "}";

// The address the client is given: the API lives below a path, as ClickUp's does.
QUrl apiBase(const FakeHttpServer& server) {
    QUrl url = server.baseUrl();
    url.setPath(QStringLiteral("/api/v2"));
    return url;
}

QString apiPath(const QString& rest) {
    return QStringLiteral("/api/v2/team/") + rest;
}

// A loopback port where nothing listens.
quint16 closedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

// Runs one operation of the client by name, with fixed arguments; its value goes to `result` as text.
QCoro::Task<> call(ClickUpAPIService& service, QString operation, QString* result = nullptr,
                   QString teamId = team, QString id = onHeap(u"te9")) {
    QString text;
    if (operation == QLatin1String("current")) {
        const auto timer = co_await service.getCurrentTimer(teamId);
        text = timer ? timer->id : QStringLiteral("none");
    } else if (operation == QLatin1String("start")) {
        const auto timer = co_await service.startTimer(teamId, id);
        text = timer ? timer->id : QStringLiteral("none");
    } else if (operation == QLatin1String("stop")) {
        co_await service.stopTimer(teamId);
    } else if (operation == QLatin1String("entries")) {
        const auto entries = co_await service.getTimeEntries(teamId, entryStart);
        QStringList ids;
        for (const TimeEntry& entry : entries) {
            ids.append(entry.id);
        }
        text = ids.join(u',');
    } else if (operation == QLatin1String("create")) {
        std::optional<QString> description = onHeap(u"Notes");
        const TimeEntry entry =
            co_await service.createTimeEntry(teamId, id, entryStart, entryEnd, std::move(description));
        text = entry.id;
    } else if (operation == QLatin1String("createPlain")) {
        const TimeEntry entry =
            co_await service.createTimeEntry(teamId, id, entryStart, entryEnd, std::nullopt);
        text = entry.id;
    } else if (operation == QLatin1String("update")) {
        const TimeEntry entry = co_await service.updateTimeEntry(teamId, id, entryStart, entryEnd);
        text = entry.id;
    } else if (operation == QLatin1String("delete")) {
        co_await service.deleteTimeEntry(teamId, id);
    } else if (operation == QLatin1String("search")) {
        QString query = onHeap(u"report");
        const QList<ClickUpSearchResult> found = co_await service.searchTasks(teamId, std::move(query), 20);
        text = QString::number(found.size());
    } else {
        qFatal("unknown operation %s", qPrintable(operation));
    }
    if (result) {
        *result = text;
    }
}

// Every operation, by the name call() knows it.
const QStringList operations{onHeap(u"current"), onHeap(u"start"),  onHeap(u"stop"),   onHeap(u"entries"),
                             onHeap(u"create"),  onHeap(u"update"), onHeap(u"delete"), onHeap(u"search")};

// The path and method of an operation's own request (for start: the start, not the stop before it).
QPair<QByteArray, QString> mainRequestOf(const QString& operation, const QString& teamSegment = team,
                                         const QString& idSegment = QStringLiteral("te9")) {
    const QString teamRoot = apiPath(teamSegment);
    if (operation == QLatin1String("current")) {
        return {"GET", teamRoot + QStringLiteral("/time_entries/current")};
    }
    if (operation == QLatin1String("start")) {
        return {"POST", teamRoot + QStringLiteral("/time_entries/start")};
    }
    if (operation == QLatin1String("stop")) {
        return {"POST", teamRoot + QStringLiteral("/time_entries/stop")};
    }
    if (operation == QLatin1String("entries")) {
        return {"GET", teamRoot + QStringLiteral("/time_entries")};
    }
    if (operation.startsWith(QLatin1String("create"))) {
        return {"POST", teamRoot + QStringLiteral("/time_entries")};
    }
    if (operation == QLatin1String("update")) {
        return {"PUT", teamRoot + QStringLiteral("/time_entries/") + idSegment};
    }
    if (operation == QLatin1String("delete")) {
        return {"DELETE", teamRoot + QStringLiteral("/time_entries/") + idSegment};
    }
    return {"GET", teamRoot + QStringLiteral("/task")};
}

// Answers every request the way ClickUp answers a successful one.
FakeHttpServer::Response happyAnswer(const FakeHttpServer::Request& request) {
    const QString path = request.path;
    if (path.endsWith(QLatin1String("/time_entries/current")) ||
        path.endsWith(QLatin1String("/time_entries/start")) ||
        path.endsWith(QLatin1String("/time_entries/stop"))) {
        return FakeHttpServer::Response::json(timerReply);
    }
    if (path.endsWith(QLatin1String("/task"))) {
        const bool firstPage = request.query.queryItemValue(QStringLiteral("page")) == QLatin1String("0");
        return FakeHttpServer::Response::json(
            firstPage ? j("{'tasks':[{'id':'t1','name':'Quarterly report'}]}") : j("{'tasks':[]}"));
    }
    if (request.method == "GET") {
        return FakeHttpServer::Response::json("{\"data\":[" + entryJson + "]}");
    }
    if (request.method == "DELETE") {
        return FakeHttpServer::Response::empty(204);
    }
    return FakeHttpServer::Response::json(entryReply);
}

struct Rig {
    FakeHttpServer server;
    InMemoryKeychain keychain;
    ClickUpAPIService service;

    explicit Rig(std::optional<QUrl> base = std::nullopt)
        : service(keychain, base.value_or(apiBase(server))) {
        keychain.putItem(KeychainItem::clickUpAPIToken, token);
        server.setFallback(happyAnswer);
        service.setTransferTimeout(3s);
    }
};

QJsonObject jsonObject(const QByteArray& body) {
    return QJsonDocument::fromJson(body).object();
}
} // namespace

class ClickUpAPIServiceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The request each operation sends: method, address, headers and body.
    void requestsSent_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QByteArray>("body"); // empty: no body and no Content-Type
        QTest::addColumn<QString>("result");

        const QString base = apiPath(team);
        QTest::newRow("current timer")
            << "current" << base + "/time_entries/current" << false << QByteArray() << "te1";
        QTest::newRow("stop") << "stop" << base + "/time_entries/stop" << true << QByteArray() << "";
        QTest::newRow("start") << "start" << base + "/time_entries/start" << false << j("{'tid':'te9'}")
                               << "te1";
        QTest::newRow("entries from a start date")
            << "entries" << base + "/time_entries?start_date=1772438400000" << true << QByteArray() << "te9";
        QTest::newRow("create, 90 minutes with a description")
            << "create" << base + "/time_entries" << false
            << j("{'tid':'te9','start':1772438400000,'duration':5400000,'description':'Notes','billable':"
                 "false}")
            << "te9";
        QTest::newRow("create without description")
            << "createPlain" << base + "/time_entries" << false
            << j("{'tid':'te9','start':1772438400000,'duration':5400000,'billable':false}") << "te9";
        QTest::newRow("update") << "update" << base + "/time_entries/te9" << true
                                << j("{'start':1772438400000,'duration':5400000}") << "te9";
        QTest::newRow("delete") << "delete" << base + "/time_entries/te9" << false << QByteArray() << "";
        QTest::newRow("search, first page")
            << "search" << base + "/task?page=0&include_closed=true&subtasks=true" << true << QByteArray()
            << "1";
    }

    void requestsSent() {
        QFETCH(QString, operation);
        QFETCH(QString, target);
        QFETCH(bool, accept);
        QFETCH(QByteArray, body);
        QFETCH(QString, result);

        Rig rig;
        QString value;
        const auto outcome = awaitTask(call(rig.service, operation, &value));
        QVERIFY2(outcome.finished && !outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(value, result);

        const auto sent = rig.server.requests();
        const auto found =
            std::find_if(sent.cbegin(), sent.cend(), [&](const auto& r) { return r.target == target; });
        QVERIFY2(found != sent.cend(), qPrintable(target));
        const FakeHttpServer::Request& request = *found;
        QCOMPARE(request.method, mainRequestOf(operation).first);
        QCOMPARE(request.header("Authorization"), token.toUtf8());
        QCOMPARE(request.header("Accept"), accept ? QByteArray("application/json") : QByteArray());
        QCOMPARE(request.header("Content-Type"),
                 body.isEmpty() ? QByteArray() : QByteArray("application/json"));
        if (body.isEmpty()) {
            QVERIFY(request.body.isEmpty());
        } else {
            QCOMPARE(jsonObject(request.body), jsonObject(body));
        }
    }

    // Starting stops what runs first, whatever the stop's outcome; a start reply that cannot be read
    // is answered by reading the current timer.
    void startTimer_data() {
        QTest::addColumn<int>("stopStatus");
        QTest::addColumn<QByteArray>("startReply");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QStringList>("sequence");

        const QStringList stopStart{"POST stop", "POST start"};
        QTest::newRow("timer in the reply") << 200 << timerReply << "te1" << stopStart;
        QTest::newRow("stop fails, start goes ahead") << 500 << timerReply << "te1" << stopStart;
        QTest::newRow("no timer in the reply") << 200 << j("{'data':null}") << "none" << stopStart;
        QTest::newRow("unreadable reply reads the current timer")
            << 200 << QByteArray("<html>ok</html>") << "te2"
            << QStringList{"POST stop", "POST start", "GET current"};
    }

    void startTimer() {
        QFETCH(int, stopStatus);
        QFETCH(QByteArray, startReply);
        QFETCH(QString, result);
        QFETCH(QStringList, sequence);

        Rig rig;
        rig.server.route("POST", apiPath(team + "/time_entries/stop"),
                         FakeHttpServer::Response::json(j("{'err':'nothing'}"), stopStatus));
        rig.server.route("POST", apiPath(team + "/time_entries/start"),
                         FakeHttpServer::Response::json(startReply));
        rig.server.route("GET", apiPath(team + "/time_entries/current"),
                         FakeHttpServer::Response::json(otherTimerReply));
        QString value;
        const auto outcome = awaitTask(call(rig.service, "start", &value));
        QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(value, result);
        QStringList sent;
        for (const auto& request : rig.server.requests()) {
            sent.append(QString::fromLatin1(request.method) + u' ' + request.path.section(u'/', -1));
        }
        QCOMPARE(sent, sequence);
    }

    // The list keeps ClickUp's order and leaves out entries whose start is unusable.
    void timeEntriesDropUnconvertibleEntries() {
        Rig rig;
        rig.server.route(
            "GET", apiPath(team + "/time_entries"),
            FakeHttpServer::Response::json(j("{'data':[{'id':'b','start':'1772438400000','duration':'1'},"
                                             "{'id':'x','start':'soon','duration':'1'},"
                                             "{'id':'a','start':'1772430000000','duration':'1'}]}")));
        QString ids;
        const auto outcome = awaitTask(call(rig.service, "entries", &ids));
        QVERIFY(!outcome.failed());
        QCOMPARE(ids, QStringLiteral("b,a"));
    }

    // How each failure reaches the caller of each operation.
    void failures_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>(
            "expected"); // "ok:<result>" or "api:<description>" ("…" at the end: a prefix)

        const auto row = [](const char* name, const char* operation, int status, const QByteArray& body,
                            const QString& expected) {
            QTest::newRow(name) << QString::fromLatin1(operation) << status << body << expected;
        };
        // Every call: the message of ClickUp's error body, so one error reads the same everywhere.
        row("stop 401 err", "stop", 401, j("{'err':'Token invalid','ECODE':'OAUTH_019'}"),
            "api:Server error (401): Token invalid");
        row("stop 401 error", "stop", 401, j("{'error':'Not allowed'}"),
            "api:Server error (401): Not allowed");
        row("stop 401 err before error", "stop", 401, j("{'error':'second','err':'first'}"),
            "api:Server error (401): first");
        row("stop 401 empty object", "stop", 401, "{}", "api:Server error (401): Unknown error");
        row("stop 401 not JSON", "stop", 401, "Unauthorized", "api:Server error (401): Unauthorized");
        row("stop 401 err not a string", "stop", 401, j("{'err':42}"),
            "api:Server error (401): {\"err\":42}");
        row("stop 401 no body", "stop", 401, "", "api:Server error: 401");
        row("stop 401 blank body", "stop", 401, " \n", "api:Server error: 401");
        row("stop 401 not UTF-8", "stop", 401, "\xff\xfe\xfd", "api:Server error: 401");
        row("stop 429", "stop", 429, j("{'err':'Rate limit reached'}"),
            "api:Server error (429): Rate limit reached");
        row("entries 401", "entries", 401, j("{'err':'Token invalid','ECODE':'OAUTH_025'}"),
            "api:Server error (401): Token invalid");
        row("entries 500 text", "entries", 500, "upstream failure",
            "api:Server error (500): upstream failure");
        row("entries 200 not JSON", "entries", 200, "<html></html>", "api:Failed to parse response: …");
        row("entries 200 wrong shape", "entries", 200, j("{'data':[{'id':7}]}"),
            "api:Failed to parse response: …");
        row("update 404", "update", 404, j("{'err':'Time entry not found'}"),
            "api:Server error (404): Time entry not found");
        row("update entry without usable start", "update", 200,
            j("{'data':{'id':'te9','start':'later','duration':'1'}}"),
            "api:Failed to parse response: Failed to parse updated time entry");
        row("search 401", "search", 401, j("{'err':'Token invalid'}"),
            "api:Server error (401): Token invalid");
        row("search 200 not JSON", "search", 200, "nope", "api:Failed to parse response: …");
        // The current-timer read: an unreadable reply is no timer.
        row("current 401 with err", "current", 401, j("{'err':'Token invalid','ECODE':'OAUTH_025'}"),
            "api:Server error (401): Token invalid");
        row("current 500", "current", 500, "boom", "api:Server error (500): boom");
        row("current 200 not JSON", "current", 200, "<html></html>", "ok:none");
        row("current 200 no timer", "current", 200, j("{'data':null}"), "ok:none");
        row("start 400", "start", 400, j("{'err':'Bad task','ECODE':'TASK_001'}"),
            "api:Server error (400): Bad task");
        row("start 401", "start", 401, j("{'err':'Token invalid','ECODE':'OAUTH_025'}"),
            "api:Server error (401): Token invalid");
        row("start 401 not UTF-8", "start", 401, "\xff", "api:Server error: 401");
        row("create 400", "create", 400, j("{'err':'Bad'}"), "api:Server error (400): Bad");
        row("create 500 not UTF-8", "create", 500, "\xc3", "api:Server error: 500");
        row("create 200 not JSON", "create", 200, "ok", "api:Failed to parse response: …");
        row("create entry without usable start", "create", 200,
            j("{'data':{'id':'te9','start':'later','duration':'1'}}"),
            "api:Failed to parse response: Failed to parse created time entry");
        // Delete: any 2xx, body ignored.
        row("delete 204", "delete", 204, "", "ok:");
        row("delete 200 body ignored", "delete", 200, "not JSON", "ok:");
        row("delete 404 with err", "delete", 404, j("{'err':'gone'}"), "api:Server error (404): gone");
    }

    void failures() {
        QFETCH(QString, operation);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);

        Rig rig;
        const auto [method, path] = mainRequestOf(operation);
        rig.server.route(method, path, FakeHttpServer::Response::text(body, status));
        QString value;
        const auto outcome = awaitTask(call(rig.service, operation, &value));
        QVERIFY(outcome.finished);
        if (expected.startsWith(QLatin1String("ok:"))) {
            QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
            QCOMPARE(value, expected.mid(3));
            return;
        }
        const auto error = outcome.errorAs<APIError>();
        QVERIFY2(error.has_value(), qPrintable(outcome.errorDescription()));
        const QString description = expected.mid(4);
        if (description.endsWith(u'…')) {
            QVERIFY2(error->description().startsWith(description.chopped(1)),
                     qPrintable(error->description()));
            QVERIFY(error->description().size() > description.size());
        } else {
            QCOMPARE(error->description(), description);
        }
    }

    // A server that cannot be reached, stays silent or hangs up: the generic request wraps the
    // failure as networkError, the others pass it on as it is.
    void transportFailures_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("server"); // "refused", "hang", "drop"
        QTest::addColumn<bool>("wrapped");
        QTest::addColumn<QString>("description");

        const QHash<QString, QString> texts{{"refused", "Connection refused"},
                                            {"hang", "The request timed out."},
                                            {"drop", "Connection closed"}};
        for (const QString& server :
             {QStringLiteral("refused"), QStringLiteral("hang"), QStringLiteral("drop")}) {
            for (const QString& operation : operations) {
                const bool wrapped = QStringList{"stop", "entries", "update", "search"}.contains(operation);
                QTest::addRow("%s %s", qPrintable(operation), qPrintable(server))
                    << operation << server << wrapped << texts.value(server);
            }
        }
    }

    void transportFailures() {
        QFETCH(QString, operation);
        QFETCH(QString, server);
        QFETCH(bool, wrapped);
        QFETCH(QString, description);

        FakeHttpServer fake;
        InMemoryKeychain keychain;
        keychain.putItem(KeychainItem::clickUpAPIToken, token);
        QUrl base = apiBase(fake);
        if (server == QLatin1String("refused")) {
            base.setPort(closedPort());
        } else {
            FakeHttpServer::Response response;
            response.hang = server == QLatin1String("hang");
            response.drop = server == QLatin1String("drop");
            fake.setFallback([response](const FakeHttpServer::Request&) { return response; });
        }
        ClickUpAPIService service(keychain, base);
        service.setTransferTimeout(300ms);

        const auto outcome = awaitTask(call(service, operation));
        QVERIFY(outcome.finished && outcome.failed());
        if (wrapped) {
            const auto error = outcome.errorAs<APIError>();
            QVERIFY2(error.has_value(), qPrintable(outcome.errorDescription()));
            QCOMPARE(error->kind(), APIError::Kind::networkError);
            QCOMPARE(error->description(), QStringLiteral("Network error: ") + description);
        } else {
            const auto error = outcome.errorAs<TransportError>();
            QVERIFY2(error.has_value(), qPrintable(outcome.errorDescription()));
            QCOMPARE(error->description(), description);
            QCOMPARE(error->isTimeout(), server == QLatin1String("hang"));
        }
    }

    // A client that goes away ends the calls whose requests are out, as failures, at once.
    void destroyedClientEndsItsCalls_data() {
        QTest::addColumn<QString>("operation");
        for (const QString& operation : operations) {
            QTest::newRow(qPrintable(operation)) << operation;
        }
    }

    void destroyedClientEndsItsCalls() {
        QFETCH(QString, operation);

        FakeHttpServer fake;
        FakeHttpServer::Response silent;
        silent.hang = true;
        fake.setFallback([silent](const FakeHttpServer::Request&) { return silent; });
        InMemoryKeychain keychain;
        keychain.putItem(KeychainItem::clickUpAPIToken, token);
        auto service = std::make_unique<ClickUpAPIService>(keychain, apiBase(fake));

        QCoro::Task<> running = call(*service, operation);
        QVERIFY(fake.waitForRequests(1));
        service.reset();
        const auto outcome = awaitTask(std::move(running), 2000);
        QVERIFY(outcome.finished);
        QVERIFY2(outcome.failed(), qPrintable(operation));
    }

    // Without a token that can be sent, nothing is sent.
    void unusableTokenSendsNothing_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("stored"); // null: no item

        for (const QString& operation : operations) {
            QTest::addRow("%s, no token", qPrintable(operation)) << operation << QString();
            QTest::addRow("%s, empty token", qPrintable(operation)) << operation << QString("");
            QTest::addRow("%s, token with a line break", qPrintable(operation))
                << operation << token + "\r\nX-Injected: 1";
        }
    }

    void unusableTokenSendsNothing() {
        QFETCH(QString, operation);
        QFETCH(QString, stored);

        Rig rig;
        rig.keychain.removeItem(KeychainItem::clickUpAPIToken);
        if (!stored.isNull()) {
            rig.keychain.putItem(KeychainItem::clickUpAPIToken, stored);
        }
        const auto outcome = awaitTask(call(rig.service, operation));
        const auto error = outcome.errorAs<APIError>();
        QVERIFY2(error.has_value(), qPrintable(outcome.errorDescription()));
        QCOMPARE(error->kind(), APIError::Kind::invalidToken);
        QCOMPARE(error->description(), QStringLiteral("Please add API Token first in Settings."));
        QCOMPARE(rig.server.requestCount(), 0);
    }

    // The token is read for every call, so a changed token counts from the next request on.
    void tokenIsReadForEveryCall() {
        Rig rig;
        QVERIFY(!awaitTask(call(rig.service, "current")).failed());
        rig.keychain.putItem(KeychainItem::clickUpAPIToken, onHeap(u"pk_new"));
        QVERIFY(!awaitTask(call(rig.service, "current")).failed());
        QCOMPARE(rig.server.requests().last().header("Authorization"), QByteArray("pk_new"));
    }

    // Ids go into the address as one path segment each: "/", "?", "#" and "%" cannot change the request.
    void idsArePercentEncoded_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("teamId");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("target");

        const QString odd = onHeap(u"a/b?c=d#e%f g");
        const QString encoded = QStringLiteral("a%2Fb%3Fc%3Dd%23e%25f%20g");
        QTest::newRow("team of current") << "current" << odd << "te9"
                                         << "/api/v2/team/" + encoded + "/time_entries/current";
        QTest::newRow("team of entries") << "entries"
                                         << "7/../8"
                                         << "te9"
                                         << "/api/v2/team/7%2F..%2F8/time_entries?start_date=1772438400000";
        QTest::newRow("entry of update")
            << "update" << team << "../te9?x=1" << apiPath(team) + "/time_entries/..%2Fte9%3Fx%3D1";
        QTest::newRow("entry of delete")
            << "delete" << team << odd << apiPath(team) + "/time_entries/" + encoded;
        QTest::newRow("task of start, in the body")
            << "start" << team << odd << apiPath(team) + "/time_entries/start";
        QTest::newRow("team of the search")
            << "search"
            << "7?page=9"
            << "te9"
            << "/api/v2/team/7%3Fpage%3D9/task?page=0&include_closed=true&subtasks=true";
        QTest::newRow("unicode team") << "stop" << QString::fromUtf8("t\xc3\xa9") << "te9"
                                      << "/api/v2/team/t%C3%A9/time_entries/stop";
    }

    void idsArePercentEncoded() {
        QFETCH(QString, operation);
        QFETCH(QString, teamId);
        QFETCH(QString, id);
        QFETCH(QString, target);

        Rig rig;
        awaitTask(call(rig.service, operation, nullptr, teamId, id));
        QStringList targets;
        for (const auto& request : rig.server.requests()) {
            targets.append(request.target);
        }
        QVERIFY2(targets.contains(target), qPrintable(targets.join(u'\n')));
        if (operation == QLatin1String("start")) {
            QCOMPARE(rig.server.requests().last().jsonBody().value("tid").toString(), id);
        }
    }

    // An address that cannot be formed fails with invalidURL before anything is sent (after the token).
    void unformableAddress_data() {
        QTest::addColumn<QString>("base"); // empty: the test server's
        QTest::addColumn<QString>("teamId");
        QTest::addColumn<QString>("id");

        QTest::newRow("no scheme") << "api.clickup.com/api/v2" << team << "te9";
        QTest::newRow("not http") << "ftp://127.0.0.1/api/v2" << team << "te9";
        QTest::newRow("empty") << "-" << team << "te9";
        QTest::newRow("team id ..") << ""
                                    << ".."
                                    << "te9";
        QTest::newRow("team id .") << ""
                                   << "."
                                   << "te9";
        QTest::newRow("entry id ..") << "" << team << "..";
    }

    void unformableAddress() {
        QFETCH(QString, base);
        QFETCH(QString, teamId);
        QFETCH(QString, id);

        for (const QString& operation : operations) {
            if (id == QLatin1String("..") && operation != QLatin1String("update") &&
                operation != QLatin1String("delete")) {
                continue; // only these two address an entry
            }
            FakeHttpServer server;
            InMemoryKeychain keychain;
            keychain.putItem(KeychainItem::clickUpAPIToken, token);
            const QUrl url = base.isEmpty()               ? apiBase(server)
                             : base == QLatin1String("-") ? QUrl()
                                                          : QUrl(base);
            ClickUpAPIService service(keychain, url);
            const auto outcome = awaitTask(call(service, operation, nullptr, teamId, id));
            const auto error = outcome.errorAs<APIError>();
            QVERIFY2(error.has_value(), qPrintable(operation + ": " + outcome.errorDescription()));
            QCOMPARE(error->kind(), APIError::Kind::invalidURL);
            QCOMPARE(error->description(), QStringLiteral("Invalid URL configuration."));
            QCOMPARE(server.requestCount(), 0);
        }
    }

    // A redirect to another origin is not followed, so the token never leaves for another host.
    void noRedirectToAnotherOrigin() {
        Rig rig;
        FakeHttpServer elsewhere;
        elsewhere.setFallback(happyAnswer);
        FakeHttpServer::Response redirect = FakeHttpServer::Response::empty(302);
        redirect.headers.append(
            {"Location", elsewhere.baseUrl().toString().toUtf8() + "/api/v2/team/9001/time_entries"});
        rig.server.route("GET", apiPath(team + "/time_entries"), redirect);

        const auto outcome = awaitTask(call(rig.service, "entries"));
        const auto error = outcome.errorAs<APIError>();
        QVERIFY2(error.has_value(), qPrintable(outcome.errorDescription()));
        QCOMPARE(error->kind(), APIError::Kind::networkError);
        QCOMPARE(elsewhere.requestCount(), 0);
    }

    // Neither the token nor any part of it reaches the log, also with debug logging on.
    void tokenStaysOutOfTheLog() {
        LogCapture log(LogCapture::Verbosity::debug);

        Rig rig;
        rig.server.route("POST", apiPath(team + "/time_entries"),
                         FakeHttpServer::Response::json("broken", 200));
        for (const QString& operation : operations) {
            awaitTask(call(rig.service, operation));
        }
        const QStringList lines = log.lines();

        for (const QString& line : std::as_const(lines)) {
            QVERIFY2(!line.contains(token.left(6)), qPrintable(line));
        }
        QVERIFY(lines.contains(QStringLiteral("[Timer] Token found: <redacted>")));
        QVERIFY(lines.contains(QStringLiteral("[Timer] Raw JSON was: broken")));
    }
};

PENDLOW_TEST_MAIN(ClickUpAPIServiceTest)
#include "tst_ClickUpAPIService.moc"
