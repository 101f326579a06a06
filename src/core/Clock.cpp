#include "core/Clock.h"

namespace {
Clock::Source& source() {
    static Clock::Source instance;
    return instance;
}
} // namespace

QDateTime Clock::now() {
    const Source& current = source();
    return current ? current() : QDateTime::currentDateTime();
}

qint64 Clock::nowMSecs() {
    return now().toMSecsSinceEpoch();
}

void Clock::setSource(Source newSource) {
    source() = std::move(newSource);
}
