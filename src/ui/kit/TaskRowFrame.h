#pragma once

#include <QColor>
#include <QWidget>

#include <optional>

class TaskContextMenu;

// The frame of a task row: a rounded rectangle (corner radius 4) filled with the secondary colour
// at opacity 0.1 while the pointer is over it and clear otherwise, unless the row gives a fill of
// its own that stays whether hovered or not. A right click opens the row's context menu; a plain
// click does nothing. The highlight follows the pointer, and one row at most is lit: when a row is
// lit the one lit before goes dark, and when the context menu closes its row stays lit only if the
// pointer is over it then.
class TaskRowFrame : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool isHovered READ isHovered NOTIFY isHoveredChanged)

public:
    explicit TaskRowFrame(QWidget* parent = nullptr);
    ~TaskRowFrame() override;

    bool isHovered() const { return m_isHovered; }
    // A fill shown always, in place of the hover fill; none: the hover fill.
    void setFixedFill(std::optional<QColor> fill);

    // The row's context menu, not yet shown; the caller owns it.
    virtual TaskContextMenu* createContextMenu() = 0;

Q_SIGNALS:
    void isHoveredChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setHovered(bool hovered);
    // Lit when the pointer is over the row now.
    void followPointer();

    bool m_isHovered = false;
    std::optional<QColor> m_fixedFill;
};
