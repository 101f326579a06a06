#include "ui/kit/TagLabel.h"

#include "ui/kit/RowStyle.h"

#include <QPainter>

TagLabel::TagLabel(const QString& text, qreal pointSize, QMargins padding, qreal fillOpacity,
                   qreal cornerRadius, QWidget* parent)
    : QLabel(text, parent)
    , m_padding(padding)
    , m_fillOpacity(fillOpacity)
    , m_cornerRadius(cornerRadius) {
    setTextFormat(Qt::PlainText);
    setFont(RowStyle::font(pointSize));
    setAlignment(Qt::AlignCenter);
    RowStyle::setTextColor(this, RowStyle::secondaryColor(palette()));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

TagLabel* TagLabel::count(int value, QWidget* parent) {
    auto* label = new TagLabel(QString::number(value), 10, QMargins(6, 2, 6, 2), 0.2, -1, parent);
    label->setObjectName(QStringLiteral("countBadge"));
    return label;
}

QSize TagLabel::sizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + m_padding.left() + m_padding.right(),
            metrics.height() + m_padding.top() + m_padding.bottom()};
}

void TagLabel::paintEvent(QPaintEvent* event) {
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const QPalette& colours = parentWidget() ? parentWidget()->palette() : palette();
        painter.setBrush(RowStyle::withOpacity(RowStyle::secondaryColor(colours), m_fillOpacity));
        const qreal radius = m_cornerRadius < 0 ? height() / 2.0 : m_cornerRadius;
        painter.drawRoundedRect(QRectF(rect()), radius, radius);
    }
    QLabel::paintEvent(event);
}
