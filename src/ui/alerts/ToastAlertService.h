#pragma once

#include "services/alerts/ToastAlerts.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class AlertWindow;
class FloatingAlerts;

// The two toasts at the top right of the primary screen: the no-timer toast (360 x 80, with the
// snooze menu) and the active-timer toast (320 x 70). Each closes itself after the seconds it was
// shown for (a value below 1 keeps the no-timer toast until it is dismissed). A hidden toast is
// closed and freed cleanupDelayMs after the last hiding.
//
// The no-timer toast's snooze menu posts AlertHub::dismissToastAlert; on it the service hides the
// no-timer toast, closes the floating panel and, for a duration above 0, hands the duration to the
// callback set with setOnDismissWithDuration. The active-timer toast is not touched by it. A click
// elsewhere on the no-timer toast hides it and opens the popover (AlertHub::openPopoverRequested).
class ToastAlertService : public QObject, public ToastAlerts {
    Q_OBJECT

public:
    static constexpr int cleanupDelayMs = 1000;

    explicit ToastAlertService(QObject* parent = nullptr);
    ~ToastAlertService() override;

    static ToastAlertService& shared();

    void showToast(int autoDismissSeconds) override;
    void dismissToast() override;
    void showActiveTimerToast(const QString& taskName, const QString& elapsedText,
                              int autoDismissSeconds) override;
    void dismissActiveTimerToast();
    void setOnDismissWithDuration(std::function<void(double seconds)> callback) override;

    // The panel that a snooze in the toast also closes (the application sets it).
    void setFloatingAlertService(FloatingAlerts* service) { m_floatingAlerts = service; }

    // What is on screen, for callers that need to know and for tests.
    AlertWindow* toastWindow() const { return m_toastWindow; }
    AlertWindow* activeTimerWindow() const { return m_activeTimerWindow; }
    int windowsAwaitingCleanup() const { return int(m_windowsToCleanup.size()); }

private:
    void handleDismissToastAlert(double duration);
    void hide(QPointer<AlertWindow>& window, QTimer& dismissTimer);
    void scheduleCleanup();
    void performCleanup();

    QPointer<AlertWindow> m_toastWindow;
    QTimer m_dismissTimer;
    QList<QPointer<AlertWindow>> m_windowsToCleanup;
    QTimer m_cleanupTimer;
    std::function<void(double)> m_onDismissWithDuration;
    QPointer<AlertWindow> m_activeTimerWindow;
    QTimer m_activeTimerDismissTimer;
    FloatingAlerts* m_floatingAlerts = nullptr;
};
