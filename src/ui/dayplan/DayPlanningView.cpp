#include "ui/dayplan/DayPlanningView.h"

#include "core/Clock.h"
#include "core/DetachedTask.h"
#include "services/dayplan/DayPlanningState.h"
#include "ui/dayplan/AvailableTasksList.h"
#include "ui/dayplan/DayPlanningTimeline.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QTimer>

using namespace Qt::StringLiterals;

DayPlanningView::DayPlanningView(DayPlanningSources sources, QWidget* parent)
    : QWidget(parent)
    , m_sources(std::move(sources))
    , m_midnight(new QTimer(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_list = new AvailableTasksList(m_sources, this);
    m_list->setMinimumWidth(AvailableTasksList::leastWidth);
    m_list->setMaximumWidth(AvailableTasksList::preferredWidth);
    m_list->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    layout->addWidget(m_list);
    auto* divider = new QFrame(this);
    divider->setFrameShape(QFrame::VLine);
    layout->addWidget(divider);
    m_timeline = new DayPlanningTimeline(m_sources.dayPlan, this);
    layout->addWidget(m_timeline, 1);

    m_midnight->setSingleShot(true);
    connect(m_midnight, &QTimer::timeout, this, [this] {
        DayPlanningState& state = m_sources.dayPlan;
        const QDate today = Clock::now().date();
        if (state.selectedDate().toLocalTime().date() == today.addDays(-1)) {
            runDetached(state.setSelectedDate(Clock::now()), u"Day change failed"_s, Log::Category::ui);
        }
        scheduleMidnight();
    });
}

void DayPlanningView::scheduleMidnight() {
    const QDateTime now = Clock::now();
    const qint64 wait = now.msecsTo(now.date().addDays(1).startOfDay()) + 1000;
    m_midnight->start(int(std::min<qint64>(wait, 24LL * 3600 * 1000)));
}

void DayPlanningView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    runDetached(m_sources.dayPlan.openToday(m_sources.teamId()), u"Loading the day plan failed"_s,
                Log::Category::ui);
    scheduleMidnight();
}
