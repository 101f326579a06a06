#include "ui/reports/FilterIndicatorBar.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/reports/DashboardText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

FilterIndicatorBar::FilterIndicatorBar(QWidget* parent)
    : QWidget(parent) {
    const QPalette& colors = palette();
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 8, 16, 8);
    row->setSpacing(8);
    row->addWidget(
        PopoverStyle::symbolLabel(QStringLiteral("view-filter"), 12, PopoverStyle::accent(colors), this));
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("filterText"));
    m_text->setFont(PopoverStyle::font(12, QFont::Medium));
    row->addWidget(m_text);
    row->addStretch(1);
    m_clear = PopoverStyle::plainButton(QStringLiteral("Clear"), QStringLiteral("edit-clear"), 11,
                                        PopoverStyle::secondaryText(colors), this);
    m_clear->setObjectName(QStringLiteral("clearFilter"));
    row->addWidget(m_clear);
    connect(m_clear, &QToolButton::clicked, this, &FilterIndicatorBar::clearRequested);
}

void FilterIndicatorBar::setRange(const QDateTime& start, const QDateTime& end) {
    m_text->setText(QStringLiteral("Filter: ") + dashboardtext::clockText(start) + QStringLiteral(" - ") +
                    dashboardtext::clockText(end));
}

QString FilterIndicatorBar::text() const {
    return m_text->text();
}

void FilterIndicatorBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), PopoverStyle::withAlpha(PopoverStyle::accent(palette()), 0.1));
}
