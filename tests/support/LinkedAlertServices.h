#pragma once

#include "ui/alerts/FloatingAlertService.h"
#include "ui/alerts/ToastAlertService.h"

// A toast service and a floating-panel service of their own that know each other, so that a snooze
// in either closes the other's window (and the process-wide ones stay out of the test).
class LinkedAlertServices {
public:
    LinkedAlertServices() {
        toasts.setFloatingAlertService(&panels);
        panels.setToastAlertService(&toasts);
    }

    // Declared in this order so that the toasts go first.
    FloatingAlertService panels;
    ToastAlertService toasts;
};
