#include "ui/alerts/ActiveTimerToastView.h"
#include "ui/kit/PlainToolTip.h"

#include "ui/kit/AlertIcons.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

ActiveTimerToastView::ActiveTimerToastView(const QString& taskName, const QString& elapsedTime,
                                           QWidget* parent)
    : AlertCardView(12, 1, parent)
    , m_taskName(taskName)
    , m_elapsedTime(elapsedTime) {
    auto* icon = new QLabel(this);
    icon->setPixmap(AlertIcons::pixmap(QStringLiteral("media-record"), 24, devicePixelRatioF()));
    icon->setFixedSize(24, 24);

    auto* title = new QLabel(QStringLiteral("Timer Running"), this);
    title->setFont(font(14, QFont::DemiBold));
    auto* name = new ElidedLabel(taskName, this);
    name->setToolTip(plainToolTip(taskName));
    name->setObjectName(QStringLiteral("taskNameLabel"));
    name->setFont(font(12));
    PopoverStyle::setTextColor(name, PopoverStyle::secondaryText(palette()));
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(title);
    texts->addWidget(name);

    auto* elapsed = new QLabel(elapsedTime, this);
    elapsed->setObjectName(QStringLiteral("elapsedLabel"));
    elapsed->setFont(PopoverStyle::monospacedFont(16, QFont::Bold));
    PopoverStyle::setTextColor(elapsed, PopoverStyle::green(palette()));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(12);
    row->addWidget(icon, 0, Qt::AlignVCenter);
    row->addLayout(texts, 1);
    row->addWidget(elapsed, 0, Qt::AlignVCenter);
}

QBrush ActiveTimerToastView::borderBrush(const QRectF&) const {
    return PopoverStyle::withAlpha(PopoverStyle::green(palette()), 0.3);
}
