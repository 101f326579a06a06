#pragma once

#include "services/alerts/FloatingAlerts.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

class AlertWindow;
class NoTimerAlertView;
class ToastAlerts;

// The floating no-timer panel (380 x 200), centred horizontally near the bottom of the primary
// screen. It never takes the focus and can be dragged by its background. It closes itself after the
// seconds it was shown for (a value below 1 keeps it until it is closed). A reminder that comes while
// the panel is shown keeps that panel, where it is and with any open menu, and restarts its time with
// the new reminder's seconds and callbacks.
//
// "Open Timer" runs the caller's start callback, closes the panel and then emits
// AlertHub::openPopoverRequested, so the popover opens whatever the caller passed. A "Dismiss"
// choice closes the panel, hides the no-timer toast and runs the caller's dismiss callback with the
// chosen seconds (900, 3600, 14400 or 86400).
class FloatingAlertService : public QObject, public FloatingAlerts {
    Q_OBJECT

public:
    explicit FloatingAlertService(QObject* parent = nullptr);
    ~FloatingAlertService() override;

    static FloatingAlertService& shared();

    void showAlert(int autoDismissSeconds, std::function<void()> onStart,
                   std::function<void(double seconds)> onDismiss) override;
    void dismissAlert() override;

    // The toast that a snooze in the panel also hides (the application sets it).
    void setToastAlertService(ToastAlerts* service) { m_toastAlerts = service; }

    AlertWindow* alertPanel() const { return m_alertPanel; }

    // Holds the panel's pulse (while the screen is blanked or locked), for the open panel and those
    // shown later, until it is released.
    void setPulsePaused(bool paused);
    bool isPulsePaused() const { return m_pulsePaused; }

private:
    QPointer<AlertWindow> m_alertPanel;
    QPointer<NoTimerAlertView> m_alertView;
    QTimer m_dismissTimer;
    ToastAlerts* m_toastAlerts = nullptr;
    bool m_pulsePaused = false;
};
