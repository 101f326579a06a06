#pragma once

#include "ui/alerts/AlertCardView.h"

#include <functional>

class PulseIconView;
class QPushButton;
class QToolButton;
class SnoozeMenu;

// The floating panel's content: a pulsing warning icon, "No Timer Running", "Start tracking your
// time now!", the green "Open Timer" button and the "Dismiss" menu of snooze lengths. The button and
// the menu run their callbacks from the event loop, after the click has been handled. The icon pulses
// (PulseIconView) while the panel is on screen and the pulse is not paused.
class NoTimerAlertView : public AlertCardView {
    Q_OBJECT

public:
    NoTimerAlertView(std::function<void()> onStartTimer, std::function<void(double seconds)> onDismiss,
                     QWidget* parent = nullptr);

    // Replaces the callbacks (a new reminder taking over the shown panel); an open menu stays open.
    void setCallbacks(std::function<void()> onStartTimer, std::function<void(double seconds)> onDismiss);

    bool isPulsing() const;
    // 0 at rest, 1 at the widest point of the pulse.
    qreal pulse() const;
    // Holds the pulse (while the screen is blanked or locked).
    void setPulsePaused(bool paused);
    PulseIconView* pulseIcon() const { return m_pulseIcon; }

    QPushButton* openTimerButton() const { return m_openTimerButton; }
    QToolButton* dismissButton() const { return m_dismissButton; }
    SnoozeMenu* dismissMenu() const { return m_dismissMenu; }

protected:
    QBrush borderBrush(const QRectF& card) const override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    std::function<void()> m_onStartTimer;
    std::function<void(double)> m_onDismiss;
    QWidget* m_iconSlot;
    QPushButton* m_openTimerButton;
    QToolButton* m_dismissButton;
    SnoozeMenu* m_dismissMenu;
    PulseIconView* m_pulseIcon;
};
