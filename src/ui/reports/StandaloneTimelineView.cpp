#include "ui/reports/StandaloneTimelineView.h"

#include "services/AppState.h"
#include "services/dayplan/DayPlanningState.h"
#include "services/reports/ReportDate.h"
#include "services/usage/UsageDay.h"
#include "ui/dayplan/DayPlanningView.h"
#include "ui/kit/PopoverStyle.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

StandaloneTimelineView::StandaloneTimelineView(const ReportContext& context, QWidget* parent)
    : QWidget(parent) {
    setObjectName(QStringLiteral("standaloneTimelineView"));
    setMinimumSize(900, 500);
    AppState& appState = *context.appState;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(12, 8, 12, 8);
    auto* title = new QLabel(QStringLiteral("Day Planning Timeline"), this);
    title->setObjectName(QStringLiteral("windowHeading"));
    title->setFont(PopoverStyle::font(13, QFont::DemiBold));
    header->addWidget(title);
    header->addStretch(1);
    m_date = new QLabel(this);
    m_date->setObjectName(QStringLiteral("headerDate"));
    m_date->setFont(PopoverStyle::font(12));
    PopoverStyle::setTextColor(m_date, PopoverStyle::secondaryText(palette()));
    header->addWidget(m_date);
    layout->addLayout(header);
    layout->addWidget(PopoverStyle::divider(this));
    m_planning = new DayPlanningView(appState, appState.configuration().teamId, this);
    layout->addWidget(m_planning, 1);

    DayPlanningState* plan = appState.dayPlanningState();
    auto showDate = [this, plan] {
        m_date->setText(reportdate::longText(usageday::of(plan->selectedDate())));
    };
    connect(plan, &DayPlanningState::selectedDateChanged, this, showDate);
    showDate();
}
