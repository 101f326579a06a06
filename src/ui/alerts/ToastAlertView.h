#pragma once

#include "ui/alerts/AlertCardView.h"

class QGraphicsOpacityEffect;
class QToolButton;
class SnoozeMenu;

// The no-timer toast's content: a warning icon, "No Timer Running", "Click to start tracking your
// time" and a close button whose menu offers the snooze lengths. Choosing one posts
// AlertHub::dismissToastAlert with its seconds, once per toast: the menu is disabled afterwards.
// A click anywhere else on the toast is what its text asks for: clicked() (the service opens the
// popover).
class ToastAlertView : public AlertCardView {
    Q_OBJECT

public:
    explicit ToastAlertView(QWidget* parent = nullptr);

    bool isDismissed() const { return m_dismissed; }
    void postDismiss(double seconds);

    QToolButton* snoozeButton() const { return m_snoozeButton; }
    SnoozeMenu* snoozeMenu() const { return m_snoozeMenu; }

Q_SIGNALS:
    void clicked();

protected:
    QBrush borderBrush(const QRectF& card) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QToolButton* m_snoozeButton;
    SnoozeMenu* m_snoozeMenu;
    QGraphicsOpacityEffect* m_snoozeOpacity;
    bool m_dismissed = false;
    bool m_pressed = false;
};
