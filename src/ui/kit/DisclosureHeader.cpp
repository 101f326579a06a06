#include "ui/kit/DisclosureHeader.h"

#include "ui/kit/ElidedLabel.h"
#include "ui/kit/RowStyle.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

DisclosureHeader::DisclosureHeader(qreal chevronPointSize, QWidget* parent)
    : QAbstractButton(parent)
    , m_chevronPointSize(chevronPointSize)
    , m_chevron(new QLabel(this))
    , m_row(new QHBoxLayout) {
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    m_chevron->setObjectName(QStringLiteral("chevron"));
    m_chevron->setAlignment(Qt::AlignCenter);
    layout->addWidget(m_chevron);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(6);
    layout->addLayout(m_row, 1);
    updateChevron();
}

void DisclosureHeader::setExpanded(bool expanded) {
    if (m_expanded != expanded) {
        m_expanded = expanded;
        updateChevron();
    }
}

QLabel* DisclosureHeader::addText(const QString& text, const QFont& font, std::optional<QColor> color) {
    auto* label = new ElidedLabel(text, this);
    label->setFont(font);
    if (color) {
        RowStyle::setTextColor(label, *color);
    }
    m_row->addWidget(label);
    return label;
}

QLabel* DisclosureHeader::addGlyph(const QString& iconName, qreal pointSize, const QColor& color) {
    auto* label = new QLabel(this);
    label->setPixmap(RowStyle::glyph(iconName, pointSize, color, this));
    label->setAlignment(Qt::AlignCenter);
    m_row->addWidget(label);
    return label;
}

void DisclosureHeader::paintEvent(QPaintEvent*) {
    // A plain button: only its label shows.
}

void DisclosureHeader::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        updateChevron();
    }
    QAbstractButton::changeEvent(event);
}

void DisclosureHeader::updateChevron() {
    m_chevron->setPixmap(RowStyle::glyph(m_expanded ? RowStyle::chevronDown : RowStyle::chevronRight,
                                         m_chevronPointSize, RowStyle::secondaryColor(palette()), this));
    m_chevron->setProperty("expanded", m_expanded);
}
