#include "FakeClock.h"

FakeClock::FakeClock(const QDateTime& start)
    : m_now(start) {
    Clock::setSource([this] { return m_now; });
}

FakeClock::~FakeClock() {
    Clock::setSource({});
}
