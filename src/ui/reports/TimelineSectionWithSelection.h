#pragma once

#include "services/clickup/TimeEntry.h"
#include "services/usage/TimelineBlock.h"

#include <QDateTime>
#include <QFont>
#include <QList>
#include <QWidget>

struct DailyUsageSummary;

// The dashboard's timeline, drawn in one widget: a scale of full hours ("TIME"), the day's
// application sessions as coloured blocks ("APPS") and, when there are any, the day's ClickUp time
// entries ("CLICKUP"), all on one time axis. The rows span the shown (filtered) day rounded out to
// full hours; a day without sessions spans its calendar day.
//
// Geometry, for a widget S wide: a label column 50 wide 8 from the leading edge, then the track from
// x 58, S - 76 wide. Blocks are at least 4 wide. The widget is 84 high with entries, 56 without.
//
// While selectable (no range set), dragging the pointer at least 10 px across the widget selects a
// range: both ends are clamped to the track, and the range is mapped onto the whole day's span over
// the same track the rows are drawn on, so a drag to the track's right end reaches the span's end.
// A range of at least 300 s is reported by rangeSelected; a shorter one is dropped.
//
// Hover and tool tips are keyed by the block's index in blocks(): a block shows its application
// and "HH:mm - HH:mm", an entry its task name and "[HH:mm - HH:mm]".
class TimelineSectionWithSelection : public QWidget {
    Q_OBJECT

public:
    static constexpr int labelWidth = 50;
    static constexpr int horizontalPadding = 8;
    static constexpr int minimumDragDistance = 10;
    static constexpr double minimumSelectionSeconds = 300;
    static constexpr int minimumBlockWidth = 4;

    explicit TimelineSectionWithSelection(QWidget* parent = nullptr);

    // summary: the whole day, whose span a selection maps onto; filtered: the day the rows draw;
    // entries: the ClickUp entries to draw; selectable: whether a range may be dragged.
    void setContent(const DailyUsageSummary& summary, const DailyUsageSummary& filtered,
                    const QList<TimeEntry>& entries, bool selectable);

    bool isSelectable() const { return m_selectable; }
    bool isDragging() const { return m_dragging; }

    double trackX() const { return labelWidth + horizontalPadding; }
    double trackWidth() const;
    // The rows' axis.
    const QDateTime& spanStart() const { return m_spanStart; }
    double spanSeconds() const { return m_spanSeconds; }
    const QList<QDateTime>& hourMarkers() const { return m_hours; }
    // The markers whose labels are drawn at the present width: all of them when they fit, else every
    // 2nd, 3rd… hour (see HourLabelSpacing), so that no two labels overlap.
    QList<qsizetype> shownHourLabels() const;
    // The centre of the marker's text, in widget coordinates.
    double markerX(qsizetype index) const;

    const QList<TimelineBlock>& blocks() const { return m_blocks; }
    QRectF blockRect(qsizetype index) const { return m_blockRects[index]; }
    QString blockToolTip(qsizetype index) const;
    const QList<TimeEntry>& entries() const { return m_entries; }
    QRectF entryRect(qsizetype index) const { return m_entryRects[index]; }
    QString entryToolTip(qsizetype index) const;
    // The name drawn on the entry's block.
    QString entryName(qsizetype index) const;
    // The application rail and the ClickUp rail (empty without entries).
    QRectF appRail() const;
    QRectF clickUpRail() const;

    // The topmost block or entry under a point, -1 for none.
    qsizetype blockAt(const QPointF& point) const;
    qsizetype entryAt(const QPointF& point) const;
    qsizetype hoveredBlock() const { return m_hovered; }
    // The band of a drag in progress (empty otherwise).
    QRectF selectionBand() const;

Q_SIGNALS:
    void rangeSelected(const QDateTime& start, const QDateTime& end);
    void hoveredBlockChanged(qsizetype index);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    double contentTop() const;
    double rowTop(int row) const; // 0 scale, 1 applications, 2 ClickUp
    QRectF spanRect(const QDateTime& start, const QDateTime& end, const QRectF& rail) const;
    void relayout();
    void setHovered(qsizetype index);
    QDateTime selectionTime(double x) const;
    void finishDrag();

    QList<TimelineBlock> m_blocks;
    QList<TimeEntry> m_entries;
    QList<QDateTime> m_hours;
    QDateTime m_spanStart;
    qint64 m_spanStartMSecs = 0;
    double m_spanSeconds = 0;
    QDateTime m_selectionStart;
    double m_selectionSeconds = 0;
    bool m_selectable = true;

    QList<QRectF> m_blockRects;
    QList<QString> m_blockLabels; // as drawn, empty where no text fits
    QList<QRectF> m_entryRects;
    QList<QString> m_entryLabels;
    QList<QString> m_hourTexts;

    QFont m_labelFont;
    QFont m_scaleFont;
    QFont m_blockFont;

    qsizetype m_hovered = -1;
    bool m_pressed = false;
    QPointF m_pressPosition;
    bool m_dragging = false;
    double m_dragStartX = 0;
    double m_dragCurrentX = 0;
};
