#include "ui/alerts/AlertCardView.h"

#include "ui/kit/PopoverStyle.h"

#include <QApplication>
#include <QPainter>
#include <QPainterPath>

AlertCardView::AlertCardView(qreal cornerRadius, qreal borderWidth, QWidget* parent)
    : QWidget(parent)
    , m_cornerRadius(cornerRadius)
    , m_borderWidth(borderWidth) {
    setAttribute(Qt::WA_Hover);
}

QFont AlertCardView::font(int designSize, QFont::Weight weight) {
    return PopoverStyle::font(designSize, weight);
}

QColor AlertCardView::cardColor() const {
    QColor background = palette().color(QPalette::Window);
    if (window()->testAttribute(Qt::WA_TranslucentBackground)) {
        background.setAlphaF(0.94f);
    }
    return background;
}

void AlertCardView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card = QRectF(rect());
    QPainterPath shape;
    shape.addRoundedRect(card, m_cornerRadius, m_cornerRadius);
    painter.fillPath(shape, cardColor());
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
