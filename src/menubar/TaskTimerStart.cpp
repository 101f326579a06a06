#include "menubar/TaskTimerStart.h"

#include "app/AppState.h"
#include "app/Log.h"
#include "clickup/TimerState.h"
#include "menubar/TaskContextMenu.h"

#include <QCoroTask>
#include <QPointer>

namespace {
// Nobody awaits this task: it keeps whatever goes wrong to itself.
QCoro::Task<> startDetached(QPointer<TimerState> timerState, QString teamId, QString taskId, bool silent) {
    if (!timerState) {
        co_return;
    }
    try {
        co_await timerState->startTimer(teamId, taskId, silent);
    } catch (const std::exception& error) {
        Log::error(QStringLiteral("Starting the timer failed"), Log::Category::timer, error);
    } catch (...) {
        Log::error(QStringLiteral("Starting the timer failed"), Log::Category::timer);
    }
}
} // namespace

void startTimerOnTask(AppState& appState, const QString& taskId) {
    startDetached(appState.timerState(), appState.configuration().teamId, taskId,
                  appState.silentModeActive());
}

TaskContextMenu* taskContextMenu(AppState& appState, const QString& taskId, const QUrl& taskUrl) {
    AppState* state = &appState;
    return new TaskContextMenu(taskId, taskUrl, [state, taskId] { startTimerOnTask(*state, taskId); });
}
