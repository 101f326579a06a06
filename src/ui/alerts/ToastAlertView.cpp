#include "ui/alerts/ToastAlertView.h"

#include "ui/alerts/AlertHub.h"
#include "ui/alerts/SnoozeMenu.h"
#include "ui/kit/AlertIcons.h"
#include "ui/kit/PopoverStyle.h"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <QVBoxLayout>

ToastAlertView::ToastAlertView(QWidget* parent)
    : AlertCardView(12, 1, parent)
    , m_snoozeButton(new QToolButton(this))
    , m_snoozeMenu(new SnoozeMenu(this))
    , m_snoozeOpacity(new QGraphicsOpacityEffect(m_snoozeButton)) {
    const qreal ratio = devicePixelRatioF();
    auto* icon = new QLabel(this);
    icon->setPixmap(AlertIcons::pixmap(QStringLiteral("dialog-warning"), 26, ratio));
    icon->setFixedSize(26, 26);

    auto* title = new QLabel(QStringLiteral("No Timer Running"), this);
    title->setFont(font(14, QFont::DemiBold));
    auto* subtitle = new QLabel(QStringLiteral("Click to start tracking your time"), this);
    subtitle->setFont(font(12));
    const QColor secondary = PopoverStyle::secondaryText(palette());
    PopoverStyle::setTextColor(subtitle, secondary);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(title);
    texts->addWidget(subtitle);

    m_snoozeButton->setObjectName(QStringLiteral("snoozeButton"));
    m_snoozeButton->setToolTip(QStringLiteral("Snooze"));
    m_snoozeButton->setAutoRaise(true);
    m_snoozeButton->setFocusPolicy(Qt::NoFocus);
    m_snoozeButton->setIcon(AlertIcons::pixmap(QStringLiteral("window-close"), 12, ratio, secondary));
    m_snoozeButton->setIconSize(QSize(12, 12));
    m_snoozeButton->setPopupMode(QToolButton::InstantPopup);
    m_snoozeButton->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0; }"));
    m_snoozeButton->setMenu(m_snoozeMenu);
    m_snoozeOpacity->setOpacity(0.6);
    m_snoozeButton->setGraphicsEffect(m_snoozeOpacity);
    connect(this, &AlertCardView::hoveringChanged, this,
            [this](bool hovering) { m_snoozeOpacity->setOpacity(hovering ? 1.0 : 0.6); });
    connect(m_snoozeMenu, &SnoozeMenu::chosen, this, &ToastAlertView::postDismiss);

    setCursor(Qt::PointingHandCursor);
    m_snoozeButton->setCursor(Qt::ArrowCursor);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(12);
    row->addWidget(icon, 0, Qt::AlignVCenter);
    row->addLayout(texts);
    row->addStretch(1);
    row->addWidget(m_snoozeButton, 0, Qt::AlignVCenter);
}

void ToastAlertView::postDismiss(double seconds) {
    if (m_dismissed) {
        return;
    }
    m_dismissed = true;
    m_snoozeButton->setEnabled(false);
    AlertHub::instance().postDismissToastAlert(seconds);
}

void ToastAlertView::mousePressEvent(QMouseEvent* event) {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ToastAlertView::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) {
        emit clicked();
    }
}

QBrush ToastAlertView::borderBrush(const QRectF&) const {
    return PopoverStyle::withAlpha(PopoverStyle::orange(palette()), 0.3);
}
