// Checks the test helpers themselves: the loopback HTTP server, task awaiting, the fake clock and
// the texts made on the heap.
#include "FakeClock.h"
#include "FakeHttpServer.h"
#include "TaskAwait.h"
#include "TestData.h"
#include "TestMain.h"

#include <QCoroNetworkReply>
#include <QCoroTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QStandardPaths>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define PENDLOW_TEST_ASAN 1
#endif
#endif

namespace {
struct Reply {
    int status = 0;
    int error = 0;
    QByteArray body;
};

QCoro::Task<Reply> send(QNetworkAccessManager& manager, QNetworkRequest request, QByteArray method,
                        QByteArray body = {}) {
    std::unique_ptr<QNetworkReply> reply(manager.sendCustomRequest(request, method, body));
    co_await reply.get();
    co_return Reply{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->error(),
                    reply->readAll()};
}

class Failure : public Error {
public:
    QString description() const override { return QStringLiteral("it failed"); }
};

QCoro::Task<int> failLater() {
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(10);
    co_await timer;
    throw Failure();
}
} // namespace

class TestRig : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serverAnswersRoutesAndRecordsRequests() {
        FakeHttpServer server;
        server.route("POST", "/team/7/time_entries/start",
                     FakeHttpServer::Response::json(R"({"data":{}})", 201));
        QNetworkAccessManager manager;
        QNetworkRequest request(server.baseUrl().resolved(QUrl("/team/7/time_entries/start?x=1")));
        request.setRawHeader("Authorization", "tok");
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
        const auto outcome = awaitTask(send(manager, request, "POST", R"({"tid":"abc"})"));
        QVERIFY(outcome.finished && !outcome.failed());
        QCOMPARE(outcome.value->status, 201);
        QCOMPARE(outcome.value->body, QByteArray(R"({"data":{}})"));
        QCOMPARE(server.requestCount(), 1);
        const auto recorded = server.requests().first();
        QCOMPARE(recorded.method, QByteArray("POST"));
        QCOMPARE(recorded.path, QStringLiteral("/team/7/time_entries/start"));
        QCOMPARE(recorded.query.queryItemValue("x"), QStringLiteral("1"));
        QCOMPARE(recorded.header("authorization"), QByteArray("tok"));
        QCOMPARE(recorded.jsonBody().value("tid").toString(), QStringLiteral("abc"));
    }

    void unmatchedRequestsGet404() {
        FakeHttpServer server;
        QNetworkAccessManager manager;
        const auto outcome =
            awaitTask(send(manager, QNetworkRequest(server.baseUrl().resolved(QUrl("/nope"))), "GET"));
        QCOMPARE(outcome.value->status, 404);
    }

    void hangingRouteTimesOutTheClient() {
        FakeHttpServer server;
        FakeHttpServer::Response hang;
        hang.hang = true;
        server.route("GET", "/slow", hang);
        QNetworkAccessManager manager;
        QNetworkRequest request(server.baseUrl().resolved(QUrl("/slow")));
        request.setTransferTimeout(200);
        const auto outcome = awaitTask(send(manager, request, "GET"));
        QCOMPARE(outcome.value->error, int(QNetworkReply::OperationCanceledError));
    }

    void awaitTaskKeepsTheException() {
        const auto outcome = awaitTask(failLater());
        QVERIFY(outcome.finished);
        QVERIFY(outcome.failed());
        QCOMPARE(outcome.errorDescription(), QStringLiteral("it failed"));
        QVERIFY(outcome.errorAs<Failure>().has_value());
    }

    void fakeClockPinsNowAndRestores() {
        const QDateTime pinned(QDate(2026, 3, 2), QTime(8, 59));
        {
            FakeClock clock(pinned);
            QCOMPARE(Clock::now(), pinned);
            clock.advance(60);
            QCOMPARE(Clock::now(), pinned.addSecs(60));
        }
        QVERIFY(qAbs(Clock::now().secsTo(QDateTime::currentDateTime())) < 5);
    }

    void onHeapGivesATextOfItsOwn() {
        QString copy;
        {
            const QString literal = QStringLiteral("task-4711");
            copy = onHeap(literal);
            QVERIFY(copy.constData() != literal.constData());
            // The literal's data is static (no header, never freed); the copy owns an allocated block
            // that no other string shares.
            QVERIFY(!literal.data_ptr().isMutable());
            QVERIFY(copy.data_ptr().isMutable());
            QVERIFY(copy.isDetached());
#ifdef PENDLOW_TEST_ASAN
            QVERIFY(__sanitizer_get_ownership(copy.data_ptr().d_ptr()));
#endif
        }
        QCOMPARE(copy, QStringLiteral("task-4711"));

        // Nor does it share the memory of a text that is not a literal.
        QString fromBuffer;
        {
            char16_t buffer[] = u"team-9001";
            fromBuffer = onHeap(buffer);
            buffer[0] = u'X';
        }
        QCOMPARE(fromBuffer, QStringLiteral("team-9001"));
    }

    void eachTestProcessHasItsOwnFolders() {
        QVERIFY(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                    .contains("pendlow-test-"));
    }
};

PENDLOW_TEST_MAIN(TestRig)
#include "tst_TestRig.moc"
