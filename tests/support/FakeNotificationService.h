#pragma once

#include "services/alerts/Notifier.h"

#include <QStringList>

// Records the notifications asked for, as lines: "permission", "noTimerWarning",
// "timerStarted:<task name>", "timerStopped:<duration>", "silentMode:<end, ISO 8601>",
// "removeNoTimerWarning".
class FakeNotificationService : public Notifier {
public:
    QCoro::Task<bool> requestPermission() override;
    QCoro::Task<> sendNoTimerWarning() override;
    QCoro::Task<> sendTimerStarted(QString taskName) override;
    QCoro::Task<> sendTimerStopped(QString durationText) override;
    QCoro::Task<> sendSilentModeActivated(QDateTime endDate) override;
    QCoro::Task<> removeNoTimerWarning() override;

    QStringList events;
    bool permissionGranted = true;

    // The recorded lines that start with the prefix.
    QStringList eventsStartingWith(const QString& prefix) const;
};
