#include "ui/kit/ResizeHandle.h"

#include "ui/kit/PopoverStyle.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

ResizeHandle::ResizeHandle(double minHeight, double maxHeight, QWidget* parent)
    : QWidget(parent)
    , m_minHeight(minHeight)
    , m_maxHeight(std::max(minHeight, maxHeight)) {
    setFixedHeight(handleHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::SizeVerCursor);
}

void ResizeHandle::setValue(double value) {
    if (m_value == value) {
        return;
    }
    m_value = value;
    Q_EMIT valueChanged(m_value);
}

void ResizeHandle::setDragging(bool dragging) {
    if (m_isDragging == dragging) {
        return;
    }
    m_isDragging = dragging;
    update();
    Q_EMIT isDraggingChanged(dragging);
}

QSize ResizeHandle::sizeHint() const {
    return QSize(gripWidth, handleHeight);
}

void ResizeHandle::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF grip((width() - gripWidth) / 2.0, (height() - gripHeight) / 2.0, gripWidth, gripHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        PopoverStyle::withAlpha(PopoverStyle::secondaryText(palette()), m_isDragging ? 0.5 : 0.3));
    painter.drawRoundedRect(grip, gripHeight / 2.0, gripHeight / 2.0);
}

void ResizeHandle::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pressPosition = event->globalPosition();
    m_valueAtPress = m_value;
    event->accept();
}

void ResizeHandle::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPointF translation = event->globalPosition() - m_pressPosition;
    if (!m_isDragging && std::hypot(translation.x(), translation.y()) < minimumDragDistance) {
        return;
    }
    setDragging(true);
    // From the height at the press, not the current one: the edge stays under the pointer.
    setValue(std::clamp(m_valueAtPress + translation.y(), m_minHeight, m_maxHeight));
    event->accept();
}

void ResizeHandle::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_pressed = false;
    setDragging(false);
    event->accept();
}
