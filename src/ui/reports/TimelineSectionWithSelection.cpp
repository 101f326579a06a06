#include "ui/reports/TimelineSectionWithSelection.h"

#include "services/usage/DailyUsageSummary.h"
#include "ui/kit/HourLabelSpacing.h"
#include "ui/kit/PlainToolTip.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/reports/DashboardText.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {
constexpr double scaleHeight = 20;
constexpr double rowHeight = 28;
constexpr double rowSpacing = 4;
constexpr double railInset = 2; // the 24-high rail inside its 28-high row
constexpr double blockTextPadding = 4;
constexpr int maximumHourMarkers = 24 * 400;
constexpr double narrowBlockWidth = 8;

struct Axis {
    QDateTime start;
    QDateTime end;
};

// The span the rows draw: the summary's range rounded out to full hours; a day without sessions and
// without a filter spans its calendar day.
Axis axisOf(const DailyUsageSummary& summary) {
    if (!summary.filterStart && !summary.filterEnd && summary.sessions.isEmpty()) {
        const QDateTime start = summary.date.startOfDay();
        return {start, start.addSecs(86400)};
    }
    return {summary.rangeStart(), summary.rangeEnd()};
}

double secondsBetween(const QDateTime& from, const QDateTime& to) {
    return double(from.msecsTo(to)) / 1000.0;
}

QString elided(const QFontMetrics& metrics, const QString& text, double width) {
    if (width < metrics.averageCharWidth()) {
        return {};
    }
    return metrics.elidedText(text, Qt::ElideRight, int(width));
}
} // namespace

TimelineSectionWithSelection::TimelineSectionWithSelection(QWidget* parent)
    : QWidget(parent) {
    m_labelFont = PopoverStyle::font(9, QFont::Medium);
    m_scaleFont = PopoverStyle::font(9);
    m_blockFont = PopoverStyle::font(8, QFont::Medium);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(56);
    setMinimumWidth(200);
}

void TimelineSectionWithSelection::setContent(const DailyUsageSummary& summary,
                                              const DailyUsageSummary& filtered,
                                              const QList<TimeEntry>& entries, bool selectable) {
    const Axis whole = axisOf(summary);
    m_selectionStart = whole.start;
    m_selectionSeconds = secondsBetween(whole.start, whole.end);

    const Axis shown = axisOf(filtered);
    m_spanStart = shown.start;
    m_spanSeconds = secondsBetween(shown.start, shown.end);
    m_spanStartMSecs = shown.start.toMSecsSinceEpoch();
    m_hours.clear();
    if (shown.end > shown.start) {
        for (QDateTime hour = shown.start; hour <= shown.end && m_hours.size() < maximumHourMarkers;
             hour = hour.addSecs(3600)) {
            m_hours.append(hour);
        }
    }
    m_hourTexts.clear();
    m_hourTexts.reserve(m_hours.size());
    for (const QDateTime& hour : m_hours) {
        m_hourTexts.append(dashboardtext::clockText(hour));
    }

    m_blocks = filtered.timelineBlocks();
    m_entries = entries;
    m_selectable = selectable;
    if (!selectable) {
        m_pressed = false;
        m_dragging = false;
        m_dragStartX = 0;
        m_dragCurrentX = 0;
    }
    m_hovered = -1;
    setFixedHeight(m_entries.isEmpty() ? 56 : 84);
    relayout();
    update();
}

QList<qsizetype> TimelineSectionWithSelection::shownHourLabels() const {
    QList<qsizetype> shown;
    if (m_hours.isEmpty()) {
        return shown;
    }
    const QFontMetricsF metrics(m_scaleFont);
    double widest = 0;
    for (const QString& text : m_hourTexts) {
        widest = std::max(widest, metrics.horizontalAdvance(text) + 2);
    }
    const double pixelsPerHour = m_spanSeconds > 0 ? trackWidth() / (m_spanSeconds / 3600.0) : 0;
    const int step = HourLabelSpacing::step(pixelsPerHour, widest);
    for (qsizetype i = 0; i < m_hours.size(); ++i) {
        if (HourLabelSpacing::isShown(m_hours[i].time().hour(), step)) {
            shown.append(i);
        }
    }
    return shown;
}

