#pragma once

#include "services/dayplan/DraggableTask.h"

#include <QColor>
#include <QPoint>
#include <QWidget>

#include <functional>

class QHBoxLayout;
class QPushButton;
class QVBoxLayout;

// One row of the day-planning task lists (a planning task or a ClickUp search result): its content
// on the left, and while hovered a "+ <duration>" button. A double click or the button adds the task;
// dragging the row carries the payload to the timeline, shown as a pill in the row's colour.
class DayPlanTaskRow : public QWidget {
    Q_OBJECT

public:
    DayPlanTaskRow(DraggableTask payload, QColor previewColor, std::function<void()> onAdd,
                   QWidget* parent = nullptr);

    // The column the rows' texts go into.
    QVBoxLayout* content() const { return m_content; }
    QPushButton* addButton() const { return m_add; }
    const DraggableTask& payload() const { return m_payload; }
    // The image that follows the pointer while dragging.
    QPixmap dragPreview() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setHovered(bool hovered);

    DraggableTask m_payload;
    QColor m_previewColor;
    std::function<void()> m_onAdd;
    QVBoxLayout* m_content;
    QPushButton* m_add;
    QPoint m_pressPoint;
    bool m_hovered = false;
};
