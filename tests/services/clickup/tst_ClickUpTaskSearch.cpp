// The task search: matching, the status filter and the limit, the per-team cache and its lifetime,
// the five task pages gathered in page order however they come back, and the diagnostic lines.
#include "support/FakeClock.h"
#include "support/FakeHttpServer.h"
#include "support/InMemoryKeychain.h"
#include "support/OutputCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "platform/KeychainItem.h"
#include "services/clickup/APIError.h"
#include "services/clickup/ClickUpAPIService.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <chrono>

using namespace std::chrono_literals;

namespace {
const QString team = onHeap(u"9001");
const QDateTime start(QDate(2026, 3, 2), QTime(9, 0));

QJsonObject task(const QString& id, const QString& name, const QString& status = {},
                 const QString& parent = {}) {
    QJsonObject json{{"id", id}, {"name", name}};
    if (!status.isEmpty()) {
        json.insert("status", QJsonObject{{"status", status}, {"color", "#d3d3d3"}});
    }
    if (!parent.isEmpty()) {
        json.insert("parent", parent);
    }
    return json;
}

QByteArray page(const QJsonArray& tasks) {
    return QJsonDocument(QJsonObject{{"tasks", tasks}}).toJson(QJsonDocument::Compact);
}

// One team's listing as the test server serves it, page by page.
struct PageAnswer {
    QByteArray body = page({});
    int status = 200;
    int delayMs = 0;
    bool hang = false;
};

QString pageNumber(const FakeHttpServer::Request& request) {
    return request.query.queryItemValue(QStringLiteral("page"));
}

struct Rig {
    FakeClock clock{start};
    FakeHttpServer server;
    InMemoryKeychain keychain;
    ClickUpAPIService service{keychain, server.baseUrl()};
    QList<PageAnswer> pages = QList<PageAnswer>(ClickUpAPIService::taskPageCount);

    Rig() {
        keychain.putItem(KeychainItem::clickUpAPIToken, onHeap(u"pk_1_TOKEN"));
        server.setFallback([this](const FakeHttpServer::Request& request) {
            const PageAnswer answer = pages.value(pageNumber(request).toInt());
            FakeHttpServer::Response response = FakeHttpServer::Response::json(answer.body, answer.status);
            response.delayMs = answer.delayMs;
            response.hang = answer.hang;
            return response;
        });
    }

    // How many times the team's listing was fetched: each fetch asks for page 0 once.
    int fetches(const QString& teamId = team) const {
        int count = 0;
        for (const auto& request :
             server.requests("GET", QStringLiteral("/team/") + teamId + QStringLiteral("/task"))) {
            count += pageNumber(request) == QLatin1String("0") ? 1 : 0;
        }
        return count;
    }

    TaskOutcome<QList<ClickUpSearchResult>> search(const QString& query, int limit = 20,
                                                   const QString& teamId = team) {
        return awaitTask(service.searchTasks(teamId, query, limit));
    }
};

QString idsOf(const QList<ClickUpSearchResult>& results) {
    QStringList ids;
    for (const ClickUpSearchResult& result : results) {
        ids.append(result.id);
    }
    return ids.join(u',');
}

// A fixed listing on page 0: statuses of every kind, a task without status and a subtask.
QByteArray mixedPage() {
    return page({
        task("86abc", "Write Quarterly Report", "in progress"),
        task("86def", "report review", "Closed"),
        task("REP-9", "Plan sprint", "open"),
        task("86ghi", "Archive old reports", "ARCHIVED"),
        task("86jkl", "Reporting backlog", "BackLog"),
        task("86mno", "Report card"),
        task("86pqr", "Reports not closed", "not closed"),
        task("86stu", "Subtask report", "to do", "86abc"),
    });
}
} // namespace

class ClickUpTaskSearchTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void matching_data() {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("ids");

