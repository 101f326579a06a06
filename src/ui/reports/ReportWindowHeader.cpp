#include "ui/reports/ReportWindowHeader.h"

#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ReportWindowHeader::ReportWindowHeader(const QString& heading, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(12, 8, 12, 8);
    auto* title = new QLabel(heading, this);
    title->setObjectName(QStringLiteral("windowHeading"));
    title->setFont(PopoverStyle::font(13, QFont::DemiBold));
    row->addWidget(title);
    row->addStretch(1);
    m_date = new QLabel(this);
    m_date->setObjectName(QStringLiteral("headerDate"));
    m_date->setFont(PopoverStyle::font(12));
    PopoverStyle::setTextColor(m_date, PopoverStyle::secondaryText(palette()));
    row->addWidget(m_date);
    layout->addLayout(row);
    layout->addWidget(PopoverStyle::divider(this));
}
