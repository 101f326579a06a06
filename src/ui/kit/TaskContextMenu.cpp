#include "ui/kit/TaskContextMenu.h"

#include "platform/WebHelperProcess.h"
#include "ui/kit/AlertIcons.h"
#include "ui/kit/RowStyle.h"

#include <QClipboard>
#include <QGuiApplication>

TaskContextMenu::TaskContextMenu(const QString& taskId, const QUrl& taskUrl,
                                 std::function<void()> onStartTimer, PageOpener onOpen, QWidget* parent)
    : QMenu(parent) {
    m_open = addAction(AlertIcons::icon(RowStyle::openGlyph), QStringLiteral("Open in ClickUp"));
    m_open->setEnabled(WebHelperProcess::isWebAddress(taskUrl) && onOpen);
    connect(m_open, &QAction::triggered, this, [taskUrl, onOpen = std::move(onOpen)] {
        if (onOpen) {
            onOpen(taskUrl, browserTitle);
        }
    });
    addSeparator();

    m_startTimer = addAction(AlertIcons::icon(RowStyle::startGlyph), QStringLiteral("Start Timer"));
    // ClickUp would stop the running timer before refusing a start without a task.
    m_startTimer->setEnabled(!taskId.isEmpty() && onStartTimer);
    connect(m_startTimer, &QAction::triggered, this, [taskId, onStartTimer = std::move(onStartTimer)] {
        if (!taskId.isEmpty() && onStartTimer) {
            onStartTimer();
        }
    });
    addSeparator();

    m_copyTaskId = addAction(AlertIcons::icon(RowStyle::copyGlyph), QStringLiteral("Copy Task ID"));
    m_copyTaskId->setEnabled(!taskId.isEmpty());
    connect(m_copyTaskId, &QAction::triggered, this, [taskId] {
        QClipboard* clipboard = QGuiApplication::clipboard();
        clipboard->clear();
        clipboard->setText(taskId);
    });
}
