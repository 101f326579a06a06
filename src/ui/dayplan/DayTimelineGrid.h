#pragma once

#include "services/dayplan/DraggableTask.h"
#include "services/dayplan/TimelineEntry.h"

#include <QDateTime>
#include <QList>
#include <QRectF>
#include <QUuid>
#include <QWidget>

class QPainter;

#include <optional>

class DayPlanningState;

// The hour grid of the day timeline, 07:00 to 23:00 of the shown day at hourHeight pixels an hour
// below a 10 px inset, with the day's blocks painted over it side by side where they overlap. A
// block is dragged vertically to move it (from 5 px on, snapped to quarter hours on release); while
// hovered it shows a duration button (opens the duration editor) and a delete button. Tasks dragged
// in the payload's format are dropped at the time under the pointer, kept within the day.
class DayTimelineGrid : public QWidget {
    Q_OBJECT

public:
    static constexpr int hourHeight = 60;
    static constexpr int labelWidth = 50;
    static constexpr int entryWidth = 200;
    static constexpr int topInset = 10;
    static constexpr int firstHour = 7;
    static constexpr int lastHour = 23;
    static constexpr int dragThreshold = 5;

    explicit DayTimelineGrid(DayPlanningState& state, QWidget* parent = nullptr);

    // 07:00 of the shown day (local wall-clock time).
    QDateTime dayStart() const;
    double yForTime(const QDateTime& time) const;
    // The time at y: 07:00 at or above the inset; a task of the duration still ends by midnight.
    QDateTime dropTime(double y, double durationSeconds) const;
    // A vertical drag of dy pixels as a shift in seconds, in quarter-hour steps (halves away from zero).
    static qint64 snappedShiftSeconds(double dy);

    struct Block {
        TimelineEntry entry;
        QRectF rect;
        QColor color;
    };
    // The blocks as painted now (without a drag's offset).
    QList<Block> blocks() const;

    // What a drop does: adds the task at the time for y. False when nothing was added.
    bool dropTask(const DraggableTask& task, double y);
    // What a released drag of the block does.
    void moveBlock(const TimelineEntry& entry, double dy);
    void deleteBlock(const TimelineEntry& entry);
    // Opens the duration editor for the block and applies a saved duration.
    void editDuration(const TimelineEntry& entry);

    QSize sizeHint() const override;

    // Every n-th hour label is drawn, so that labels never overlap (1 at 60 px an hour).
    int hourLabelStep() const;
    // The sync badge of a planned block: at the end of its title row, left of the hover buttons
    // while hovered. Existing ClickUp entries have none.
    static constexpr double badgeSize = 12;
    static QRectF badgeRect(const QRectF& block, bool hovered);
    // Draws the badge of the status in white: an arrow up in a circle (local), a filled circle with a
    // check mark (synced), a pencil in a circle (modified), a bin in a circle (deleted).
    static void paintSyncBadge(QPainter& painter, const QRectF& rect, SyncStatus status,
                               const QColor& blockColor);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    std::optional<Block> blockAt(const QPointF& point) const;
    static QRectF deleteButtonRect(const QRectF& block);
    static QRectF durationButtonRect(const QRectF& block);
    QColor colorFor(const TimelineEntry& entry) const;

    DayPlanningState& m_state;
    std::optional<QUuid> m_hovered;
    std::optional<Block> m_pressed;
    QPointF m_pressPoint;
    double m_dragOffset = 0;
    bool m_dragging = false;
};
