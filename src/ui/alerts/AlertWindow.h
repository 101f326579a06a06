#pragma once

#include "ui/alerts/AlertCardView.h"

#include <QPoint>
#include <QWidget>

#include <optional>

// A reminder window: frameless, above other windows, never taking the focus or activating the
// application, showing one card view that fills it. Translucent where a compositor blends windows,
// otherwise shaped to the card's rounded outline.
class AlertWindow : public QWidget {
    Q_OBJECT

public:
    enum class Workspaces { current, all };

    AlertWindow(AlertCardView* content, QSize size, Workspaces workspaces);

    AlertCardView* content() const { return m_content; }

    // Places the window (when a position is given) and shows it in front without activating it.
    void present(const std::optional<QPoint>& topLeft);
    void setIgnoresMouseEvents(bool ignore);
    // Lets the user drag the window by the parts of its card that are not controls.
    void setMovableByBackground(bool movable) { m_movable = movable; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    AlertCardView* m_content;
    Workspaces m_workspaces;
    bool m_movable = false;
    std::optional<QPoint> m_dragOffset;
};
