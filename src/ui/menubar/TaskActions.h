#pragma once

#include "ui/kit/TaskContextMenu.h"

#include <QString>
#include <QUrl>

#include <functional>

// What a task row asks of the application: a timer on its task, and its page in the in-app browser.
// The window that builds the rows binds both (MenuBarView::taskActions); a row keeps a copy.
struct TaskActions {
    // Starts a timer on the task and returns at once; what follows is the timer state's.
    std::function<void(const QString& taskId)> startTimer;
    // Opens a web address under a window title.
    TaskContextMenu::PageOpener openPage;

    // The context menu of a row of the task, whose "Start Timer" is startTimer and whose "Open in
    // ClickUp" is openPage; the caller owns it.
    TaskContextMenu* contextMenu(const QString& taskId, const QUrl& taskUrl) const;
};
