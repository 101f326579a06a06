#include "ui/dayplan/DayTimelineGrid.h"

#include "core/DetachedTask.h"
#include "services/dayplan/DayPlanningState.h"
#include "services/dayplan/QuarterHour.h"
#include "services/dayplan/TimelineColumnLayout.h"
#include "ui/dayplan/DurationEditorDialog.h"
#include "ui/kit/HourLabelSpacing.h"
#include "ui/kit/PopoverStyle.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetricsF>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace {
void detach(QCoro::Task<> task) {
    runDetached(std::move(task), u"Timeline change failed"_s, Log::Category::ui);
}
} // namespace

DayTimelineGrid::DayTimelineGrid(DayPlanningState& state, QWidget* parent)
    : QWidget(parent)
    , m_state(state) {
    setAcceptDrops(true);
    setMouseTracking(true);
    setMinimumHeight(hourHeight * 17 + 20);
    setMinimumWidth(labelWidth + 8 + entryWidth + 8);
    for (auto signal : {&DayPlanningState::plannedEntriesChanged, &DayPlanningState::existingEntriesChanged,
                        &DayPlanningState::selectedDateChanged}) {
        connect(&m_state, signal, this, qOverload<>(&QWidget::update));
    }
}

QSize DayTimelineGrid::sizeHint() const {
    return {labelWidth + 8 + entryWidth + 40, hourHeight * 17 + 20};
}

QDateTime DayTimelineGrid::dayStart() const {
    return localTimeOfDay(m_state.selectedDate().toLocalTime().date(), firstHour);
}

double DayTimelineGrid::yForTime(const QDateTime& time) const {
    return double(dayStart().msecsTo(time)) / 3600000.0 * hourHeight + topInset;
}

QDateTime DayTimelineGrid::dropTime(double y, double durationSeconds) const {
    const double hours = std::max(y - topInset, 0.0) / hourHeight;
    QDateTime time = dayStart().addMSecs(qint64(hours * 3600000.0));
    // Below the last row the task still ends within the day, never in the next one.
    const QDateTime midnight = localTimeOfDay(m_state.selectedDate().toLocalTime().date(), 24);
    const QDateTime latest = floorToQuarterHour(midnight.addMSecs(-qint64(durationSeconds * 1000)));
    if (time > latest) {
        time = std::max(latest, dayStart());
    }
    return time;
}

qint64 DayTimelineGrid::snappedShiftSeconds(double dy) {
    const double step = hourHeight * 0.25;
    const double snapped = step * std::round(dy / step);
    return qint64(std::llround(snapped / hourHeight * 3600));
}

QColor DayTimelineGrid::colorFor(const TimelineEntry& entry) const {
    const QPalette& palette = this->palette();
    if (!entry.isPlanned) {
        return PopoverStyle::withAlpha(PopoverStyle::green(palette), 0.7);
    }
    switch (entry.syncStatus) {
    case SyncStatus::local:
        return PopoverStyle::accent(palette);
    case SyncStatus::synced:
        return PopoverStyle::green(palette);
    case SyncStatus::modified:
        return PopoverStyle::orange(palette);
    case SyncStatus::deleted:
        return PopoverStyle::withAlpha(PopoverStyle::red(palette), 0.5);
    }
    return PopoverStyle::accent(palette);
}

QList<DayTimelineGrid::Block> DayTimelineGrid::blocks() const {
    const QList<TimelineEntry> entries = m_state.timelineEntries();
    const TimelineColumnLayout layout = TimelineColumnLayout::compute(entries);
    QList<Block> result;
    result.reserve(entries.size());
    for (const TimelineEntry& entry : entries) {
        const int columns = layout.columnCount(entry.id);
        const double width = (entryWidth - 2.0 * (columns - 1)) / columns;
        const double height =
            std::max(double(entry.startTime.msecsTo(entry.endTime)) / 3600000.0 * hourHeight, 20.0);
        const double x = labelWidth + 8 + (width + 2) * layout.column(entry.id);
        result.append(Block{entry, QRectF(x, yForTime(entry.startTime), width, height), colorFor(entry)});
    }
    return result;
}

