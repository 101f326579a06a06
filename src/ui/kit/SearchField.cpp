#include "ui/kit/SearchField.h"

#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace {
constexpr qreal pointSize = 11;
constexpr int padding = 6;
constexpr int spacing = 6;
constexpr qreal cornerRadius = 6;
} // namespace

SearchField::SearchField(QWidget* parent)
    : QWidget(parent)
    , m_lineEdit(new QLineEdit(this))
    , m_clearButton(nullptr) {
    const QColor secondary = PopoverStyle::secondaryText(palette());
    QLabel* magnifier = PopoverStyle::symbolLabel(QStringLiteral("edit-find"), pointSize, secondary, this);

    m_lineEdit->setObjectName(QStringLiteral("filterLineEdit"));
    m_lineEdit->setPlaceholderText(QStringLiteral("Filter tasks..."));
    m_lineEdit->setFont(PopoverStyle::font(pointSize));
    m_lineEdit->setFrame(false);
    m_lineEdit->setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; border: none; padding: 0px; }"));

    m_clearButton =
        PopoverStyle::plainButton(QString(), QStringLiteral("edit-clear"), pointSize, secondary, this);
    m_clearButton->setObjectName(QStringLiteral("clearFilterButton"));
    m_clearButton->setToolTip(QStringLiteral("Clear"));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(padding, padding, padding, padding);
    layout->setSpacing(spacing);
    layout->addWidget(magnifier, 0, Qt::AlignVCenter);
    layout->addWidget(m_lineEdit, 1, Qt::AlignVCenter);
    layout->addWidget(m_clearButton, 0, Qt::AlignVCenter);

    connect(m_lineEdit, &QLineEdit::textEdited, this, &SearchField::textEdited);
    connect(m_clearButton, &QToolButton::clicked, this, &SearchField::clearRequested);
    setText(QString());
}

void SearchField::setText(const QString& text) {
    if (m_lineEdit->text() != text) {
        m_lineEdit->setText(text);
    }
    m_clearButton->setVisible(!text.isEmpty());
}

void SearchField::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    background.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(background, PopoverStyle::controlBackground(palette()));
}
