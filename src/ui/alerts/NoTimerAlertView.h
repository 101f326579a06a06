#pragma once

#include "ui/alerts/AlertCardView.h"

#include <QPixmap>

#include <functional>

class QPushButton;
class QSequentialAnimationGroup;
class QToolButton;
class SnoozeMenu;

// The floating panel's content: a pulsing warning icon, "No Timer Running", "Start tracking your
// time now!", the green "Open Timer" button and the "Dismiss" menu of snooze lengths. The button and
// the menu run their callbacks from the event loop, after the click has been handled.
class NoTimerAlertView : public AlertCardView {
    Q_OBJECT
    Q_PROPERTY(qreal pulse READ pulse WRITE setPulse)

public:
    NoTimerAlertView(std::function<void()> onStartTimer, std::function<void(double seconds)> onDismiss,
                     QWidget* parent = nullptr);

    // Replaces the callbacks (a new reminder taking over the shown panel); an open menu stays open.
    void setCallbacks(std::function<void()> onStartTimer, std::function<void(double seconds)> onDismiss);

    bool isPulsing() const { return m_pulsing; }
    // 0 at rest, 1 at the widest point of the pulse.
    qreal pulse() const { return m_pulse; }
    void setPulse(qreal pulse);

    QPushButton* openTimerButton() const { return m_openTimerButton; }
    QToolButton* dismissButton() const { return m_dismissButton; }
    SnoozeMenu* dismissMenu() const { return m_dismissMenu; }

protected:
    QBrush borderBrush(const QRectF& card) const override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    QRect pulseArea() const;

    std::function<void()> m_onStartTimer;
    std::function<void(double)> m_onDismiss;
    QWidget* m_iconSlot;
    QPushButton* m_openTimerButton;
    QToolButton* m_dismissButton;
    SnoozeMenu* m_dismissMenu;
    QSequentialAnimationGroup* m_pulseAnimation;
    QPixmap m_warningIcon;
    qreal m_pulse = 0;
    bool m_pulsing = false;
};
