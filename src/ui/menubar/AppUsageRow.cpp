#include "ui/menubar/AppUsageRow.h"

#include "core/ShareText.h"
#include "services/usage/UsageDuration.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/menubar/UsageShareBar.h"
#include "ui/menubar/UsageStyle.h"

#include <QHBoxLayout>
#include <QLabel>

AppUsageRow::AppUsageRow(const AppUsageBreakdown& breakdown, QWidget* parent)
    : QWidget(parent)
    , m_breakdown(breakdown) {
    const QPalette& colors = palette();
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("appIcon"));
    icon->setFixedSize(16, 16);
    icon->setAlignment(Qt::AlignCenter);
    const QIcon appIcon = breakdown.appIcon();
    if (!appIcon.isNull()) {
        icon->setPixmap(appIcon.pixmap(16, 16, QIcon::Normal));
    } else {
        icon->setPixmap(UsageStyle::genericAppIcon(12, this));
    }
    layout->addWidget(icon);

    m_name = new QLabel(this);
    m_name->setObjectName(QStringLiteral("appName"));
    m_name->setFont(PopoverStyle::font(11));
    m_name->setFixedWidth(80);
    m_name->setText(m_name->fontMetrics().elidedText(breakdown.appName, Qt::ElideRight, 80));
    m_name->setToolTip(breakdown.appName);
    layout->addWidget(m_name);

    m_bar = new UsageShareBar(breakdown.percentage / 100.0, UsageStyle::purple(colors), this);
    m_bar->setObjectName(QStringLiteral("shareBar"));
    layout->addWidget(m_bar, 1);

    m_duration = new QLabel(formatDuration(breakdown.duration), this);
    m_duration->setObjectName(QStringLiteral("appDuration"));
    m_duration->setFont(PopoverStyle::monospacedFont(10));
    m_duration->setFixedWidth(45);
    m_duration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PopoverStyle::setTextColor(m_duration, PopoverStyle::secondaryText(colors));
    layout->addWidget(m_duration);

    m_percentage = new QLabel(shareText(breakdown.percentage), this);
    m_percentage->setObjectName(QStringLiteral("appPercentage"));
    m_percentage->setFont(PopoverStyle::monospacedFont(9));
    m_percentage->setFixedWidth(28);
    m_percentage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PopoverStyle::setTextColor(m_percentage, PopoverStyle::tertiaryText(colors));
    layout->addWidget(m_percentage);
}