double TimelineSectionWithSelection::trackWidth() const {
    return std::max(0.0, double(width()) - labelWidth - 2.0 * horizontalPadding - 10.0);
}

double TimelineSectionWithSelection::contentTop() const {
    const double content =
        scaleHeight + rowSpacing + rowHeight + (m_entries.isEmpty() ? 0 : rowSpacing + rowHeight);
    return (double(height()) - content) / 2.0;
}

double TimelineSectionWithSelection::rowTop(int row) const {
    const double top = contentTop();
    switch (row) {
    case 0:
        return top;
    case 1:
        return top + scaleHeight + rowSpacing;
    default:
        return top + scaleHeight + rowSpacing + rowHeight + rowSpacing;
    }
}

QRectF TimelineSectionWithSelection::appRail() const {
    return QRectF(trackX(), rowTop(1) + railInset, trackWidth(), rowHeight - 2 * railInset);
}

QRectF TimelineSectionWithSelection::clickUpRail() const {
    if (m_entries.isEmpty()) {
        return {};
    }
    return QRectF(trackX(), rowTop(2) + railInset, trackWidth(), rowHeight - 2 * railInset);
}

double TimelineSectionWithSelection::markerX(qsizetype index) const {
    if (!(m_spanSeconds > 0)) {
        return trackX();
    }
    return trackX() + secondsBetween(m_spanStart, m_hours[index]) / m_spanSeconds * trackWidth();
}

QRectF TimelineSectionWithSelection::spanRect(const QDateTime& start, const QDateTime& end,
                                              const QRectF& rail) const {
    // Without a positive span every block lies at the track's start at the least width.
    double position = 0;
    double share = 0;
    if (m_spanSeconds > 0) {
        // Each moment is converted once (a local time costs a time-zone lookup).
        const qint64 from = start.toMSecsSinceEpoch();
        position = double(from - m_spanStartMSecs) / 1000.0 / m_spanSeconds;
        share = double(end.toMSecsSinceEpoch() - from) / 1000.0 / m_spanSeconds;
    }
    double blockWidth = share * rail.width();
    if (!(blockWidth > minimumBlockWidth)) {
        blockWidth = minimumBlockWidth;
    }
    return QRectF(rail.left() + position * rail.width(), rail.top(), blockWidth, rail.height());
}

void TimelineSectionWithSelection::relayout() {
    const QFontMetrics metrics(m_blockFont);
    const QRectF apps = appRail();
    m_blockRects.resize(m_blocks.size());
    m_blockLabels.resize(m_blocks.size());
    for (qsizetype i = 0; i < m_blocks.size(); ++i) {
        const TimelineBlock& block = m_blocks[i];
        m_blockRects[i] = spanRect(block.startTime, block.endTime, apps);
        m_blockLabels[i] = elided(metrics, block.label, m_blockRects[i].width() - 2 * blockTextPadding);
    }
    const QRectF clickUp = clickUpRail();
    m_entryRects.resize(m_entries.size());
    m_entryLabels.resize(m_entries.size());
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const TimeEntry& entry = m_entries[i];
        m_entryRects[i] = spanRect(entry.startTime, entry.endTime, clickUp);
        m_entryLabels[i] = elided(metrics, dashboardtext::clickUpBlockName(entry.taskName),
                                  m_entryRects[i].width() - 2 * blockTextPadding);
    }
}

QString TimelineSectionWithSelection::blockToolTip(qsizetype index) const {
    const TimelineBlock& block = m_blocks[index];
    return block.label + QLatin1Char('\n') + dashboardtext::blockTimeRangeText(block);
}

QString TimelineSectionWithSelection::entryToolTip(qsizetype index) const {
    const TimeEntry& entry = m_entries[index];
    return entry.taskName + QLatin1Char('\n') + entry.timeRangeText();
}

QString TimelineSectionWithSelection::entryName(qsizetype index) const {
    return dashboardtext::clickUpBlockName(m_entries[index].taskName);
}

qsizetype TimelineSectionWithSelection::blockAt(const QPointF& point) const {
    for (qsizetype i = m_blockRects.size() - 1; i >= 0; --i) {
        if (m_blockRects[i].contains(point)) {
            return i;
        }
    }
    return -1;
}

