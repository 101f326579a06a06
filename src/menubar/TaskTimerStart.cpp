#include "menubar/TaskTimerStart.h"

#include "app/AppState.h"
#include "clickup/TimerState.h"
#include "menubar/DetachedTask.h"
#include "menubar/TaskContextMenu.h"

void startTimerOnTask(AppState& appState, const QString& taskId) {
    runDetached(appState.timerState()->startTimer(appState.configuration().teamId, taskId,
                                                  appState.silentModeActive()),
                QStringLiteral("Starting the timer failed"), Log::Category::timer);
}

TaskContextMenu* taskContextMenu(AppState& appState, const QString& taskId, const QUrl& taskUrl) {
    AppState* state = &appState;
    return new TaskContextMenu(taskId, taskUrl, [state, taskId] { startTimerOnTask(*state, taskId); });
}
