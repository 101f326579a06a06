#pragma once

#include <QString>

#include <functional>

// The toast windows at the top right of the screen, as the timer state and the application use them.
class ToastAlerts {
public:
    virtual ~ToastAlerts() = default;

    // The no-timer toast; closes itself after the seconds given, a value below 1 keeps it open.
    virtual void showToast(int autoDismissSeconds) = 0;
    virtual void showActiveTimerToast(const QString& taskName, const QString& elapsedText,
                                      int autoDismissSeconds) = 0;
    virtual void dismissToast() = 0;
    // Called with the snooze duration (seconds) the user chose on the no-timer toast.
    virtual void setOnDismissWithDuration(std::function<void(double seconds)> callback) = 0;
};
