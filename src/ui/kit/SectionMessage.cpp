#include "ui/kit/SectionMessage.h"

#include "ui/kit/ElidedLabel.h"
#include "ui/kit/ProgressIndicator.h"
#include "ui/kit/RowStyle.h"

#include <QHBoxLayout>
#include <QLabel>

SectionMessage::SectionMessage(Kind kind, const QString& text, int indent, QWidget* parent)
    : QWidget(parent)
    , m_kind(kind)
    , m_label(kind == Kind::error ? new QLabel(text, this) : new ElidedLabel(text, this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(indent, 0, 0, 0);
    layout->setSpacing(6);
    const qreal pointSize = kind == Kind::error ? 10 : 11;
    if (kind == Kind::loading) {
        layout->addWidget(new ProgressIndicator(10, this));
    } else if (kind == Kind::error) {
        auto* sign = new QLabel(this);
        sign->setObjectName(QStringLiteral("warningSign"));
        // The warning sign keeps its own colours (orange in ours).
        sign->setPixmap(RowStyle::icon(RowStyle::warningGlyph, 10, this));
        sign->setAlignment(Qt::AlignTop);
        layout->addWidget(sign, 0, Qt::AlignTop);
    }
    m_label->setObjectName(QStringLiteral("messageText"));
    m_label->setTextFormat(Qt::PlainText);
    m_label->setFont(RowStyle::font(pointSize));
    RowStyle::setTextColor(m_label, RowStyle::secondaryColor(palette()));
    // Errors may be long: they wrap.
    m_label->setWordWrap(kind == Kind::error);
    layout->addWidget(m_label, 1);
}

QString SectionMessage::text() const {
    return m_label->text();
}
