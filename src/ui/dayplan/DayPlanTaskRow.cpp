#include "ui/dayplan/DayPlanTaskRow.h"

#include "services/dayplan/DayPlanText.h"
#include "ui/kit/PopoverStyle.h"

#include <QApplication>
#include <QDrag>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

DayPlanTaskRow::DayPlanTaskRow(DraggableTask payload, QColor previewColor, std::function<void()> onAdd,
                               QWidget* parent)
    : QWidget(parent)
    , m_payload(std::move(payload))
    , m_previewColor(previewColor)
    , m_onAdd(std::move(onAdd)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 8, 12, 8);
    row->setSpacing(8);
    m_content = new QVBoxLayout;
    m_content->setSpacing(2);
    row->addLayout(m_content, 1);
    m_add = new QPushButton(u"+ "_s + DayPlanText::compactDurationText(m_payload.duration), this);
    m_add->setFont(PopoverStyle::font(11));
    m_add->setStyleSheet(PopoverStyle::filledButtonStyleSheet(PopoverStyle::accent(palette())));
    m_add->setToolTip(u"Add to the day plan"_s);
    m_add->hide();
    row->addWidget(m_add);
    connect(m_add, &QPushButton::clicked, this, [this] { m_onAdd(); });
}

void DayPlanTaskRow::setHovered(bool hovered) {
    if (m_hovered == hovered) {
        return;
    }
    m_hovered = hovered;
    m_add->setVisible(hovered);
    update();
}

void DayPlanTaskRow::enterEvent(QEnterEvent*) {
    setHovered(true);
}

void DayPlanTaskRow::leaveEvent(QEvent*) {
    setHovered(false);
}

void DayPlanTaskRow::paintEvent(QPaintEvent*) {
    if (m_hovered) {
        QPainter painter(this);
        painter.fillRect(rect(), PopoverStyle::withAlpha(palette().color(QPalette::Highlight), 0.3));
    }
}

void DayPlanTaskRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_pressPoint = event->position().toPoint();
    }
}

void DayPlanTaskRow::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_onAdd();
    }
}

QPixmap DayPlanTaskRow::dragPreview() const {
    const QFont nameFont = PopoverStyle::font(11, QFont::Medium);
    const QFont durationFont = PopoverStyle::font(10);
    const QString name = QFontMetrics(nameFont).elidedText(m_payload.taskName, Qt::ElideRight, 260);
    const QString duration = DayPlanText::compactDurationText(m_payload.duration);
    const int nameWidth = QFontMetrics(nameFont).horizontalAdvance(name);
    const int durationWidth = QFontMetrics(durationFont).horizontalAdvance(duration);
    const QSize size(10 + 14 + 6 + nameWidth + 6 + durationWidth + 10, 28);
    const qreal ratio = devicePixelRatioF();
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(QPointF(0, 0), size), 6, 6);
    painter.fillPath(path, m_previewColor);
    painter.setPen(QPen(Qt::white, 1.5));
    painter.drawRoundedRect(QRectF(10, 8, 12, 12), 2, 2); // the calendar symbol
    painter.drawLine(QPointF(16, 11), QPointF(16, 17));
    painter.drawLine(QPointF(13, 14), QPointF(19, 14));
    painter.setFont(nameFont);
    painter.drawText(QRect(30, 0, nameWidth, size.height()), Qt::AlignVCenter, name);
    painter.setFont(durationFont);
    painter.setPen(QColor(255, 255, 255, 204));
    painter.drawText(QRect(30 + nameWidth + 6, 0, durationWidth, size.height()), Qt::AlignVCenter, duration);
    return pixmap;
}

void DayPlanTaskRow::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton) ||
        (event->position().toPoint() - m_pressPoint).manhattanLength() < QApplication::startDragDistance()) {
        return;
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(m_payload.toMimeData());
    drag->setPixmap(dragPreview());
    drag->setHotSpot(QPoint(12, 14));
    drag->exec(Qt::CopyAction);
}
