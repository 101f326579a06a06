#pragma once

#include "core/Log.h"

#include <QCoroTask>
#include <QPointer>
#include <QString>

// Awaits the task and keeps whatever it throws: the failure is logged as `failure` in the category
// and goes no further, so the returned task never throws.
QCoro::Task<> settled(QCoro::Task<> task, QString failure, Log::Category category);

// Lets a task that nobody awaits (started by a button, a menu item, a timer or a signal) run on by
// itself: whatever it throws is logged as `failure` in the category and goes no further.
void runDetached(QCoro::Task<> task, const QString& failure, Log::Category category);

// A task that runs work(*object) when it starts and the object still lives, and does nothing once
// the object is gone: for callbacks that must not keep their owner alive. work returns a task.
template <typename T, typename Work>
QCoro::Task<> whileAlive(QPointer<T> object, Work work) {
    if (object) {
        co_await work(*object);
    }
}
