// A task started by a button runs on by itself; what it throws, even after it has waited, ends up in
// the log instead of vanishing with the task. A task whose outcome a view shows hands it over only while
// the view lives, its failure as the failure's text.
#include "support/LogCapture.h"
#include "support/TestMain.h"

#include "core/DetachedTask.h"

#include "core/PrivateFileError.h"

#include <QCoroTimer>
#include <QObject>

#include <memory>

#include <chrono>
#include <stdexcept>

namespace {
enum class Outcome { succeeds, throwsStandard, throwsOther };

QCoro::Task<> afterAWait(Outcome outcome, bool* finished) {
    co_await QCoro::sleepFor(std::chrono::milliseconds(20));
    *finished = true;
    if (outcome == Outcome::throwsStandard) {
        throw std::runtime_error("disk full");
    }
    if (outcome == Outcome::throwsOther) {
        throw 42;
    }
}
// A name built at run time (on the heap), handed back after a wait or thrown as a failure.
QCoro::Task<QString> nameAfterAWait(Outcome outcome, QString name) {
    co_await QCoro::sleepFor(std::chrono::milliseconds(20));
    if (outcome == Outcome::throwsStandard) {
        throw PrivateFileError(PrivateFileError::Kind::tooLarge, QStringLiteral("plan.json"));
    }
    if (outcome == Outcome::throwsOther) {
        throw 42;
    }
    co_return name;
}

// What a view was handed: the value, or the failure's text.
struct Handed {
    std::optional<QString> value;
    std::optional<QString> failure;
};
} // namespace

class DetachedTaskTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failuresAreLoggedOnce_data() {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QStringList>("logged");
        QTest::newRow("succeeds") << int(Outcome::succeeds) << QStringList();
        QTest::newRow("standard exception")
            << int(Outcome::throwsStandard)
            << QStringList{QStringLiteral("[Timer] Starting failed: disk full")};
        QTest::newRow("anything else")
            << int(Outcome::throwsOther) << QStringList{QStringLiteral("[Timer] Starting failed")};
    }

    void failuresAreLoggedOnce() {
        QFETCH(int, outcome);
        QFETCH(QStringList, logged);
        LogCapture log;
        bool finished = false;
        runDetached(afterAWait(Outcome(outcome), &finished), QStringLiteral("Starting failed"),
                    Log::Category::timer);
        // It returned before the task had run to its end.
        QVERIFY(!finished);
        QTRY_VERIFY(finished);
        QTRY_COMPARE(log.lines(Log::Level::error), logged);
        QCOMPARE(log.lines(), logged);
    }

    void whenDoneHandsTheOutcomeToALivingContext_data() {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<std::optional<QString>>("value");
        QTest::addColumn<std::optional<QString>>("failure");
        QTest::newRow("returns") << int(Outcome::succeeds) << std::optional(QStringLiteral("Inbox zero"))
                                 << std::optional<QString>();
        QTest::newRow("throws one of ours")
            << int(Outcome::throwsStandard) << std::optional<QString>()
            << std::optional(PrivateFileError(PrivateFileError::Kind::tooLarge, QStringLiteral("plan.json"))
                                 .description());
        QTest::newRow("throws anything else") << int(Outcome::throwsOther) << std::optional<QString>()
                                              << std::optional(Error::describe(std::make_exception_ptr(42)));
    }

    void whenDoneHandsTheOutcomeToALivingContext() {
        QFETCH(int, outcome);
        QFETCH(std::optional<QString>, value);
        QFETCH(std::optional<QString>, failure);
        QObject view;
        Handed handed;
        int calls = 0;
        whenDone(
            nameAfterAWait(Outcome(outcome), QStringLiteral("Inbox %1").arg(QStringLiteral("zero"))), &view,
            [&](QString name) {
                ++calls;
                handed.value = std::move(name);
            },
            [&](const QString& text) {
                ++calls;
                handed.failure = text;
            });
        QCOMPARE(calls, 0);
        QTRY_COMPARE(calls, 1);
        QCOMPARE(handed.value, value);
        QCOMPARE(handed.failure, failure);
        QVERIFY(!failure || !failure->isEmpty());
    }

    void whenDoneDropsTheOutcomeOnceTheContextIsGone_data() {
        QTest::addColumn<int>("outcome");
        QTest::newRow("returns") << int(Outcome::succeeds);
        QTest::newRow("throws") << int(Outcome::throwsStandard);
    }

    void whenDoneDropsTheOutcomeOnceTheContextIsGone() {
        QFETCH(int, outcome);
        LogCapture log;
        auto view = std::make_unique<QObject>();
        bool finished = false;
        int calls = 0;
        whenDone(
            afterAWait(Outcome(outcome), &finished), view.get(), [&] { ++calls; },
            [&](const QString&) { ++calls; });
        view.reset();
        QTRY_VERIFY(finished);
        QTest::qWait(20);
        QCOMPARE(calls, 0);
        QCOMPARE(log.lines(), QStringList());
    }
};

PENDLOW_TEST_MAIN(DetachedTaskTest)
#include "tst_DetachedTask.moc"
