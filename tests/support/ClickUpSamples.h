#pragma once

#include "services/clickup/ActiveTimer.h"
#include "services/clickup/TimeEntry.h"

#include <QDateTime>
#include <QString>

#include <optional>

// Sample ClickUp values for the tests of the states and views; their texts are made on the heap.

// A timer running on the task since `start`: entry id "timer-<taskId>", the task's page, and the name
// "Task <taskId>" unless one is given.
ActiveTimer timerOn(const QString& taskId, const QDateTime& start,
                    const std::optional<QString>& taskName = std::nullopt);

// A finished entry of `minutes` from `start`, on task "t-<id>" named "Task <id>".
TimeEntry finishedEntry(const QString& id, const QDateTime& start, qint64 minutes);

// How ClickUp lists the entry of the timer that still runs: it ends at its start and its duration is
// minus its start.
TimeEntry runningEntry(const QString& id, const QDateTime& start);
