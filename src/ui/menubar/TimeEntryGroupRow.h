#pragma once

#include "services/clickup/TimeEntryGroup.h"
#include "ui/kit/TaskRowFrame.h"
#include "ui/menubar/TaskActions.h"

class QLabel;

// One task of the worked-on list: its status dot, its name as stored (35 characters at most: a
// longer one is cut to 32 and "..."), and its total time today as "%02d:%02d". Its context menu
// starts a timer on the task, opens it or copies its id.
class TimeEntryGroupRow : public TaskRowFrame {
    Q_OBJECT

public:
    static constexpr int nameLimit = 35;

    TimeEntryGroupRow(TaskActions actions, const TimeEntryGroup& group, QWidget* parent = nullptr);

    const TimeEntryGroup& group() const { return m_group; }
    QString nameText() const;
    QString durationText() const;

    TaskContextMenu* createContextMenu() override;

private:
    TaskActions m_actions;
    TimeEntryGroup m_group;
    QLabel* m_name;
    QLabel* m_duration;
};
