#pragma once

#include "app/Log.h"

#include <QCoroTask>
#include <QString>

// Lets a task that nobody awaits (started by a button or a menu item) run on by itself: whatever it
// throws is logged as `failure` in the category and goes no further.
void runDetached(QCoro::Task<> task, const QString& failure, Log::Category category);
