#include "ui/reports/EmptyBreakdownView.h"

#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>

EmptyBreakdownView::EmptyBreakdownView(const QString& message, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 20, 0, 20);
    m_message = new QLabel(message, this);
    m_message->setObjectName(QStringLiteral("emptyMessage"));
    m_message->setFont(PopoverStyle::font(11));
    m_message->setAlignment(Qt::AlignCenter);
    PopoverStyle::setTextColor(m_message, PopoverStyle::tertiaryText(palette()));
    layout->addStretch(1);
    layout->addWidget(m_message);
    layout->addStretch(1);
}

QString EmptyBreakdownView::message() const {
    return m_message->text();
}