qsizetype TimelineSectionWithSelection::entryAt(const QPointF& point) const {
    for (qsizetype i = m_entryRects.size() - 1; i >= 0; --i) {
        if (m_entryRects[i].contains(point)) {
            return i;
        }
    }
    return -1;
}

QRectF TimelineSectionWithSelection::selectionBand() const {
    if (!m_dragging) {
        return {};
    }
    const double left = std::min(m_dragStartX, m_dragCurrentX);
    const double bandWidth = std::max(std::abs(m_dragCurrentX - m_dragStartX), 2.0);
    return QRectF(left, 0, bandWidth, height());
}

void TimelineSectionWithSelection::setHovered(qsizetype index) {
    if (index == m_hovered) {
        return;
    }
    const qsizetype previous = m_hovered;
    m_hovered = index;
    // Only the two blocks (with their glow) are drawn again.
    for (const qsizetype changed : {previous, index}) {
        if (changed >= 0 && changed < m_blockRects.size()) {
            update(m_blockRects[changed].adjusted(-6, -6, 6, 6).toAlignedRect());
        }
    }
    Q_EMIT hoveredBlockChanged(index);
}

QDateTime TimelineSectionWithSelection::selectionTime(double x) const {
    const double track = trackWidth();
    const double offset = std::clamp(x - trackX(), 0.0, track);
    const double seconds = offset / std::max(track, 1.0) * m_selectionSeconds;
    return m_selectionStart.addMSecs(qint64(std::llround(seconds * 1000.0)));
}

void TimelineSectionWithSelection::finishDrag() {
    m_dragging = false;
    const QDateTime start = selectionTime(std::min(m_dragStartX, m_dragCurrentX));
    const QDateTime end = selectionTime(std::max(m_dragStartX, m_dragCurrentX));
    m_dragStartX = 0;
    m_dragCurrentX = 0;
    update();
    if (secondsBetween(start, end) >= minimumSelectionSeconds) {
        Q_EMIT rangeSelected(start, end);
    }
}

void TimelineSectionWithSelection::mousePressEvent(QMouseEvent* event) {
    if (!m_selectable || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_pressPosition = event->position();
    event->accept();
}

void TimelineSectionWithSelection::mouseMoveEvent(QMouseEvent* event) {
    const QPointF position = event->position();
    if (m_pressed && !m_dragging) {
        const QPointF moved = position - m_pressPosition;
        if (std::hypot(moved.x(), moved.y()) >= minimumDragDistance) {
            m_dragging = true;
            m_dragStartX = m_pressPosition.x();
            setHovered(-1);
            QToolTip::hideText();
        }
    }
    if (m_dragging) {
        m_dragCurrentX = position.x();
        update();
        return;
    }
    setHovered(blockAt(position));
}

void TimelineSectionWithSelection::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_pressed = false;
    if (m_dragging) {
        m_dragCurrentX = event->position().x();
        finishDrag();
    }
}

void TimelineSectionWithSelection::leaveEvent(QEvent* event) {
    setHovered(-1);
    QWidget::leaveEvent(event);
}

void TimelineSectionWithSelection::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    relayout();
}

bool TimelineSectionWithSelection::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPointF point = help->pos();
        qsizetype index = m_dragging ? -1 : blockAt(point);
        if (index >= 0) {
            QToolTip::showText(help->globalPos(), plainToolTip(blockToolTip(index)), this,
                               m_blockRects[index].toAlignedRect());
            return true;
        }
        index = m_dragging ? -1 : entryAt(point);
        if (index >= 0) {
            QToolTip::showText(help->globalPos(), plainToolTip(entryToolTip(index)), this,
                               m_entryRects[index].toAlignedRect());
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}

