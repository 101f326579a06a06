#include "ui/kit/TaskRowFrame.h"

#include "ui/kit/RowStyle.h"
#include "ui/kit/TaskContextMenu.h"

#include <QContextMenuEvent>
#include <QPainter>

TaskRowFrame::TaskRowFrame(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
}

void TaskRowFrame::setFixedFill(std::optional<QColor> fill) {
    m_fixedFill = fill;
    update();
}

void TaskRowFrame::paintEvent(QPaintEvent*) {
    QColor fill = Qt::transparent;
    if (m_fixedFill) {
        fill = *m_fixedFill;
    } else if (m_isHovered) {
        fill = RowStyle::withOpacity(RowStyle::secondaryColor(palette()), 0.1);
    }
    if (fill.alpha() == 0) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()), 4, 4);
}

void TaskRowFrame::enterEvent(QEnterEvent* event) {
    setHovered(true);
    QWidget::enterEvent(event);
}

void TaskRowFrame::leaveEvent(QEvent* event) {
    setHovered(false);
    QWidget::leaveEvent(event);
}

void TaskRowFrame::contextMenuEvent(QContextMenuEvent* event) {
    TaskContextMenu* menu = createContextMenu();
    // The menu outlives the row, which a refresh may rebuild while the menu is open.
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

void TaskRowFrame::setHovered(bool hovered) {
    if (m_isHovered != hovered) {
        m_isHovered = hovered;
        update();
        emit isHoveredChanged();
    }
}
