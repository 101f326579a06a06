#include "ui/menubar/ContentTabButton.h"

#include "ui/kit/PopoverStyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal symbolPointSize = 10;
constexpr qreal titlePointSize = 11;
constexpr int horizontalPadding = 12;
constexpr int verticalPadding = 6;
constexpr int spacing = 4;
constexpr qreal cornerRadius = 6;
} // namespace

ContentTabButton::ContentTabButton(ContentTab tab, bool isSelected, std::function<void()> action,
                                   QWidget* parent)
    : QAbstractButton(parent)
    , m_tab(tab)
    , m_isSelected(isSelected)
    , m_action(std::move(action)) {
    setText(ContentTabs::title(tab));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_action) {
            m_action();
        }
    });
}

void ContentTabButton::setSelected(bool selected) {
    if (m_isSelected == selected) {
        return;
    }
    m_isSelected = selected;
    updateGeometry();
    update();
}

QFont ContentTabButton::titleFont() const {
    return PopoverStyle::font(titlePointSize, m_isSelected ? QFont::DemiBold : QFont::Normal);
}

QSize ContentTabButton::sizeHint() const {
    const QFontMetrics metrics(titleFont());
    const int symbol = PopoverStyle::symbolSize(symbolPointSize, this);
    return QSize(2 * horizontalPadding + symbol + spacing + metrics.horizontalAdvance(text()),
                 2 * verticalPadding + qMax(symbol, metrics.height()));
}

QSize ContentTabButton::minimumSizeHint() const {
    return sizeHint();
}

void ContentTabButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (m_isSelected) {
        QPainterPath background;
        background.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
        painter.fillPath(background, PopoverStyle::withAlpha(PopoverStyle::accent(palette()), 0.15));
    }

    const QColor color =
        m_isSelected ? PopoverStyle::primaryText(palette()) : PopoverStyle::secondaryText(palette());
    const QFont font = titleFont();
    const QFontMetrics metrics(font);
    const int symbol = PopoverStyle::symbolSize(symbolPointSize, this);
    const int contentWidth = symbol + spacing + metrics.horizontalAdvance(text());
    const int left = (width() - contentWidth) / 2;
    const QPixmap pixmap = PopoverStyle::symbol(ContentTabs::symbolName(m_tab), symbolPointSize, this, color);
    painter.drawPixmap(QRect(left, (height() - symbol) / 2, symbol, symbol), pixmap);
    painter.setFont(font);
    painter.setPen(color);
    painter.drawText(QRect(left + symbol + spacing, 0, width() - left - symbol - spacing, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, text());
}
