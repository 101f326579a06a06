#pragma once

#include "services/alerts/FloatingAlerts.h"

#include <QList>

// Records the floating panels asked for and their dismissals; keeps the last panel's callbacks so a
// test can press its buttons.
class FakeFloatingAlertService : public FloatingAlerts {
public:
    void showAlert(int autoDismissSeconds, std::function<void()> onStart,
                   std::function<void(double seconds)> onDismiss) override {
        panels.append(autoDismissSeconds);
        lastOnStart = std::move(onStart);
        lastOnDismiss = std::move(onDismiss);
    }
    void dismissAlert() override { ++dismissCount; }

    // Auto-dismiss seconds of each panel shown.
    QList<int> panels;
    int dismissCount = 0;
    std::function<void()> lastOnStart;
    std::function<void(double)> lastOnDismiss;
};
