#include "menubar/ActivityIndicator.h"

#include "menubar/PopoverStyle.h"

#include <QPainter>

namespace {
constexpr int spokes = 8;
constexpr int stepMs = 100;
} // namespace

ActivityIndicator::ActivityIndicator(int diameter, QWidget* parent)
    : QWidget(parent) {
    setFixedSize(diameter, diameter);
    m_timer.setInterval(stepMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_step = (m_step + 1) % spokes;
        update();
    });
}

void ActivityIndicator::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_timer.start();
}

void ActivityIndicator::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_timer.stop();
}

void ActivityIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = width() / 2.0;
    const QColor base = PopoverStyle::primaryText(palette());
    painter.translate(radius, radius);
    QPen pen;
    pen.setWidthF(qMax(1.5, radius / 5));
    pen.setCapStyle(Qt::RoundCap);
    for (int i = 0; i < spokes; ++i) {
        // The leading spoke is the darkest; the ones behind it fade.
        const int age = (m_step - i + spokes) % spokes;
        pen.setColor(PopoverStyle::withAlpha(base, 0.85 - 0.1 * age));
        painter.setPen(pen);
        painter.save();
        painter.rotate(360.0 * i / spokes);
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius + pen.widthF() / 2));
        painter.restore();
    }
}
