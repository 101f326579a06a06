#pragma once

#include "services/alerts/ToastAlerts.h"

#include <QList>

// Records what the toast service was asked to show and dismiss; keeps the snooze callback so a
// test can play the user's choice.
class FakeToastAlertService : public ToastAlerts {
public:
    struct ActiveTimerToast {
        QString taskName;
        QString elapsedText;
        int autoDismissSeconds = 0;
    };

    void showToast(int autoDismissSeconds) override { toasts.append(autoDismissSeconds); }
    void showActiveTimerToast(const QString& taskName, const QString& elapsedText,
                              int autoDismissSeconds) override {
        activeTimerToasts.append({taskName, elapsedText, autoDismissSeconds});
    }
    void dismissToast() override { ++dismissCount; }
    void setOnDismissWithDuration(std::function<void(double seconds)> callback) override {
        onDismissWithDuration = std::move(callback);
    }

    // Auto-dismiss seconds of each no-timer toast shown.
    QList<int> toasts;
    QList<ActiveTimerToast> activeTimerToasts;
    int dismissCount = 0;
    std::function<void(double)> onDismissWithDuration;
};
