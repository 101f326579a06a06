#include "ui/reports/ExpandableAppRow.h"

#include "services/usage/AppColor.h"
#include "services/usage/DailyUsageSummary.h"
#include "services/usage/UsageDuration.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/menubar/UsageShareBar.h"
#include "ui/reports/DashboardText.h"
#include "ui/reports/UsageRowList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

ExpandableAppRow::ExpandableAppRow(const AppUsageBreakdown& app, const DailyUsageSummary& summary,
                                   QWidget* parent)
    : QWidget(parent)
    , m_app(app)
    , m_contexts(summary.contextDetails(app.appId)) {
    const QPalette& colors = palette();
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 2, 0, 2);
    column->setSpacing(2);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    m_duration = new QLabel(formatDuration(app.duration), this);
    m_duration->setObjectName(QStringLiteral("appDuration"));
    m_duration->setFont(PopoverStyle::monospacedFont(11));
    m_duration->setFixedWidth(50);
    m_duration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PopoverStyle::setTextColor(m_duration, PopoverStyle::secondaryText(colors));
    header->addWidget(m_duration);

    m_bar = new UsageShareBar(app.percentage / 100.0, appColor(app.appId), this);
    m_bar->setObjectName(QStringLiteral("shareBar"));
    m_bar->setFixedSize(barWidth, 12);
    header->addWidget(m_bar);

    const QIcon appIcon = app.appIcon();
    if (!appIcon.isNull()) {
        m_icon = new QLabel(this);
        m_icon->setObjectName(QStringLiteral("appIcon"));
        m_icon->setFixedSize(16, 16);
        m_icon->setPixmap(appIcon.pixmap(16, 16));
        header->addWidget(m_icon);
    }

    m_name = new ElidedLabel(app.appName, this);
    m_name->setObjectName(QStringLiteral("appName"));
    m_name->setFont(PopoverStyle::font(12));
    header->addWidget(m_name, 1);

    if (!m_contexts.isEmpty()) {
        m_chevron = new QLabel(this);
        m_chevron->setObjectName(QStringLiteral("chevron"));
        header->addWidget(m_chevron);
        updateChevron();
    }
    column->addLayout(header);
    setCursor(Qt::PointingHandCursor);
}

void ExpandableAppRow::updateChevron() {
    if (!m_chevron) {
        return;
    }
    const QString name =
        m_expanded ? QStringLiteral("pan-down-symbolic") : QStringLiteral("pan-end-symbolic");
    m_chevron->setPixmap(PopoverStyle::symbol(name, 9, this, PopoverStyle::tertiaryText(palette())));
    m_chevron->setProperty("symbolName", name);
}

void ExpandableAppRow::toggle() {
    m_expanded = !m_expanded;
    if (!m_contexts.isEmpty()) {
        if (!m_contextBox) {
            QList<UsageRowList::Row> rows;
            rows.reserve(m_contexts.size());
            for (const ContextDetail& detail : m_contexts) {
                rows.append({detail.formattedDuration(),
                             dashboardtext::contextDisplayText(detail.context),
                             detail.context,
                             {}});
            }
            m_contextBox = new QWidget(this);
            auto* box = new QVBoxLayout(m_contextBox);
            box->setContentsMargins(0, 4, 0, 2);
            m_contextList =
                new UsageRowList(UsageRowList::Style::context, std::move(rows), QColor(), m_contextBox);
            m_contextList->setObjectName(QStringLiteral("contextList"));
            box->addWidget(m_contextList);
            layout()->addWidget(m_contextBox);
        }
        m_contextBox->setVisible(m_expanded);
    }
    updateChevron();
}

void ExpandableAppRow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->position().y() < m_duration->geometry().bottom() + 4) {
        toggle();
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
