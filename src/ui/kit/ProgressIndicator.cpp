#include "ui/kit/ProgressIndicator.h"

#include "ui/kit/RowStyle.h"

#include <QPainter>

namespace {
constexpr int stepMs = 80;
constexpr int stepDegrees = 30;
} // namespace

ProgressIndicator::ProgressIndicator(int diameter, QWidget* parent)
    : QWidget(parent) {
    setFixedSize(diameter, diameter);
    setAccessibleName(QStringLiteral("Loading"));
    m_timer.setInterval(stepMs);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        m_angle = (m_angle + stepDegrees) % 360;
        update();
    });
}

void ProgressIndicator::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal pen = std::max(1.5, width() / 7.0);
    const QRectF box = QRectF(rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    painter.setPen(QPen(RowStyle::withOpacity(RowStyle::secondaryColor(palette()), 0.35), pen));
    painter.drawEllipse(box);
    painter.setPen(QPen(RowStyle::secondaryColor(palette()), pen, Qt::SolidLine, Qt::RoundCap));
    // Qt counts angles in sixteenths of a degree, counter-clockwise from three o'clock.
    painter.drawArc(box, -m_angle * 16, 100 * 16);
}

void ProgressIndicator::showEvent(QShowEvent* event) {
    m_timer.start();
    QWidget::showEvent(event);
}

void ProgressIndicator::hideEvent(QHideEvent* event) {
    m_timer.stop();
    QWidget::hideEvent(event);
}
