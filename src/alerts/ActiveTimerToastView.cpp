#include "alerts/ActiveTimerToastView.h"

#include "alerts/AlertIcons.h"
#include "menubar/ElidedLabel.h"

#include <QFontDatabase>
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
    name->setToolTip(taskName);
    name->setObjectName(QStringLiteral("taskNameLabel"));
    name->setFont(font(12));
    QPalette secondary = name->palette();
    secondary.setColor(QPalette::WindowText, secondaryText(palette()));
    name->setPalette(secondary);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(title);
    texts->addWidget(name);

    auto* elapsed = new QLabel(elapsedTime, this);
    elapsed->setObjectName(QStringLiteral("elapsedLabel"));
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setPixelSize(16);
    mono.setWeight(QFont::Bold);
    elapsed->setFont(mono);
    QPalette greenText = elapsed->palette();
    greenText.setColor(QPalette::WindowText, green(palette()));
    elapsed->setPalette(greenText);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 16, 16, 16);
    row->setSpacing(12);
    row->addWidget(icon, 0, Qt::AlignVCenter);
    row->addLayout(texts, 1);
    row->addWidget(elapsed, 0, Qt::AlignVCenter);
}

QBrush ActiveTimerToastView::borderBrush(const QRectF&) const {
    QColor border = green(palette());
    border.setAlphaF(0.3f);
    return border;
}
