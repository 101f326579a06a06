#pragma once

#include "services/tools/ToolsClient.h"

#include <QObject>

#include <chrono>
#include <exception>

// A Tools web-service client for the tests of its consumers: answers with the planning it was
// given (its texts made on the heap), counts its calls, fails with a scripted error, can take its
// time and can hold its calls until released.
class FakeToolsAPI : public QObject, public ToolsClient {
    Q_OBJECT

public:
    explicit FakeToolsAPI(QObject* parent = nullptr);
    // A held call fails as a closed client's would, so that no caller waits on for good.
    ~FakeToolsAPI() override;

    QCoro::Task<PersonalPlanning> getPersonalPlanning() override;

    // What the server holds.
    PersonalPlanning planning;
    // While set, every call throws it (after its hold and delay, if any).
    std::exception_ptr failure;
    // How long each call takes after its hold, if any.
    std::chrono::milliseconds delay{0};

    int calls() const { return m_calls; }
    // Calls wait (counted already) until release().
    void hold() { m_held = true; }
    void release();
    int waiting() const { return m_waiting; }

Q_SIGNALS:
    void released();

private:
    int m_calls = 0;
    int m_waiting = 0;
    bool m_held = false;
    bool m_closing = false;
};
