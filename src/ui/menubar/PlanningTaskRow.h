#pragma once

#include "services/tools/PlanningTask.h"
#include "ui/kit/TaskRowFrame.h"
#include "ui/menubar/TaskActions.h"

class QLabel;

// One planned task: its status dot, its cleaned name without the client part (30 characters at
// most: a longer one is cut to 27 and "...", the whole as tooltip) and its planned hours ("2.0h",
// none at 0). A timer starts only through the context menu's "Start Timer".
class PlanningTaskRow : public TaskRowFrame {
    Q_OBJECT

public:
    static constexpr int nameLimit = 30;

    PlanningTaskRow(TaskActions actions, const PlanningTask& task, QWidget* parent = nullptr);

    const PlanningTask& task() const { return m_task; }
    // cleanTaskName of the name without its client part.
    static QString displayName(const PlanningTask& task);
    // "%.1fh", or empty when no hours are planned.
    static QString hoursText(const PlanningTask& task);

    TaskContextMenu* createContextMenu() override;

private:
    TaskActions m_actions;
    PlanningTask m_task;
};