        QTest::newRow("upper-case query, closed/archived/backlog dropped")
            << "REPORT" << 20 << "86abc,86mno,86pqr,86stu";
        QTest::newRow("name or id, in listing order") << "rep" << 20 << "86abc,REP-9,86mno,86pqr,86stu";
        QTest::newRow("id only") << "86A" << 20 << "86abc";
        QTest::newRow("one space matches names with spaces") << " " << 500 << "86abc,REP-9,86mno,86pqr,86stu";
        QTest::newRow("limit 1 of several") << "report" << 1 << "86abc";
        QTest::newRow("limit 0") << "report" << 0 << "";
        QTest::newRow("negative limit") << "report" << -3 << "";
        QTest::newRow("no match") << "invoice" << 20 << "";
        QTest::newRow("only hidden tasks match") << "archive" << 20 << "";
    }

    void matching() {
        QFETCH(QString, query);
        QFETCH(int, limit);
        QFETCH(QString, ids);

        Rig rig;
        rig.pages[0].body = mixedPage();
        const auto outcome = rig.search(query, limit);
        QVERIFY2(outcome.finished && !outcome.failed(), qPrintable(outcome.errorDescription()));
        QCOMPARE(idsOf(*outcome.value), ids);
    }

    void emptyQueryAsksNothing() {
        Rig rig;
        const auto outcome = rig.search(QString());
        QVERIFY(outcome.finished && !outcome.failed());
        QVERIFY(outcome.value->isEmpty());
        QCOMPARE(rig.server.requestCount(), 0);
    }

    // A team's listing serves searches for 300 seconds (300 itself included); a clock set back does
    // not keep it.
    void cacheLifetime_data() {
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("fetchesAgain");
        QTest::addColumn<QString>("line");

        QTest::newRow("at once") << 0 << false << "🚀 Using cached tasks (1 tasks, age: 0s)";
        QTest::newRow("299 s") << 299 << false << "🚀 Using cached tasks (1 tasks, age: 299s)";
        QTest::newRow("300 s") << 300 << false << "🚀 Using cached tasks (1 tasks, age: 300s)";
        QTest::newRow("301 s") << 301 << true << "📥 Fetching tasks from API (cache stale)...";
        QTest::newRow("clock set back") << -60 << true << "📥 Fetching tasks from API (cache stale)...";
    }

    void cacheLifetime() {
        QFETCH(int, ageSeconds);
        QFETCH(bool, fetchesAgain);
        QFETCH(QString, line);

        Rig rig;
        rig.pages[0].body = page({task("t1", "Report")});
        QVERIFY(!rig.search("rep").failed());
        QCOMPARE(rig.fetches(), 1);

        rig.clock.advance(ageSeconds);
        OutputCapture output;
        const auto outcome = rig.search("rep");
        const QStringList lines = output.text().split(u'\n');
        QVERIFY(!outcome.failed());
        QCOMPARE(idsOf(*outcome.value), QStringLiteral("t1"));
        QCOMPARE(rig.fetches(), fetchesAgain ? 2 : 1);
        QVERIFY2(lines.contains(line), qPrintable(lines.join(u'\n')));
    }

    // An empty listing is cached like any other.
    void emptyTeamIsCachedToo() {
        Rig rig;
        QVERIFY(rig.search("rep").value->isEmpty());
        rig.clock.advance(10);
        QVERIFY(rig.search("rep").value->isEmpty());
        QCOMPARE(rig.fetches(), 1);
    }

    void cacheIsPerTeam() {
        Rig rig;
        rig.pages[0].body = page({task("t1", "Report")});
        QVERIFY(!rig.search("rep").failed());
        QVERIFY(!rig.search("rep", 20, "other").failed());
        QVERIFY(!rig.search("rep").failed());
        QCOMPARE(rig.fetches(), 1);
        QCOMPARE(rig.fetches("other"), 1);
    }

    // A failed fetch stores nothing and keeps what was there: an empty cache stays empty, a stale
    // entry stays stale.
    void failedFetchLeavesTheCache() {
        Rig rig;
        rig.pages[0] = PageAnswer{"{\"err\":\"Token invalid\"}", 401};
        const auto failed = rig.search("rep");
        QVERIFY(failed.errorAs<APIError>() == APIError::httpError(401, QStringLiteral("Token invalid")));

        rig.pages[0] = PageAnswer{page({task("t1", "Report")})};
        {
            OutputCapture output;
            QVERIFY(!rig.search("rep").failed());
            QVERIFY(output.text().contains("📥 Fetching tasks from API (cache empty)...\n"));
        }

        rig.clock.advance(301);
        rig.pages[0].status = 500;
        QCOMPARE(rig.search("rep").errorAs<APIError>()->statusCode(), 500);

        rig.pages[0].status = 200;
        OutputCapture output;
        const auto outcome = rig.search("rep");
        QVERIFY(output.text().contains("📥 Fetching tasks from API (cache stale)...\n"));
        QCOMPARE(idsOf(*outcome.value), QStringLiteral("t1"));
        QCOMPARE(rig.fetches(), 4);
    }

    // The pages come back in any order; the listing is pages 0..k-1 where page k is the first empty
    // one, and a page still outstanding below an empty one is waited for.
    void pagesInPageOrder_data() {
        QTest::addColumn<QList<int>>("sizes"); // tasks per page; -1 fails with 500; -2 never answers
        QTest::addColumn<QList<int>>("delays");
        QTest::addColumn<QString>("expected"); // task ids, or "failed"

        QTest::newRow("all full, slowest first")
            << QList<int>{2, 2, 2, 2, 2} << QList<int>{400, 300, 200, 100, 0}
            << "p0-0,p0-1,p1-0,p1-1,p2-0,p2-1,p3-0,p3-1,p4-0,p4-1";
        QTest::newRow("empty page back before lower pages")
            << QList<int>{1, 1, 0, 0, 0} << QList<int>{300, 200, 0, 0, 0} << "p0-0,p1-0";
        QTest::newRow("higher pages back before the empty page")
            << QList<int>{1, 0, 2, 2, 2} << QList<int>{0, 300, 0, 0, 0} << "p0-0";
        QTest::newRow("first page empty") << QList<int>{0, 1, 1, 1, 1} << QList<int>{200, 0, 0, 0, 0} << "";
        QTest::newRow("failure after the listing ended is ignored")
            << QList<int>{1, 0, 1, -1, 1} << QList<int>{0, 0, 0, 400, 0} << "p0-0";
        QTest::newRow("failure while a lower page is out fails")
            << QList<int>{1, 1, -1, 0, 0} << QList<int>{300, 0, 0, 0, 0} << "failed";
        QTest::newRow("failure before the empty page is known fails")
            << QList<int>{1, 0, -1, 0, 0} << QList<int>{300, 300, 0, 0, 0} << "failed";
        QTest::newRow("silent pages beyond the end are not waited for")
            << QList<int>{1, 0, -2, -2, -2} << QList<int>{0, 0, 0, 0, 0} << "p0-0";
    }

    void pagesInPageOrder() {
        QFETCH(QList<int>, sizes);
        QFETCH(QList<int>, delays);
        QFETCH(QString, expected);

        Rig rig;
        rig.service.setTransferTimeout(5s);
        for (int number = 0; number < sizes.size(); ++number) {
            QJsonArray tasks;
            for (int i = 0; i < sizes[number]; ++i) {
                const QString id = QStringLiteral("p%1-%2").arg(number).arg(i);
                tasks.append(task(id, QStringLiteral("Task ") + id));
            }
            rig.pages[number] =
                PageAnswer{page(tasks), sizes[number] == -1 ? 500 : 200, delays[number], sizes[number] == -2};
        }
        QElapsedTimer elapsed;
        elapsed.start();
        const auto outcome = rig.search("task", 500);
        QVERIFY(outcome.finished);
        QVERIFY(elapsed.elapsed() < 2000);
        if (expected == QLatin1String("failed")) {
            QCOMPARE(outcome.errorAs<APIError>()->statusCode(), 500);
        } else {
            QVERIFY2(!outcome.failed(), qPrintable(outcome.errorDescription()));
            QCOMPARE(idsOf(*outcome.value), expected);
        }
    }

    // The diagnostic lines on standard output, headlines word for word.
    void diagnosticLines() {
        Rig rig;
        rig.pages[0].body = page({task("86a", "Report", "closed"), task("86b", "Sub report", "open", "86x")});
        rig.pages[1].body = page({task("86c", "Report draft")});

        QStringList lines;
        {
            OutputCapture output;
            QVERIFY(!rig.search("REPORT").failed());
            lines = output.text().split(u'\n');
        }
        const QStringList headlines{
            "📥 Fetching tasks from API (cache empty)...",
            "  📄 Page 0: 2 tasks",
            "  📄 Page 1: 1 tasks",
            "  📄 Page 2: 0 tasks",
            "  ✅ Total: 3 tasks from 3 pages",
            "💾 Cached 3 tasks for future searches",
            "🔍 Query: 'REPORT'",
            "📊 Found 1 tasks that ARE subtasks (have parent field):",
            "📋 Found 3 tasks matching query 'REPORT':",
            "🔎 Query matched 3 tasks",
            "⚠️ Filtered out 1 tasks due to status (closed/archived/backlog)",
            "✅ Returning 2 filtered results",
        };
        for (const QString& headline : headlines) {
            QVERIFY2(lines.contains(headline), qPrintable(headline + "\n---\n" + lines.join(u'\n')));
        }
        QVERIFY(std::any_of(lines.cbegin(), lines.cend(), [](const QString& line) {
            return QRegularExpression(QStringLiteral("^⏱️  Fetch took \\d+\\.\\d\\dms$"))
                .match(line)
                .hasMatch();
        }));

        rig.clock.advance(42);
        OutputCapture output;
        QVERIFY(!rig.search("draft").failed());
        QVERIFY(output.text().startsWith("🚀 Using cached tasks (3 tasks, age: 42s)\n"));
    }
};

PENDLOW_TEST_MAIN(ClickUpTaskSearchTest)
#include "tst_ClickUpTaskSearch.moc"