void TimelineSectionWithSelection::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colors = palette();
    const QRectF exposed = QRectF(event->rect());
    const QRectF whole = QRectF(rect());

    painter.setPen(Qt::NoPen);
    painter.setBrush(PopoverStyle::withAlpha(PopoverStyle::controlBackground(colors), 0.5));
    painter.drawRoundedRect(whole, 8, 8);

    // Label column.
    painter.setFont(m_labelFont);
    painter.setPen(PopoverStyle::secondaryText(colors));
    const auto label = [&](int row, double height, const QString& text) {
        painter.drawText(QRectF(horizontalPadding, rowTop(row), labelWidth, height),
                         Qt::AlignLeft | Qt::AlignVCenter, text);
    };
    label(0, scaleHeight, QStringLiteral("TIME"));
    label(1, rowHeight, QStringLiteral("APPS"));
    if (!m_entries.isEmpty()) {
        label(2, rowHeight, QStringLiteral("CLICKUP"));
    }

    // Hour scale: each text centred on its hour.
    painter.setFont(m_scaleFont);
    painter.setPen(PopoverStyle::tertiaryText(colors));
    const QFontMetricsF scaleMetrics(m_scaleFont);
    const double scaleCentre = rowTop(0) + 2 + 8;
    for (const qsizetype i : shownHourLabels()) {
        const double textWidth = scaleMetrics.horizontalAdvance(m_hourTexts[i]) + 2;
        painter.drawText(QRectF(markerX(i) - textWidth / 2, scaleCentre - 8, textWidth, 16), Qt::AlignCenter,
                         m_hourTexts[i]);
    }

    const QColor rail = PopoverStyle::withAlpha(PopoverStyle::separator(colors), 0.3);
    const QColor white = PopoverStyle::withAlpha(Qt::white, 0.9);
    painter.setFont(m_blockFont);

    // Application row.
    painter.setPen(Qt::NoPen);
    painter.setBrush(rail);
    painter.drawRoundedRect(appRail(), 4, 4);
    // A crowded day is mostly blocks a few pixels wide, whose rounding nobody sees: they are filled
    // as whole-pixel rectangles without antialiasing, which keeps a repaint of thousands cheap.
    const QRectF reach = exposed.adjusted(-6, -6, 6, 6);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (qsizetype i = 0; i < m_blocks.size(); ++i) {
        const QRectF& box = m_blockRects[i];
        if (box.width() >= narrowBlockWidth || i == m_hovered || !box.intersects(reach)) {
            continue;
        }
        painter.fillRect(box.toAlignedRect(), PopoverStyle::withAlpha(m_blocks[i].color, 0.85));
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (qsizetype i = 0; i < m_blocks.size(); ++i) {
        const QRectF& box = m_blockRects[i];
        if ((box.width() < narrowBlockWidth && i != m_hovered) || !box.intersects(reach)) {
            continue;
        }
        const QColor& color = m_blocks[i].color;
        painter.setPen(Qt::NoPen);
        if (i == m_hovered) {
            painter.setBrush(PopoverStyle::withAlpha(color, 0.25));
            painter.drawRoundedRect(box.adjusted(-3, -3, 3, 3), 6, 6);
            painter.setBrush(color);
        } else {
            painter.setBrush(PopoverStyle::withAlpha(color, 0.85));
        }
        painter.drawRoundedRect(box, 4, 4);
        if (!m_blockLabels[i].isEmpty()) {
            painter.setPen(white);
            painter.drawText(box.adjusted(blockTextPadding, 0, -blockTextPadding, 0), Qt::AlignCenter,
                             m_blockLabels[i]);
        }
    }

    // ClickUp row.
    if (!m_entries.isEmpty()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(rail);
        painter.drawRoundedRect(clickUpRail(), 4, 4);
        const QColor green = PopoverStyle::withAlpha(PopoverStyle::green(colors), 0.8);
        for (qsizetype i = 0; i < m_entries.size(); ++i) {
            const QRectF& box = m_entryRects[i];
            if (!box.intersects(exposed)) {
                continue;
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(green);
            painter.drawRoundedRect(box, 4, 4);
            if (!m_entryLabels[i].isEmpty()) {
                painter.setPen(white);
                painter.drawText(box.adjusted(blockTextPadding, 0, -blockTextPadding, 0), Qt::AlignCenter,
                                 m_entryLabels[i]);
            }
        }
    }

    if (m_dragging) {
        const QColor accent = PopoverStyle::accent(colors);
        painter.setPen(QPen(accent, 1));
        painter.setBrush(PopoverStyle::withAlpha(accent, 0.25));
        painter.drawRoundedRect(selectionBand().adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    }
}
