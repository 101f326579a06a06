#pragma once

#include "core/Clock.h"

#include <QDateTime>

// Pins Clock::now() to a chosen moment while it lives; restores the system clock after.
class FakeClock {
public:
    explicit FakeClock(const QDateTime& start);
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    QDateTime now() const { return m_now; }
    void set(const QDateTime& moment) { m_now = moment; }
    void advance(qint64 seconds) { m_now = m_now.addSecs(seconds); }
    void advanceMSecs(qint64 milliseconds) { m_now = m_now.addMSecs(milliseconds); }

private:
    QDateTime m_now;
};