QRectF DayTimelineGrid::deleteButtonRect(const QRectF& block) {
    return QRectF(block.right() - 20, block.top() + 4, 14, 14);
}

QRectF DayTimelineGrid::durationButtonRect(const QRectF& block) {
    return QRectF(block.right() - 38, block.top() + 4, 14, 14);
}

std::optional<DayTimelineGrid::Block> DayTimelineGrid::blockAt(const QPointF& point) const {
    const QList<Block> all = blocks();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        if (it->rect.contains(point)) {
            return *it;
        }
    }
    return std::nullopt;
}

bool DayTimelineGrid::dropTask(const DraggableTask& task, double y) {
    return m_state.addDroppedTask(task, dropTime(y, task.duration));
}

void DayTimelineGrid::moveBlock(const TimelineEntry& entry, double dy) {
    const qint64 shift = snappedShiftSeconds(dy);
    if (shift == 0) {
        return;
    }
    const QDateTime start = entry.startTime.addSecs(shift);
    const QDateTime end = entry.endTime.addSecs(shift);
    if (entry.isPlanned && entry.plannedEntryId) {
        m_state.updateEntryTimes(*entry.plannedEntryId, start, end);
    } else if (entry.existingEntryId) {
        detach(m_state.updateExistingEntryTimes(*entry.existingEntryId, start, end));
    }
}

void DayTimelineGrid::deleteBlock(const TimelineEntry& entry) {
    if (entry.isPlanned && entry.plannedEntryId) {
        m_state.removePlannedEntry(*entry.plannedEntryId);
    } else if (entry.existingEntryId) {
        detach(m_state.deleteExistingEntry(*entry.existingEntryId));
    }
}

