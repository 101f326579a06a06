#include "FakeToolsAPI.h"

#include "support/TestData.h"

#include <QCoreApplication>
#include <QCoroSignal>
#include <QCoroTimer>
#include <QPointer>

#include <stdexcept>
#include <utility>

namespace {
// The planning with its texts copied onto the heap: tests fill the fake with literals.
PersonalPlanning answered(const PersonalPlanning& planning) {
    PersonalPlanning copy;
    for (PlanningTask task : planning.tasks) {
        task.name = onHeap(task.name);
        task.clickUpTaskId = onHeap(task.clickUpTaskId);
        task.status = onHeap(task.status);
        copy.tasks.append(task);
    }
    if (planning.serverVersion) {
        copy.serverVersion = onHeap(*planning.serverVersion);
    }
    return copy;
}
} // namespace

FakeToolsAPI::FakeToolsAPI(QObject* parent)
    : QObject(parent) {}

FakeToolsAPI::~FakeToolsAPI() {
    m_closing = true;
    if (std::exchange(m_held, false)) {
        emit released();
    }
    // Waiting calls resume through queued calls on this object: deliver them while it still exists.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
}

void FakeToolsAPI::release() {
    m_held = false;
    emit released();
}

QCoro::Task<PersonalPlanning> FakeToolsAPI::getPersonalPlanning() {
    ++m_calls;
    QPointer<FakeToolsAPI> self(this);
    while (m_held) {
        ++m_waiting;
        co_await qCoro(this, &FakeToolsAPI::released);
        if (!self || m_closing) {
            throw std::runtime_error("client destroyed");
        }
        --m_waiting;
    }
    if (delay.count() > 0) {
        co_await QCoro::sleepFor(delay);
        if (!self) {
            throw std::runtime_error("client destroyed");
        }
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
    co_return answered(planning);
}
