#include "ui/reports/QuickCopyButton.h"

#include "ui/kit/PopoverStyle.h"

using namespace Qt::StringLiterals;

QuickCopyButton::QuickCopyButton(QString title, Content content, Put put, QWidget* parent)
    : QToolButton(parent)
    , m_title(std::move(title))
    , m_content(std::move(content))
    , m_put(std::move(put)) {
    setFont(PopoverStyle::font(11));
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    setCursor(Qt::PointingHandCursor);
    const int symbol = PopoverStyle::symbolSize(10, this);
    setIconSize(QSize(symbol, symbol));
    setStyleSheet(u"QuickCopyButton { background: %1; color: %2; border: none; border-radius: 6px;"
                  " padding: 6px 10px; }"
                  "QuickCopyButton:hover { background: %3; }"
                  "QuickCopyButton:disabled { color: %4; }"_s.arg(
                      PopoverStyle::controlBackground(palette()).name(QColor::HexArgb),
                      PopoverStyle::primaryText(palette()).name(QColor::HexArgb),
                      PopoverStyle::controlBackground(palette()).darker(106).name(QColor::HexArgb),
                      PopoverStyle::secondaryText(palette()).name(QColor::HexArgb)));
    m_feedback.setSingleShot(true);
    m_feedback.setInterval(feedbackMs);
    connect(&m_feedback, &QTimer::timeout, this, [this] { setShowCopied(false); });
    connect(this, &QToolButton::clicked, this, &QuickCopyButton::copy);
    setShowCopied(false);
}

void QuickCopyButton::copy() {
    if (m_showCopied || !m_put(m_content ? m_content() : QString())) {
        return;
    }
    setShowCopied(true);
    m_feedback.start();
    Q_EMIT copied();
}

void QuickCopyButton::setShowCopied(bool showCopied) {
    m_showCopied = showCopied;
    const QColor tint = PopoverStyle::primaryText(palette());
    setIcon(QIcon(PopoverStyle::symbol(showCopied ? u"object-select"_s : u"edit-copy"_s, 10, this, tint)));
    setText(showCopied ? u"Copied!"_s : m_title);
    setEnabled(!showCopied);
}
