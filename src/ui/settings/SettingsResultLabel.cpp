#include "ui/settings/SettingsResultLabel.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/settings/SettingsGlyphs.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>

namespace {
constexpr qreal captionSize = 10;
}

SettingsResultLabel::SettingsResultLabel(QWidget* parent)
    : QWidget(parent)
    , m_icon(new QLabel(this))
    , m_text(new QLabel(this)) {
    setObjectName(QStringLiteral("resultLabel"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_icon->setObjectName(QStringLiteral("resultIcon"));
    m_text->setObjectName(QStringLiteral("resultText"));
    m_text->setFont(PopoverStyle::font(captionSize));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Two lines of the caption font, always: a row beside buttons lays the line out for one line at
    // its widest, which cut the second line of a wrapped message. A longer message is cut, its whole
    // text is the tooltip.
    m_text->setFixedHeight(QFontMetrics(m_text->font()).lineSpacing() * 2 + 2);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(m_icon, 0, Qt::AlignTop);
    layout->addWidget(m_text, 1);
    hide();
}

void SettingsResultLabel::showSuccess(const QString& message) {
    showResult(true, message);
}

void SettingsResultLabel::showFailure(const QString& message) {
    showResult(false, message);
}

void SettingsResultLabel::showResult(bool success, const QString& message) {
    m_success = success;
    const int size = PopoverStyle::pixelSize(captionSize + 2);
    const QColor color = success ? PopoverStyle::green(palette()) : PopoverStyle::red(palette());
    const qreal dpr = devicePixelRatioF();
    m_icon->setPixmap(success ? SettingsGlyphs::checkmarkDisc(size, color, dpr)
                              : SettingsGlyphs::crossDisc(size, color, dpr));
    // The message takes the outcome's colour, like its symbol.
    PopoverStyle::setTextColor(m_text, color);
    m_text->setText(message);
    m_text->setToolTip(message);
    show();
}

void SettingsResultLabel::clear() {
    m_text->clear();
    m_text->setToolTip(QString());
    m_success = false;
    hide();
}

QString SettingsResultLabel::message() const {
    return isHidden() ? QString() : m_text->text();
}
