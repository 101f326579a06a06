#pragma once

#include <QDateTime>

#include <functional>

// The one place the application asks for the current time.
// Production code reads Clock::now(); tests replace the source to pin or advance time.
class Clock {
public:
    using Source = std::function<QDateTime()>;

    // The current local date and time.
    static QDateTime now();
    // The current time as milliseconds since 1970-01-01 UTC.
    static qint64 nowMSecs();

    // Replaces the time source; an empty source restores the system clock.
    static void setSource(Source source);
};
