#include "ui/dayplan/DayPlanningTimeline.h"

#include "ui/dayplan/DayTimelineGrid.h"
#include "ui/dayplan/TimelineHeader.h"
#include "ui/kit/PopoverStyle.h"

#include <QScrollArea>
#include <QVBoxLayout>

DayPlanningTimeline::DayPlanningTimeline(DayPlanningState& state, QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_header = new TimelineHeader(state, this);
    layout->addWidget(m_header);
    layout->addWidget(PopoverStyle::divider(this));
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_grid = new DayTimelineGrid(state, m_scroll);
    m_scroll->setWidget(m_grid);
    layout->addWidget(m_scroll, 1);
}

QSize DayPlanningTimeline::minimumSizeHint() const {
    // At least 400 wide, and never narrower than its header needs.
    return QWidget::minimumSizeHint().expandedTo(QSize(400, 0));
}
