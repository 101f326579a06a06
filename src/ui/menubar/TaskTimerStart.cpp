#include "ui/menubar/TaskTimerStart.h"

#include "core/DetachedTask.h"
#include "services/AppState.h"
#include "services/clickup/TimerState.h"
#include "ui/kit/TaskContextMenu.h"

void startTimerOnTask(AppState& appState, const QString& taskId) {
    runDetached(appState.timerState()->startTimer(appState.configuration().teamId, taskId,
                                                  appState.silentModeActive()),
                QStringLiteral("Starting the timer failed"), Log::Category::timer);
}

TaskContextMenu* taskContextMenu(AppState& appState, const QString& taskId, const QUrl& taskUrl) {
    AppState* state = &appState;
    return new TaskContextMenu(
        taskId, taskUrl, [state, taskId] { startTimerOnTask(*state, taskId); },
        [state](const QUrl& url, const QString& title) { state->openPage(url, title); });
}