void DayTimelineGrid::editDuration(const TimelineEntry& entry) {
    DurationEditorDialog dialog(double(entry.startTime.secsTo(entry.endTime)), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const QDateTime end = entry.startTime.addSecs(qint64(dialog.totalSeconds()));
    if (entry.isPlanned && entry.plannedEntryId) {
        m_state.updateEntryTimes(*entry.plannedEntryId, entry.startTime, end);
    } else if (entry.existingEntryId) {
        detach(m_state.updateExistingEntryTimes(*entry.existingEntryId, entry.startTime, end));
    }
}

int DayTimelineGrid::hourLabelStep() const {
    return HourLabelSpacing::step(hourHeight, QFontMetricsF(PopoverStyle::monospacedFont(10)).height());
}

QRectF DayTimelineGrid::badgeRect(const QRectF& block, bool hovered) {
    // At the end of the title row; while hovered, left of the two buttons.
    const double right = hovered ? block.right() - 38 - 4 : block.right() - 8;
    return QRectF(right - badgeSize, block.top() + 5, badgeSize, badgeSize);
}

void DayTimelineGrid::paintSyncBadge(QPainter& painter, const QRectF& rect, SyncStatus status,
                                     const QColor& blockColor) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(255, 255, 255, 204);
    const QRectF circle = rect.adjusted(0.75, 0.75, -0.75, -0.75);
    const QPointF c = rect.center();
    const double u = rect.width() / 12.0; // drawn on a 12-unit grid
    QPen pen(ink, 1.3 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setBrush(Qt::NoBrush);
    switch (status) {
    case SyncStatus::local: // an arrow up in a circle: waiting to be sent
        painter.setPen(pen);
        painter.drawEllipse(circle);
        painter.drawLine(c + QPointF(0, 3 * u), c + QPointF(0, -3 * u));
        painter.drawPolyline(QPolygonF{c + QPointF(-2.5 * u, -0.5 * u), c + QPointF(0, -3 * u),
                                       c + QPointF(2.5 * u, -0.5 * u)});
        break;
    case SyncStatus::synced: { // a filled circle with a check mark: ClickUp holds it
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(rect);
        QPen check(blockColor, 1.6 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(check);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(QPolygonF{c + QPointF(-2.8 * u, 0.2 * u), c + QPointF(-0.8 * u, 2.2 * u),
                                       c + QPointF(2.8 * u, -2 * u)});
        break;
    }
    case SyncStatus::modified: // a pencil in a circle: changed since it was sent
        painter.setPen(pen);
        painter.drawEllipse(circle);
        painter.drawLine(c + QPointF(-2.5 * u, 2.5 * u), c + QPointF(2 * u, -2 * u));
        painter.drawLine(c + QPointF(-2.5 * u, 2.5 * u), c + QPointF(-2.5 * u, 1.2 * u));
        painter.drawLine(c + QPointF(-2.5 * u, 2.5 * u), c + QPointF(-1.2 * u, 2.5 * u));
        break;
    case SyncStatus::deleted: // a bin in a circle: waiting to be deleted in ClickUp
        painter.setPen(pen);
        painter.drawEllipse(circle);
        painter.drawLine(c + QPointF(-2.5 * u, -1.8 * u), c + QPointF(2.5 * u, -1.8 * u));
        painter.drawPolyline(QPolygonF{c + QPointF(-1.8 * u, -1.8 * u), c + QPointF(-1.3 * u, 2.6 * u),
                                       c + QPointF(1.3 * u, 2.6 * u), c + QPointF(1.8 * u, -1.8 * u)});
        break;
    }
    painter.restore();
}

void DayTimelineGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& palette = this->palette();
    painter.fillRect(rect(), PopoverStyle::controlBackground(palette));

    const QDate day = m_state.selectedDate().toLocalTime().date();
    painter.setFont(PopoverStyle::monospacedFont(10));
    const int labelStep = hourLabelStep();
    for (int hour = firstHour; hour <= lastHour; ++hour) {
        const double y = topInset + (hour - firstHour) * hourHeight;
        painter.setPen(PopoverStyle::tertiaryText(palette));
        if (HourLabelSpacing::isShown(hour, labelStep)) {
            painter.drawText(QRectF(0, y - 6, labelWidth, 14), Qt::AlignRight | Qt::AlignVCenter,
                             localTimeOfDay(day, hour).toString(u"HH:mm"_s));
        }
        painter.fillRect(QRectF(labelWidth + 8, y, width() - labelWidth - 8, 1),
                         PopoverStyle::withAlpha(PopoverStyle::separator(palette), 0.3));
    }

    for (const Block& block : blocks()) {
        const bool dragged = m_dragging && m_pressed && m_pressed->entry.id == block.entry.id;
        const bool hovered = m_hovered == block.entry.id && !m_dragging;
        const QRectF box = block.rect.translated(0, dragged ? m_dragOffset : 0);
        painter.setOpacity(dragged ? 0.85 : 1.0);
        QPainterPath path;
        path.addRoundedRect(box, 6, 6);
        painter.fillPath(path, PopoverStyle::withAlpha(block.color, 0.9));
        if (hovered) {
            painter.setPen(QPen(QColor(255, 255, 255, 128), 2));
            painter.drawPath(path);
        }
        painter.setPen(Qt::white);
        painter.setFont(PopoverStyle::font(11, QFont::Medium));
        // The title leaves room for the sync badge of a planned block and the hover buttons.
        const double badgeRoom = block.entry.isPlanned ? badgeSize + 4 : 0;
        const QRectF content = box.adjusted(8, 6, (hovered ? -44 : -8) - badgeRoom, -4);
        // At most two lines of title, then the time range and the duration below it.
        const QFontMetricsF titleMetrics(painter.font());
        const double titleHeight = std::min(
            titleMetrics.boundingRect(content, Qt::AlignLeft | Qt::TextWordWrap, block.entry.taskName)
                .height(),
            2 * titleMetrics.lineSpacing());
        painter.save();
        painter.setClipRect(QRectF(content.left(), content.top(), content.width(), titleHeight));
        painter.drawText(content, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, block.entry.taskName);
        painter.restore();
        painter.setFont(PopoverStyle::font(9));
        painter.setPen(QColor(255, 255, 255, 204));
        painter.drawText(box.adjusted(8, 8 + titleHeight, -8, -4), Qt::AlignLeft | Qt::AlignTop,
                         block.entry.timeRangeText());
        if (box.height() > 50) {
            painter.setFont(PopoverStyle::font(9, QFont::Medium));
            painter.setPen(QColor(255, 255, 255, 178));
            painter.drawText(box.adjusted(8, 22 + titleHeight, -8, -4), Qt::AlignLeft | Qt::AlignTop,
                             block.entry.durationText());
        }
        if (block.entry.isPlanned) {
            paintSyncBadge(painter, badgeRect(box, hovered), block.entry.syncStatus, block.color);
        }
        if (hovered) {
            painter.setPen(QPen(QColor(255, 255, 255, 204), 1.5));
            const QRectF clock = durationButtonRect(box);
            painter.drawEllipse(clock);
            painter.drawLine(clock.center(), clock.center() + QPointF(0, -4));
            painter.drawLine(clock.center(), clock.center() + QPointF(3, 0));
            const QRectF cross = deleteButtonRect(box);
            painter.drawEllipse(cross);
            painter.drawLine(cross.topLeft() + QPointF(4, 4), cross.bottomRight() - QPointF(4, 4));
            painter.drawLine(cross.topRight() + QPointF(-4, 4), cross.bottomLeft() + QPointF(4, -4));
        }
        painter.setOpacity(1.0);
    }
}

void DayTimelineGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    const QPointF point = event->position();
    m_pressed = blockAt(point);
    m_pressPoint = point;
    m_dragOffset = 0;
    m_dragging = false;
    if (m_pressed && m_hovered == m_pressed->entry.id) {
        if (deleteButtonRect(m_pressed->rect).contains(point)) {
            const TimelineEntry entry = m_pressed->entry;
            m_pressed.reset();
            deleteBlock(entry);
            return;
        }
        if (durationButtonRect(m_pressed->rect).contains(point)) {
            const TimelineEntry entry = m_pressed->entry;
            m_pressed.reset();
            editDuration(entry);
        }
    }
}

void DayTimelineGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPointF point = event->position();
    if (m_pressed && (event->buttons() & Qt::LeftButton)) {
        const double dy = point.y() - m_pressPoint.y();
        if (!m_dragging && std::hypot(point.x() - m_pressPoint.x(), dy) >= dragThreshold) {
            m_dragging = true;
        }
        if (m_dragging) {
            m_dragOffset = dy;
            update();
        }
        return;
    }
    const std::optional<Block> block = blockAt(point);
    const std::optional<QUuid> hovered = block ? std::optional<QUuid>(block->entry.id) : std::nullopt;
    if (hovered != m_hovered) {
        m_hovered = hovered;
        update();
    }
}

void DayTimelineGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (m_pressed && m_dragging) {
        const TimelineEntry entry = m_pressed->entry;
        const double dy = m_dragOffset;
        m_pressed.reset();
        m_dragging = false;
        m_dragOffset = 0;
        update();
        moveBlock(entry, dy);
        return;
    }
    m_pressed.reset();
    m_dragging = false;
    m_dragOffset = 0;
}

void DayTimelineGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    if (const std::optional<Block> block = blockAt(event->position())) {
        editDuration(block->entry);
    }
}

void DayTimelineGrid::leaveEvent(QEvent*) {
    if (m_hovered) {
        m_hovered.reset();
        update();
    }
}

void DayTimelineGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasFormat(DraggableTask::mimeType)) {
        event->acceptProposedAction();
    }
}

void DayTimelineGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasFormat(DraggableTask::mimeType)) {
        event->acceptProposedAction();
    }
}

void DayTimelineGrid::dropEvent(QDropEvent* event) {
    const std::optional<DraggableTask> task = DraggableTask::fromMimeData(*event->mimeData());
    if (!task) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    dropTask(*task, event->position().y());
}
