#include "ui/settings/WorkDayRow.h"

#include "ui/kit/PopoverStyle.h"
#include "ui/settings/SettingsFormStyle.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QTimeEdit>

namespace {
constexpr int nameWidth = 80;
constexpr int timeWidth = 70;

QTimeEdit* timeEdit(const QString& objectName, const QTime& time, QWidget* parent) {
    auto* edit = new QTimeEdit(time, parent);
    edit->setObjectName(objectName);
    edit->setDisplayFormat(QStringLiteral("HH:mm"));
    edit->setMinimumWidth(timeWidth);
    edit->setKeyboardTracking(false);
    return edit;
}
} // namespace

WorkDayRow::WorkDayRow(int dayIndex, const WorkDaySchedule& schedule, QWidget* parent)
    : QWidget(parent)
    , m_dayIndex(dayIndex)
    , m_reported(schedule)
    // Qt counts the days from Monday (1) to Sunday (7).
    , m_enabled(new QCheckBox(QLocale().dayName(dayIndex == 0 ? 7 : dayIndex), this))
    , m_start(timeEdit(QStringLiteral("startTime"), schedule.startTime(), this))
    , m_dash(new QLabel(QStringLiteral("-"), this))
    , m_end(timeEdit(QStringLiteral("endTime"), schedule.endTime(), this))
    , m_dayOff(SettingsFormStyle::caption(QStringLiteral("Day off"), this))
    , m_invalid(new QLabel(invalidTimesText, this)) {
    setObjectName(QStringLiteral("workDayRow%1").arg(dayIndex));
    m_enabled->setObjectName(QStringLiteral("dayEnabled"));
    m_enabled->setChecked(schedule.isEnabled);
    m_enabled->setFixedWidth(nameWidth + 24);
    m_dayOff->setObjectName(QStringLiteral("dayOffLabel"));
    m_dayOff->setWordWrap(false);
    PopoverStyle::setTextColor(m_dash, PopoverStyle::secondaryText(palette()));
    m_invalid->setObjectName(QStringLiteral("invalidTimesLabel"));
    m_invalid->setFont(PopoverStyle::font(SettingsFormStyle::captionSize));
    PopoverStyle::setTextColor(m_invalid, PopoverStyle::red(palette()));

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(m_enabled);
    layout->addWidget(m_start);
    layout->addWidget(m_dash);
    layout->addWidget(m_end);
    layout->addWidget(m_dayOff);
    layout->addWidget(m_invalid);
    layout->addStretch();

    connect(m_enabled, &QCheckBox::toggled, this, &WorkDayRow::edited);
    connect(m_start, &QTimeEdit::timeChanged, this, &WorkDayRow::edited);
    connect(m_end, &QTimeEdit::timeChanged, this, &WorkDayRow::edited);
    updateVisibility();
}

WorkDaySchedule WorkDayRow::shownSchedule() const {
    WorkDaySchedule schedule = m_reported;
    schedule.isEnabled = m_enabled->isChecked();
    schedule.setStartTime(m_start->time());
    schedule.setEndTime(m_end->time());
    return schedule;
}

bool WorkDayRow::hasInvalidTimes() const {
    return m_end->time() <= m_start->time();
}

void WorkDayRow::edited() {
    WorkDaySchedule next = shownSchedule();
    if (hasInvalidTimes()) {
        // Keep the times last reported; only the day's switch goes through.
        next.startHour = m_reported.startHour;
        next.startMinute = m_reported.startMinute;
        next.endHour = m_reported.endHour;
        next.endMinute = m_reported.endMinute;
    }
    updateVisibility();
    if (next == m_reported) {
        return;
    }
    m_reported = next;
    emit scheduleChanged(m_dayIndex, next);
}

void WorkDayRow::updateVisibility() {
    const bool on = m_enabled->isChecked();
    m_start->setVisible(on);
    m_dash->setVisible(on);
    m_end->setVisible(on);
    m_dayOff->setVisible(!on);
    m_invalid->setVisible(on && hasInvalidTimes());
}
