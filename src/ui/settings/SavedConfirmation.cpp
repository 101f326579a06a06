#include "ui/settings/SavedConfirmation.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/settings/SettingsGlyphs.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

SavedConfirmation::SavedConfirmation(QWidget* parent)
    : QWidget(parent)
    , m_timer(new QTimer(this)) {
    setObjectName(QStringLiteral("savedConfirmation"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    auto* icon = new QLabel(this);
    const int size = PopoverStyle::pixelSize(13);
    icon->setPixmap(SettingsGlyphs::checkmarkDisc(size, PopoverStyle::green(palette()), devicePixelRatioF()));
    auto* text = new QLabel(QStringLiteral("Saved"), this);
    text->setObjectName(QStringLiteral("savedText"));
    QPalette green = text->palette();
    green.setColor(QPalette::WindowText, PopoverStyle::green(palette()));
    text->setPalette(green);
    layout->addWidget(icon);
    layout->addWidget(text);
    m_timer->setSingleShot(true);
    m_timer->setInterval(durationMs);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
    hide();
}

void SavedConfirmation::flash() {
    show();
    m_timer->start();
}

void SavedConfirmation::dismiss() {
    m_timer->stop();
    hide();
}
