#include "ui/alerts/NoTimerAlertView.h"

#include "ui/alerts/PulseIconView.h"
#include "ui/alerts/SnoozeMenu.h"
#include "ui/kit/AlertIcons.h"
#include "ui/kit/PopoverStyle.h"

#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

void later(std::function<void()> action) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(action), Qt::QueuedConnection);
}
} // namespace

NoTimerAlertView::NoTimerAlertView(std::function<void()> onStartTimer, std::function<void(double)> onDismiss,
                                   QWidget* parent)
    : AlertCardView(16, 2, parent)
    , m_onStartTimer(std::move(onStartTimer))
    , m_onDismiss(std::move(onDismiss))
    , m_iconSlot(new QWidget(this))
    , m_openTimerButton(new QPushButton(QStringLiteral("Open Timer"), this))
    , m_dismissButton(new QToolButton(this))
    , m_dismissMenu(new SnoozeMenu(this))
    , m_pulseIcon(new PulseIconView(this)) {
    const qreal ratio = devicePixelRatioF();
    // The pulsing icon lies over this slot, centred on it, so that its pulse may grow past it.
    m_iconSlot->setFixedSize(PulseFrames::circleSize, PulseFrames::circleSize);
    m_iconSlot->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_iconSlot->installEventFilter(this);
    m_pulseIcon->raise();

    auto* title = new QLabel(QStringLiteral("No Timer Running"), this);
    title->setFont(font(18, QFont::Bold));
    title->setAlignment(Qt::AlignHCenter);
    auto* subtitle = new QLabel(QStringLiteral("Start tracking your time now!"), this);
    subtitle->setFont(font(13));
    subtitle->setAlignment(Qt::AlignHCenter);
    PopoverStyle::setTextColor(subtitle, PopoverStyle::secondaryText(palette()));

    m_openTimerButton->setObjectName(QStringLiteral("openTimerButton"));
    m_openTimerButton->setFocusPolicy(Qt::NoFocus);
    m_openTimerButton->setCursor(Qt::PointingHandCursor);
    m_openTimerButton->setIcon(
        AlertIcons::pixmap(QStringLiteral("media-playback-start"), 12, ratio, QColor(Qt::white)));
    m_openTimerButton->setIconSize(QSize(12, 12));
    m_openTimerButton->setMinimumWidth(120);
    m_openTimerButton->setFont(font(13, QFont::Medium));
    m_openTimerButton->setStyleSheet(PopoverStyle::filledButtonStyleSheet(PopoverStyle::green(palette())));
    connect(m_openTimerButton, &QPushButton::clicked, this, [this] {
        if (m_onStartTimer) {
            later(m_onStartTimer);
        }
    });

    m_dismissButton->setObjectName(QStringLiteral("dismissButton"));
    m_dismissButton->setText(QStringLiteral("Dismiss"));
    m_dismissButton->setFont(font(13));
    m_dismissButton->setFocusPolicy(Qt::NoFocus);
    m_dismissButton->setAutoRaise(true);
    m_dismissButton->setPopupMode(QToolButton::InstantPopup);
    m_dismissButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_dismissButton->setStyleSheet(QStringLiteral("QToolButton { padding: 2px 20px 2px 8px; }"
                                                  "QToolButton::menu-indicator { subcontrol-origin: padding;"
                                                  " subcontrol-position: right center; right: 6px; }"));
    m_dismissButton->setMenu(m_dismissMenu);
    connect(m_dismissMenu, &SnoozeMenu::chosen, this, [this](double seconds) {
        if (m_onDismiss) {
            later([callback = m_onDismiss, seconds] { callback(seconds); });
        }
    });

    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    texts->addWidget(title);
    texts->addWidget(subtitle);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch(1);
    buttons->addWidget(m_openTimerButton, 0, Qt::AlignVCenter);
    buttons->addWidget(m_dismissButton, 0, Qt::AlignVCenter);
    buttons->addStretch(1);

    // The content is centred; where the card is too short for the 24 px margins, the margins above
    // and below give way first.
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 0, 24, 0);
    column->setSpacing(16);
    column->addStretch(1);
    column->addWidget(m_iconSlot, 0, Qt::AlignHCenter);
    column->addLayout(texts);
    column->addLayout(buttons);
    column->addStretch(1);
}

void NoTimerAlertView::setCallbacks(std::function<void()> onStartTimer,
                                    std::function<void(double)> onDismiss) {
    m_onStartTimer = std::move(onStartTimer);
    m_onDismiss = std::move(onDismiss);
}

bool NoTimerAlertView::isPulsing() const {
    return m_pulseIcon->isRunning();
}

qreal NoTimerAlertView::pulse() const {
    return m_pulseIcon->swell();
}

void NoTimerAlertView::setPulsePaused(bool paused) {
    m_pulseIcon->setPaused(paused);
}

bool NoTimerAlertView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_iconSlot && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        m_pulseIcon->centreOn(m_iconSlot->geometry().center());
    }
    return AlertCardView::eventFilter(watched, event);
}

QBrush NoTimerAlertView::borderBrush(const QRectF& card) const {
    const QColor orange = PopoverStyle::orange(palette());
    QLinearGradient gradient(card.topLeft(), card.bottomLeft());
    gradient.setColorAt(0, PopoverStyle::withAlpha(orange, 0.6));
    gradient.setColorAt(1, PopoverStyle::withAlpha(orange, 0.3));
    return gradient;
}
