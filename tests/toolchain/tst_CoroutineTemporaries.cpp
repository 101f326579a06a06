// The compiler's handling of temporaries in a co_await expression. GCC 12.2 (Debian 12's) destroys
// a braced temporary and the captures of a lambda made inside a co_await full-expression twice:
// every timer start released the task id's string once too often and the application crashed in
// malloc after a few starts. The code keeps such values in named locals, but a compiler that gets
// these shapes wrong must not build the project unnoticed: each case below counts constructions and
// destructions and checks that a string on the heap survives the calls.
#include "support/TestMain.h"

#include <QCoroTask>
#include <QCoroTimer>
#include <QJsonObject>
#include <QTest>
#include <QTimer>

#include <functional>
#include <optional>

namespace {

struct Lifetimes {
    int constructed = 0;
    int destroyed = 0;
};
Lifetimes lifetimes;

// Counts its lives in `lifetimes`.
struct Counted {
    Counted() { ++lifetimes.constructed; }
    Counted(const Counted&) { ++lifetimes.constructed; }
    Counted(Counted&&) noexcept { ++lifetimes.constructed; }
    Counted& operator=(const Counted&) = default;
    Counted& operator=(Counted&&) = default;
    ~Counted() { ++lifetimes.destroyed; }
};

// The shape of a request body: an aggregate made with braces, turned into JSON.
struct Body {
    QString tid;
    Counted counted;

    QJsonObject toJson() const { return QJsonObject{{QStringLiteral("tid"), tid}}; }
};

// Suspends for real, so that the caller's frame outlives the full-expression's first half.
QCoro::Task<> nextTurn() {
    QTimer timer;
    timer.setSingleShot(true);
    timer.start(1);
    co_await timer;
}

QCoro::Task<QString> send(QString token, std::optional<QJsonObject> body) {
    co_await nextTurn();
    co_return token + QLatin1Char(':') + (body ? body->value(QStringLiteral("tid")).toString() : QString());
}

QCoro::Task<QString> sendBraced(QString taskId) {
    co_await nextTurn();
    const QString token = QString::number(7);
    // Deliberately the shape the code avoids: the braced body inside the co_await.
    co_return co_await send(token, Body{taskId, Counted()}.toJson());
}

QCoro::Task<QString> runLater(std::function<QString()> work) {
    co_await nextTurn();
    co_return work();
}

QCoro::Task<QString> sendCaptured(QString taskId) {
    co_await nextTurn();
    // Deliberately the shape the code avoids: a capturing lambda inside the co_await.
    co_return co_await runLater([taskId, counted = Counted()] { return taskId; });
}

QCoro::Task<QString> readResultMember(QString taskId) {
    co_await nextTurn();
    // A member read straight off the awaited result.
    co_return (co_await send(taskId, std::nullopt)).section(QLatin1Char(':'), 0, 0);
}

// The task id as a decoded value would be: its own characters on the heap.
QString heapTaskId() {
    return QString::fromUtf8(QByteArray("86c0a1b2c3"));
}

} // namespace

class CoroutineTemporariesTest : public QObject {
    Q_OBJECT

private slots:
    void init() { lifetimes = {}; }

    void bracedTemporaryLivesOnce() {
        const QString taskId = heapTaskId();
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(QCoro::waitFor(sendBraced(taskId)), QStringLiteral("7:86c0a1b2c3"));
        }
        QCOMPARE(lifetimes.constructed, 5);
        QCOMPARE(lifetimes.destroyed, lifetimes.constructed);
        QCOMPARE(taskId, QStringLiteral("86c0a1b2c3"));
        QVERIFY(taskId.isDetached());
    }

    void lambdaCapturesLiveOnce() {
        const QString taskId = heapTaskId();
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(QCoro::waitFor(sendCaptured(taskId)), taskId);
        }
        QVERIFY(lifetimes.constructed >= 5);
        QCOMPARE(lifetimes.destroyed, lifetimes.constructed);
        QCOMPARE(taskId, QStringLiteral("86c0a1b2c3"));
        QVERIFY(taskId.isDetached());
    }

    void awaitedResultLivesOnce() {
        const QString taskId = heapTaskId();
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(QCoro::waitFor(readResultMember(taskId)), taskId);
        }
        QCOMPARE(taskId, QStringLiteral("86c0a1b2c3"));
        QVERIFY(taskId.isDetached());
    }
};

PENDLOW_TEST_MAIN(CoroutineTemporariesTest)
#include "tst_CoroutineTemporaries.moc"
