#pragma once

#include <QMenu>
#include <QString>
#include <QUrl>

#include <functional>

// The context menu of a task row: "Open in ClickUp" (the task page in the in-app browser, titled
// "ClickUp Task"), "Start Timer" (the row's action) and "Copy Task ID" (the id replaces whatever the
// clipboard held), separated by dividers. A row without a task id cannot start a timer or copy an
// id, and a task address that is no web address cannot be opened: those entries are disabled.
class TaskContextMenu : public QMenu {
    Q_OBJECT

public:
    // onOpen opens a web address under a window title (the in-app browser).
    using PageOpener = std::function<void(const QUrl& url, const QString& title)>;

    TaskContextMenu(const QString& taskId, const QUrl& taskUrl, std::function<void()> onStartTimer,
                    PageOpener onOpen, QWidget* parent = nullptr);

    QAction* openAction() const { return m_open; }
    QAction* startTimerAction() const { return m_startTimer; }
    QAction* copyTaskIdAction() const { return m_copyTaskId; }

    // The window title of task pages opened from the menu.
    static inline const QString browserTitle = QStringLiteral("ClickUp Task");

private:
    QAction* m_open;
    QAction* m_startTimer;
    QAction* m_copyTaskId;
};
