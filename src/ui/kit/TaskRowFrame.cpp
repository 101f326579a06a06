#include "ui/kit/TaskRowFrame.h"

#include "ui/kit/RowStyle.h"
#include "ui/kit/TaskContextMenu.h"

#include <QContextMenuEvent>
#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QPointer>
#include <QTimer>

namespace {
// The one lit row: the pointer is over one row at most.
QPointer<TaskRowFrame> litRow;
} // namespace

TaskRowFrame::TaskRowFrame(QWidget* parent)
    : QWidget(parent) {
    setAttribute(Qt::WA_Hover);
    // Moves light the row too: after a context menu closes inside the popover (a popup in a popup)
    // Qt may deliver no enter to the row under the pointer.
    setMouseTracking(true);
}

TaskRowFrame::~TaskRowFrame() = default;

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

void TaskRowFrame::mouseMoveEvent(QMouseEvent* event) {
    setHovered(true);
    QWidget::mouseMoveEvent(event);
}

void TaskRowFrame::hideEvent(QHideEvent* event) {
    setHovered(false);
    QWidget::hideEvent(event);
}

void TaskRowFrame::leaveEvent(QEvent* event) {
    setHovered(false);
    QWidget::leaveEvent(event);
}

void TaskRowFrame::contextMenuEvent(QContextMenuEvent* event) {
    TaskContextMenu* menu = createContextMenu();
    // The menu outlives the row, which a refresh may rebuild while the menu is open.
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The open menu holds the pointer, so the row hears no leave while it is open: once it closes,
    // the highlight follows the pointer again (after the close, when Qt has settled enter and leave).
    // Both steps run with the row as their context: once the row is gone, neither runs.
    connect(menu, &QMenu::aboutToHide, this,
            [this] { QTimer::singleShot(0, this, &TaskRowFrame::followPointer); });
    menu->popup(event->globalPos());
    event->accept();
}

void TaskRowFrame::followPointer() {
    setHovered(isVisible() && rect().contains(mapFromGlobal(QCursor::pos())));
}

void TaskRowFrame::setHovered(bool hovered) {
    if (hovered && litRow && litRow != this) {
        // The pointer has moved on, whether or not the row it left heard of it.
        litRow->setHovered(false);
    }
    if (hovered) {
        litRow = this;
    } else if (litRow == this) {
        litRow = nullptr;
    }
    if (m_isHovered != hovered) {
        m_isHovered = hovered;
        update();
        emit isHoveredChanged();
    }
}
