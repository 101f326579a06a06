// The popover's e-mail forward over a fake forwarding service: the text and outcome it reports for
// every kind of reply, which task addresses it opens (later, through the page opener) and which it
// refuses, its log lines, and a forwarder gone before the reply or the opening.
#include "support/LogCapture.h"
#include "support/TaskAwait.h"
#include "support/TestData.h"
#include "support/TestMain.h"

#include "services/forwarding/EmailForwarder.h"
#include "services/forwarding/EmailForwardingError.h"
#include "services/forwarding/ForwardingClient.h"
#include <QCoroTimer>

#include <QSignalSpy>

#include <memory>

namespace {
// Forwarding that answers after a short wait with a set address or error.
class FakeForwarding : public ForwardingClient {
public:
    int calls = 0;
    std::optional<QString> taskUrl;
    std::exception_ptr error;

    bool isConfigured() const override { return true; }
    QCoro::Task<std::optional<QString>> forwardCurrentEmail() override {
        ++calls;
        co_await QCoro::sleepFor(std::chrono::milliseconds(20));
        if (error) {
            std::rethrow_exception(error);
        }
        co_return taskUrl;
    }
};

struct Opened {
    QUrl url;
    QString title;
};
} // namespace

class EmailForwarderTest : public QObject {
    Q_OBJECT

    FakeForwarding m_service;
    QList<Opened> m_opened;
    std::unique_ptr<EmailForwarder> m_forwarder;

private Q_SLOTS:
    void init() {
        m_service = FakeForwarding();
        m_opened.clear();
        m_forwarder = std::make_unique<EmailForwarder>([this](const QUrl& url, const QString& title) {
            m_opened.append({url, title});
        });
        m_forwarder->setService(&m_service);
    }

    void cleanup() { m_forwarder.reset(); }

    void outcomes_data() {
        QTest::addColumn<QString>("taskUrl"); // empty: none
        QTest::addColumn<bool>("fails");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("succeeded");
        QTest::addColumn<QString>("opened"); // empty: nothing opened
        QTest::addColumn<QString>("logLine");

        QTest::newRow("task created")
            << "https://app.clickup.com/t/86a" << false << "Email sent to n8n; opening the ClickUp task"
            << true << "https://app.clickup.com/t/86a"
            << "[API] 🌐 Opening ClickUp task in browser: https://app.clickup.com/t/86a";
        QTest::newRow("plain http task")
            << "http://clickup.example/t/1" << false << "Email sent to n8n; opening the ClickUp task" << true
            << "http://clickup.example/t/1"
            << "[API] 🌐 Opening ClickUp task in browser: http://clickup.example/t/1";
        QTest::newRow("no task") << "" << false << "Email sent to n8n" << true << ""
                                 << "[API] No task URL returned from n8n";
        QTest::newRow("script address") << "javascript:alert(1)" << false << "Email sent to n8n" << true << ""
                                        << "[API] Invalid task URL format";
        QTest::newRow("file address") << "file:///etc/passwd" << false << "Email sent to n8n" << true << ""
                                      << "[API] Invalid task URL format";
        QTest::newRow("other scheme with a host")
            << "ftp://files.example/t/1" << false << "Email sent to n8n" << true << ""
            << "[API] Invalid task URL format";
        QTest::newRow("no host") << "https:///t/1" << false << "Email sent to n8n" << true << ""
                                 << "[API] Invalid task URL format";
        QTest::newRow("failure") << "" << true << "n8n webhook error (HTTP 500)" << false << ""
                                 << "[API] Email forwarding failed: n8n webhook error (HTTP 500)";
    }

    void outcomes() {
        QFETCH(QString, taskUrl);
        QFETCH(bool, fails);
        QFETCH(QString, shown);
        QFETCH(bool, succeeded);
        QFETCH(QString, opened);
        QFETCH(QString, logLine);
        if (!taskUrl.isEmpty()) {
            m_service.taskUrl = onHeap(taskUrl);
        }
        if (fails) {
            m_service.error = std::make_exception_ptr(EmailForwardingError::httpError(500));
        }
        QSignalSpy finished(m_forwarder.get(), &EmailForwarder::finished);
        LogCapture log(LogCapture::Verbosity::debug);

        QVERIFY(awaitTask(m_forwarder->forwardCurrentEmail()).finished);

        QCOMPARE(m_service.calls, 1);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toString(), shown);
        QCOMPARE(finished.first().at(1).toBool(), succeeded);
        QVERIFY2(log.contains(logLine), qPrintable(log.lines().join(u'\n')));
        QCOMPARE(log.contains(QStringLiteral("[API] Email forwarded successfully to n8n")), succeeded);
        QVERIFY(m_opened.isEmpty()); // never at once
        if (opened.isEmpty()) {
            QTest::qWait(EmailForwarder::taskOpenDelayMs + 200);
            QVERIFY(m_opened.isEmpty());
        } else {
            QTRY_COMPARE(m_opened.size(), 1);
            QCOMPARE(m_opened.first().url, QUrl(opened));
            QCOMPARE(m_opened.first().title, QStringLiteral("ClickUp Task"));
        }
    }

    void withoutAServiceItSaysSo() {
        m_forwarder->setService(nullptr);
        QSignalSpy finished(m_forwarder.get(), &EmailForwarder::finished);
        QVERIFY(awaitTask(m_forwarder->forwardCurrentEmail()).finished);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(finished.first().at(0).toString(), EmailForwardingError::notConfigured().description());
        QCOMPARE(finished.first().at(1).toBool(), false);
    }

    // Gone while the webhook answers: nothing is reported; gone before the task opens: nothing opens.
    void aForwarderGoneReportsAndOpensNothing() {
        m_service.taskUrl = onHeap(u"https://app.clickup.com/t/86a");
        QCoro::Task<> running = m_forwarder->forwardCurrentEmail();
        m_forwarder.reset();
        QVERIFY(awaitTask(std::move(running)).finished);

        init();
        m_service.taskUrl = onHeap(u"https://app.clickup.com/t/86b");
        QVERIFY(awaitTask(m_forwarder->forwardCurrentEmail()).finished);
        m_forwarder.reset();
        QTest::qWait(EmailForwarder::taskOpenDelayMs + 200);
        QVERIFY(m_opened.isEmpty());
    }
};

PENDLOW_TEST_MAIN(EmailForwarderTest)
#include "tst_EmailForwarder.moc"
