#include "ui/menubar/TaskActions.h"

TaskContextMenu* TaskActions::contextMenu(const QString& taskId, const QUrl& taskUrl) const {
    return new TaskContextMenu(
        taskId, taskUrl,
        [start = startTimer, taskId] {
            if (start) {
                start(taskId);
            }
        },
        [open = openPage](const QUrl& url, const QString& title) {
            if (open) {
                open(url, title);
            }
        });
}
