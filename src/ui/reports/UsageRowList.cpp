#include "ui/reports/UsageRowList.h"

#include "ui/kit/PlainToolTip.h"
#include "ui/kit/PopoverStyle.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {
constexpr int durationWidth = 50;
constexpr int dotSize = 6;
constexpr int iconFrame = 16;
constexpr int contextIndent = 8;
} // namespace

UsageRowList::UsageRowList(Style style, QList<Row> rows, const QColor& markerColor, QWidget* parent)
    : QWidget(parent)
    , m_style(style)
    , m_rows(std::move(rows))
    , m_markerColor(markerColor) {
    const bool context = m_style == Style::context;
    m_durationFont = PopoverStyle::monospacedFont(context ? 10 : 11);
    m_textFont = PopoverStyle::font(context ? 10 : 12);
    m_rowHeight = std::max(QFontMetrics(m_durationFont).height(), QFontMetrics(m_textFont).height());
    if (m_style == Style::icon) {
        m_rowHeight = std::max(m_rowHeight, PopoverStyle::symbolSize(10, this));
    }
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(sizeHint().height());
}

int UsageRowList::spacing() const {
    return m_style == Style::context ? 2 : 6;
}

QSize UsageRowList::sizeHint() const {
    const qsizetype count = m_rows.size();
    const int height = count == 0 ? 0 : int(count * m_rowHeight + (count - 1) * spacing());
    return {durationWidth + 120, height};
}

QSize UsageRowList::minimumSizeHint() const {
    return {durationWidth + 40, sizeHint().height()};
}

QRect UsageRowList::rowRect(qsizetype index) const {
    return QRect(0, int(index * (m_rowHeight + spacing())), width(), m_rowHeight);
}

qsizetype UsageRowList::rowAt(const QPoint& point) const {
    if (point.y() < 0 || point.x() < 0 || point.x() >= width()) {
        return -1;
    }
    const qsizetype index = point.y() / (m_rowHeight + spacing());
    return index < m_rows.size() && rowRect(index).contains(point) ? index : -1;
}

QRect UsageRowList::textRect(qsizetype index) const {
    const QRect row = rowRect(index);
    int x = row.left();
    switch (m_style) {
    case Style::dot:
        x += durationWidth + 8 + dotSize + 8;
        break;
    case Style::icon:
        x += durationWidth + 8 + iconFrame + 8;
        break;
    case Style::context:
        x += contextIndent + durationWidth + 6;
        break;
    }
    return QRect(x, row.top(), std::max(0, row.right() - x), row.height());
}

QString UsageRowList::drawnText(qsizetype index) const {
    return QFontMetrics(m_textFont).elidedText(m_rows[index].text, Qt::ElideRight, textRect(index).width());
}

QPixmap UsageRowList::icon(const QString& name) {
    auto found = m_icons.constFind(name);
    if (found == m_icons.cend()) {
        found = m_icons.insert(name, PopoverStyle::symbol(name, 10, this, m_markerColor));
    }
    return *found;
}

bool UsageRowList::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const qsizetype index = rowAt(help->pos());
        if (index >= 0 && !m_rows[index].toolTip.isEmpty()) {
            QToolTip::showText(help->globalPos(), plainToolTip(m_rows[index].toolTip), this, rowRect(index));
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void UsageRowList::paintEvent(QPaintEvent* event) {
    if (m_rows.isEmpty()) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& colors = palette();
    const bool context = m_style == Style::context;
    const QColor durationColor =
        context ? PopoverStyle::tertiaryText(colors) : PopoverStyle::secondaryText(colors);
    const QColor textColor =
        context ? PopoverStyle::secondaryText(colors) : PopoverStyle::primaryText(colors);
    const int pitch = m_rowHeight + spacing();
    const qsizetype first = std::max(0, event->rect().top() / pitch);
    const qsizetype last = std::min<qsizetype>(m_rows.size() - 1, event->rect().bottom() / pitch);
    for (qsizetype i = first; i <= last; ++i) {
        const QRect row = rowRect(i);
        const Row& entry = m_rows[i];
        const int durationLeft = row.left() + (context ? contextIndent : 0);
        painter.setFont(m_durationFont);
        painter.setPen(durationColor);
        painter.drawText(QRect(durationLeft, row.top(), durationWidth, row.height()),
                         Qt::AlignRight | Qt::AlignVCenter, entry.duration);
        const int markerLeft = durationLeft + durationWidth + 8;
        if (m_style == Style::dot) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(m_markerColor);
            painter.drawEllipse(QRectF(markerLeft, row.center().y() + 0.5 - dotSize / 2.0, dotSize, dotSize));
        } else if (m_style == Style::icon) {
            const QPixmap pixmap = icon(entry.iconName);
            const QSizeF size = pixmap.deviceIndependentSize();
            painter.drawPixmap(QPointF(markerLeft + (iconFrame - size.width()) / 2.0,
                                       row.top() + (row.height() - size.height()) / 2.0),
                               pixmap);
        }
        painter.setFont(m_textFont);
        painter.setPen(textColor);
        painter.drawText(textRect(i), Qt::AlignLeft | Qt::AlignVCenter, drawnText(i));
    }
}
