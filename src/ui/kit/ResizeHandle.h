#pragma once

#include <QPointF>
#include <QWidget>

// The grip below the popover's content that resizes the popover by dragging: the value (the popover's
// height) follows the pointer, as the height at the press plus the vertical distance moved since
// (downwards grows), kept within [minHeight, maxHeight]. A drag starts only once the pointer has
// moved 10 px from the press; a shorter one changes nothing. The grip darkens while dragging; the
// pointer shows the up-down resize cursor over the handle.
class ResizeHandle : public QWidget {
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(bool isDragging READ isDragging NOTIFY isDraggingChanged)

public:
    static constexpr int handleHeight = 12;
    static constexpr int gripWidth = 40;
    static constexpr int gripHeight = 4;
    static constexpr qreal minimumDragDistance = 10;

    ResizeHandle(double minHeight, double maxHeight, QWidget* parent = nullptr);

    double value() const { return m_value; }
    // Takes the value as given (the owner's stored height); only a drag keeps it within the bounds.
    void setValue(double value);
    double minHeight() const { return m_minHeight; }
    double maxHeight() const { return m_maxHeight; }
    bool isDragging() const { return m_isDragging; }

    QSize sizeHint() const override;

Q_SIGNALS:
    void valueChanged(double value);
    void isDraggingChanged(bool dragging);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setDragging(bool dragging);

    double m_value = 0;
    const double m_minHeight;
    const double m_maxHeight;
    bool m_isDragging = false;
    bool m_pressed = false;
    // Screen positions, so that the popover growing under the pointer does not move the origin.
    QPointF m_pressPosition;
    double m_valueAtPress = 0;
};
