#include "alerts/AlertCardView.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

AlertCardView::AlertCardView(qreal cornerRadius, qreal borderWidth, QWidget* parent)
    : QWidget(parent)
    , m_cornerRadius(cornerRadius)
    , m_borderWidth(borderWidth) {
    setAttribute(Qt::WA_Hover);
}

bool AlertCardView::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor AlertCardView::orange(const QPalette& palette) {
    return isDark(palette) ? QColor(0xFF, 0x9F, 0x0A) : QColor(0xFF, 0x95, 0x00);
}

QColor AlertCardView::green(const QPalette& palette) {
    return isDark(palette) ? QColor(0x30, 0xD1, 0x58) : QColor(0x34, 0xC7, 0x59);
}

QColor AlertCardView::secondaryText(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.6f);
    return color;
}

QFont AlertCardView::font(int pixelSize, QFont::Weight weight) {
    QFont result = QApplication::font();
    result.setPixelSize(pixelSize);
    result.setWeight(weight);
    return result;
}

void AlertCardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(card, m_cornerRadius, m_cornerRadius);
    QColor background = palette().color(QPalette::Window);
    if (window()->testAttribute(Qt::WA_TranslucentBackground)) {
        background.setAlphaF(0.94f);
    }
    painter.fillPath(shape, background);
    // The border lies inside the card's edge.
    const qreal inset = m_borderWidth / 2;
    const QRectF borderRect = card.adjusted(inset, inset, -inset, -inset);
    painter.setPen(QPen(borderBrush(card), m_borderWidth));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(borderRect, m_cornerRadius - inset, m_cornerRadius - inset);
}

void AlertCardView::enterEvent(QEnterEvent* event) {
    setHovering(true);
    QWidget::enterEvent(event);
}

void AlertCardView::leaveEvent(QEvent* event) {
    setHovering(false);
    QWidget::leaveEvent(event);
}

void AlertCardView::setHovering(bool hovering) {
    if (m_hovering != hovering) {
        m_hovering = hovering;
        emit hoveringChanged(hovering);
    }
}
