#pragma once

#include <QString>

class TimerState;

// The "Start Timer" action of a task row: starts a timer on the task with the given team id and
// silent-mode flag and returns at once; what follows (request, notification, error) is the timer
// state's.
void startTimerOnTask(TimerState& timer, const QString& teamId, bool silentModeActive, const QString& taskId);
