#include "ui/reports/StandaloneDashboardView.h"

#include "core/DetachedTask.h"
#include "services/reports/ReportDate.h"
#include "services/reports/UsageReportState.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/reports/DashboardTabContent.h"
#include "ui/reports/ReportWindowHeader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QVBoxLayout>

StandaloneDashboardView::StandaloneDashboardView(const ReportContext& context, QWidget* parent)
    : QWidget(parent)
    , m_state(new UsageReportState(*context.loader, this)) {
    setObjectName(QStringLiteral("standaloneDashboardView"));
    setMinimumSize(700, 400);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new ReportWindowHeader(QStringLiteral("Dashboard"), this);
    m_date = header->dateLabel();
    layout->addWidget(header);
    m_content = new DashboardTabContent(context, *m_state, this);
    layout->addWidget(m_content, 1);

    auto showDate = [this] { m_date->setText(reportdate::longText(m_state->selectedDate())); };
    connect(m_state, &UsageReportState::selectedDateChanged, this, showDate);
    showDate();
}

void StandaloneDashboardView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!m_hasAppeared && !event->spontaneous()) {
        m_hasAppeared = true;
        runDetached(m_state->appear(), QStringLiteral("Opening the dashboard failed"),
                    Log::Category::storage);
    }
}
