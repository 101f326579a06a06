#pragma once

#include "core/WorkDaySchedule.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QTimeEdit;

// One weekday of the working hours: a check box with the day's name (in the locale's language),
// then the start and end times while the day is on, or "Day off". Reports each edit by the user as
// the day's new schedule, unless the end is not after the start: such times are not reported, and
// the row says why until they are put right (switching the day on or off is still reported, with the
// times last reported).
class WorkDayRow : public QWidget {
    Q_OBJECT

public:
    static inline const QString invalidTimesText = QStringLiteral("End must be after start");

    // dayIndex: 0 Sunday, 1 Monday ... 6 Saturday.
    WorkDayRow(int dayIndex, const WorkDaySchedule& schedule, QWidget* parent = nullptr);

    int dayIndex() const { return m_dayIndex; }
    // What the row shows (the times possibly not reported).
    WorkDaySchedule shownSchedule() const;
    bool hasInvalidTimes() const;

Q_SIGNALS:
    void scheduleChanged(int dayIndex, const WorkDaySchedule& schedule);

private:
    void edited();
    void updateVisibility();

    const int m_dayIndex;
    // The schedule last reported (or given).
    WorkDaySchedule m_reported;
    QCheckBox* m_enabled;
    QTimeEdit* m_start;
    QLabel* m_dash;
    QTimeEdit* m_end;
    QLabel* m_dayOff;
    QLabel* m_invalid;
};
