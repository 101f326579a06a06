#pragma once

#include <QCoroTask>
#include <QDateTime>
#include <QString>

// Desktop notifications as the timer state and the application use them.
// None of the operations fails towards the caller: failures are printed and go no further.
class Notifier {
public:
    virtual ~Notifier() = default;

    // Whether notifications can be shown; asked once after launch.
    virtual QCoro::Task<bool> requestPermission() = 0;
    // The no-timer warning; a newer one replaces the older one.
    virtual QCoro::Task<> sendNoTimerWarning() = 0;
    virtual QCoro::Task<> sendTimerStarted(QString taskName) = 0;
    virtual QCoro::Task<> sendTimerStopped(QString durationText) = 0;
    virtual QCoro::Task<> sendSilentModeActivated(QDateTime endDate) = 0;
    // Withdraws a shown or pending no-timer warning.
    virtual QCoro::Task<> removeNoTimerWarning() = 0;
};
