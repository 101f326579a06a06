#include "ui/reports/BreakdownCard.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/reports/EmptyBreakdownView.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

BreakdownCard::BreakdownCard(const QString& title, const QString& iconName, QWidget* parent)
    : QFrame(parent)
    , m_iconName(iconName) {
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(12, 12, 12, 12);
    m_layout->setSpacing(8);
    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    QLabel* symbol = PopoverStyle::symbolLabel(iconName, 12, PopoverStyle::secondaryText(palette()), this);
    symbol->setObjectName(QStringLiteral("cardIcon"));
    header->addWidget(symbol);
    m_title = new QLabel(title, this);
    m_title->setObjectName(QStringLiteral("cardTitle"));
    m_title->setFont(PopoverStyle::font(12, QFont::DemiBold));
    header->addWidget(m_title);
    header->addStretch(1);
    m_layout->addLayout(header);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
}

QString BreakdownCard::title() const {
    return m_title->text();
}

void BreakdownCard::setContent(QWidget* content) {
    if (m_content) {
        return;
    }
    m_content = content;
    content->setParent(this);
    m_layout->addWidget(content);
}

void BreakdownCard::setRows(UsageRowList::Style style, QList<UsageRowList::Row> rows,
                            const QColor& markerColor, const QString& emptyMessage) {
    if (rows.isEmpty()) {
        setContent(new EmptyBreakdownView(emptyMessage, this));
    } else {
        setContent(new UsageRowList(style, std::move(rows), markerColor, this));
    }
}

UsageRowList* BreakdownCard::rowList() const {
    return qobject_cast<UsageRowList*>(m_content);
}

EmptyBreakdownView* BreakdownCard::emptyView() const {
    return qobject_cast<EmptyBreakdownView*>(m_content);
}

void BreakdownCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(PopoverStyle::withAlpha(PopoverStyle::controlBackground(palette()), 0.5));
    painter.drawRoundedRect(QRectF(rect()), 8, 8);
}
