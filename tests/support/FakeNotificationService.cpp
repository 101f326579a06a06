#include "FakeNotificationService.h"

QCoro::Task<bool> FakeNotificationService::requestPermission() {
    events.append(QStringLiteral("permission"));
    co_return permissionGranted;
}

QCoro::Task<> FakeNotificationService::sendNoTimerWarning() {
    events.append(QStringLiteral("noTimerWarning"));
    co_return;
}

QCoro::Task<> FakeNotificationService::sendTimerStarted(QString taskName) {
    events.append(QStringLiteral("timerStarted:") + taskName);
    co_return;
}

QCoro::Task<> FakeNotificationService::sendTimerStopped(QString durationText) {
    events.append(QStringLiteral("timerStopped:") + durationText);
    co_return;
}

QCoro::Task<> FakeNotificationService::sendSilentModeActivated(QDateTime endDate) {
    events.append(QStringLiteral("silentMode:") + endDate.toString(Qt::ISODate));
    co_return;
}

QCoro::Task<> FakeNotificationService::removeNoTimerWarning() {
    events.append(QStringLiteral("removeNoTimerWarning"));
    co_return;
}

QStringList FakeNotificationService::eventsStartingWith(const QString& prefix) const {
    QStringList matching;
    for (const QString& event : events) {
        if (event.startsWith(prefix)) {
            matching.append(event);
        }
    }
    return matching;
}
