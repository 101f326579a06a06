// A task started by a button runs on by itself; what it throws, even after it has waited, ends up in
// the log instead of vanishing with the task.
#include "support/LogCapture.h"
#include "support/TestMain.h"

#include "core/DetachedTask.h"

#include <QCoroTimer>

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
};

PENDLOW_TEST_MAIN(DetachedTaskTest)
#include "tst_DetachedTask.moc"
