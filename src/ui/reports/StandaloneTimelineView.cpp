#include "ui/reports/StandaloneTimelineView.h"

#include "services/dayplan/DayPlanningState.h"
#include "services/reports/ReportDate.h"
#include "services/usage/UsageDay.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/kit/PopoverStyle.h"
#include "ui/reports/ReportWindowHeader.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

StandaloneTimelineView::StandaloneTimelineView(const ReportContext& context, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("standaloneTimelineView"));
    setMinimumSize(900, 500);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new ReportWindowHeader(QStringLiteral("Day Planning Timeline"), this);
    m_date = header->dateLabel();
    layout->addWidget(header);
    m_planning = context.makePlanningView(this);
    layout->addWidget(m_planning, 1);

    DayPlanningState* plan = context.dayPlan;
    auto showDate = [this, plan] {
        m_date->setText(reportdate::longText(usageday::of(plan->selectedDate())));
    };
    connect(plan, &DayPlanningState::selectedDateChanged, this, showDate);
    showDate();
}
