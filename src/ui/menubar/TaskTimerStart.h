#pragma once

#include <QString>
#include <QUrl>

class AppState;
class TaskContextMenu;

// The "Start Timer" action of a task row: starts a timer on the task with the team id of the
// configuration and the silent-mode flag as they are at this moment, and returns at once; what
// follows (request, notification, error) is the timer state's.
void startTimerOnTask(AppState& appState, const QString& taskId);

// The context menu of a row of the task, whose "Start Timer" is startTimerOnTask and whose "Open in
// ClickUp" opens the page through the root state; the caller owns it.
TaskContextMenu* taskContextMenu(AppState& appState, const QString& taskId, const QUrl& taskUrl);
