#include "ui/kit/PopoverStyle.h"

#include "ui/kit/AlertIcons.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFrame>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

int PopoverStyle::pixelSize(qreal designSize) {
    return qMax(1, qRound(designSize));
}

QFont PopoverStyle::font(qreal designSize, QFont::Weight weight) {
    QFont result = QApplication::font();
    result.setPixelSize(pixelSize(designSize));
    result.setWeight(weight);
    return result;
}

QFont PopoverStyle::monospacedFont(qreal designSize, QFont::Weight weight) {
    QFont result = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    result.setPixelSize(pixelSize(designSize));
    result.setWeight(weight);
    return result;
}

bool PopoverStyle::isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor PopoverStyle::orange(const QPalette& palette) {
    return isDark(palette) ? QColor(0xFF, 0x9F, 0x0A) : QColor(0xFF, 0x95, 0x00);
}

QColor PopoverStyle::green(const QPalette& palette) {
    return isDark(palette) ? QColor(0x30, 0xD1, 0x58) : QColor(0x34, 0xC7, 0x59);
}

QColor PopoverStyle::red(const QPalette& palette) {
    return isDark(palette) ? QColor(0xFF, 0x45, 0x3A) : QColor(0xFF, 0x3B, 0x30);
}

QColor PopoverStyle::primaryText(const QPalette& palette) {
    return palette.color(QPalette::WindowText);
}

QColor PopoverStyle::secondaryText(const QPalette& palette) {
    return withAlpha(primaryText(palette), 0.6);
}

QColor PopoverStyle::tertiaryText(const QPalette& palette) {
    return withAlpha(primaryText(palette), 0.4);
}

QColor PopoverStyle::separator(const QPalette& palette) {
    return withAlpha(primaryText(palette), 0.12);
}

QColor PopoverStyle::controlBackground(const QPalette& palette) {
    return palette.color(QPalette::Base);
}

QColor PopoverStyle::accent(const QPalette& palette) {
    return palette.color(QPalette::Highlight);
}

QColor PopoverStyle::withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(float(color.alphaF() * alpha));
    return color;
}

int PopoverStyle::symbolSize(qreal designSize, const QWidget*) {
    return pixelSize(designSize);
}

QPixmap PopoverStyle::symbol(const QString& name, qreal pointSize, const QWidget* widget,
                             std::optional<QColor> tint) {
    const qreal ratio = widget ? widget->devicePixelRatioF() : 1.0;
    return AlertIcons::pixmap(name, symbolSize(pointSize, widget), ratio, tint);
}

QLabel* PopoverStyle::symbolLabel(const QString& name, qreal pointSize, std::optional<QColor> tint,
                                  QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setPixmap(symbol(name, pointSize, parent, tint));
    label->setFixedSize(symbolSize(pointSize, parent), symbolSize(pointSize, parent));
    return label;
}

QToolButton* PopoverStyle::plainButton(const QString& text, const QString& symbolName, qreal pointSize,
                                       const QColor& color, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setFont(font(pointSize));
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::NoFocus);
    if (!symbolName.isEmpty()) {
        const int size = symbolSize(pointSize, parent);
        button->setIcon(QIcon(symbol(symbolName, pointSize, parent, color)));
        button->setIconSize(QSize(size, size));
    }
    button->setToolButtonStyle(text.isEmpty()         ? Qt::ToolButtonIconOnly
                               : symbolName.isEmpty() ? Qt::ToolButtonTextOnly
                                                      : Qt::ToolButtonTextBesideIcon);
    button->setStyleSheet(QStringLiteral("QToolButton { border: none; background: transparent; padding: 0px;"
                                         " color: %1; }"
                                         "QToolButton:hover { color: %2; }"
                                         "QToolButton:disabled { color: %3; }")
                              .arg(color.name(QColor::HexArgb),
                                   primaryText(button->palette()).name(QColor::HexArgb),
                                   tertiaryText(button->palette()).name(QColor::HexArgb)));
    return button;
}

void PopoverStyle::setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    palette.setColor(QPalette::Text, color);
    palette.setColor(QPalette::ButtonText, color);
    widget->setPalette(palette);
}

QString PopoverStyle::filledButtonStyleSheet(const QColor& fill) {
    return QStringLiteral("QPushButton { background: %1; color: white; border: none; border-radius: 6px;"
                          " padding: 4px 10px; }"
                          "QPushButton:hover { background: %2; }"
                          "QPushButton:pressed { background: %3; }")
        .arg(fill.name(), fill.lighter(110).name(), fill.darker(115).name());
}

QFrame* PopoverStyle::divider(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setLineWidth(1);
    line->setFixedHeight(1);
    setTextColor(line, separator(line->palette()));
    return line;
}

QWidget* PopoverStyle::padded(QWidget* content, int horizontal, int top, int bottom, QWidget* parent) {
    auto* container = new QWidget(parent);
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(horizontal, top, horizontal, bottom);
    layout->setSpacing(0);
    layout->addWidget(content);
    return container;
}
