#pragma once

#include <functional>

// The floating no-timer panel, as the timer state and the popover use it.
class FloatingAlerts {
public:
    virtual ~FloatingAlerts() = default;

    // Replaces any panel still shown. onStart runs for the panel's start button, onDismiss with the
    // snooze seconds the user chose. With autoDismissSeconds >= 1 the panel closes itself after that.
    virtual void showAlert(int autoDismissSeconds, std::function<void()> onStart,
                           std::function<void(double seconds)> onDismiss) = 0;
    virtual void dismissAlert() = 0;
};
