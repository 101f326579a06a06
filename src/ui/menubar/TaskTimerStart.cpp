#include "ui/menubar/TaskTimerStart.h"

#include "core/DetachedTask.h"
#include "services/clickup/TimerState.h"

void startTimerOnTask(TimerState& timer, const QString& teamId, bool silentModeActive,
                      const QString& taskId) {
    runDetached(timer.startTimer(teamId, taskId, silentModeActive),
                QStringLiteral("Starting the timer failed"), Log::Category::timer);
}
