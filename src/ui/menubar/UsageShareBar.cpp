#include "ui/menubar/UsageShareBar.h"

#include "ui/kit/PopoverStyle.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>

UsageShareBar::UsageShareBar(double share, const QColor& color, QWidget* parent)
    : QWidget(parent)
    , m_share(share)
    , m_color(color) {
    setFixedHeight(6);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int UsageShareBar::fillWidth() const {
    return int(width() * std::clamp(m_share, 0.0, 1.0));
}

void UsageShareBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(PopoverStyle::withAlpha(m_color, 0.15));
    painter.drawRoundedRect(rect(), 2, 2);
    const int fill = fillWidth();
    if (fill > 0) {
        painter.setBrush(PopoverStyle::withAlpha(m_color, 0.7));
        painter.drawRoundedRect(QRect(0, 0, fill, height()), 2, 2);
    }
}
