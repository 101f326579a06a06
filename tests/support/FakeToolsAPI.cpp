#include "FakeToolsAPI.h"

#include <QCoroSignal>
#include <QCoroTimer>
#include <QPointer>

#include <stdexcept>

FakeToolsAPI::FakeToolsAPI(QObject* parent)
    : QObject(parent) {}

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
        if (!self) {
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
    co_return PersonalPlanning(planning);
}
