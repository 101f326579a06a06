#include "ui/reports/AccessibilityWarningBanner.h"

#include "ui/kit/AlertIcons.h"
#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

const QString AccessibilityWarningBanner::title = QStringLiteral("Window Titles Cannot Be Read");
const QString AccessibilityWarningBanner::message =
    QStringLiteral("Window title tracking needs to read the titles of other applications' windows to "
                   "capture document names and browser tabs. Without it, only app names are shown.");
const QString AccessibilityWarningBanner::explanation =
    QStringLiteral("Window titles are read from the X11 display: the session must run on X11 (or "
                   "XWayland for X11 applications) with a window manager that publishes the active "
                   "window (_NET_ACTIVE_WINDOW). Start Pendlow in such a session; the banner goes away "
                   "once titles can be read.");

namespace {
const QColor orange(255, 149, 0);
}

AccessibilityWarningBanner::AccessibilityWarningBanner(QWidget* parent)
    : QWidget(parent)
    , m_grant(new QPushButton(QStringLiteral("Grant Access"), this)) {
    setObjectName(QStringLiteral("accessibilityWarningBanner"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(12, 12 + 3, 12, 12);
    row->setSpacing(12);
    row->addWidget(PopoverStyle::symbolLabel(QStringLiteral("dialog-warning"), 16, orange, this), 0,
                   Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(2);
    auto* heading = new QLabel(title, this);
    heading->setObjectName(QStringLiteral("bannerTitle"));
    heading->setFont(PopoverStyle::font(12, QFont::DemiBold));
    auto* body = new QLabel(message, this);
    body->setObjectName(QStringLiteral("bannerMessage"));
    body->setFont(PopoverStyle::font(11));
    body->setWordWrap(true);
    texts->addWidget(heading);
    texts->addWidget(body);
    row->addLayout(texts, 1);
    m_grant->setObjectName(QStringLiteral("grantAccessButton"));
    m_grant->setIcon(AlertIcons::pixmap(QStringLiteral("security-high"), PopoverStyle::pixelSize(12),
                                        devicePixelRatioF(), QColor(Qt::white)));
    m_grant->setFont(PopoverStyle::font(11, QFont::Medium));
    m_grant->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border-radius: 5px;"
                                          " padding: 4px 10px; }")
                               .arg(orange.name()));
    row->addWidget(m_grant, 0, Qt::AlignVCenter);
    connect(m_grant, &QPushButton::clicked, this, &AccessibilityWarningBanner::grantRequested);
}

void AccessibilityWarningBanner::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    QPainter painter(this);
    QColor tint = orange;
    tint.setAlphaF(0.1f);
    painter.fillRect(rect(), tint);
    painter.fillRect(QRect(0, 0, width(), 3), orange);
}
