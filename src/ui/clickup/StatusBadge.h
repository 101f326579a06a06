#pragma once

#include "services/clickup/TaskStatus.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

// A task's status as a dot, 8 × 8 pixels, filled with the status colour; its tooltip names the
// status with each word capitalised ("In Progress", "Needs Clarification", "Other").
class StatusBadge : public QWidget {
    Q_OBJECT

public:
    explicit StatusBadge(TaskStatus status, QWidget* parent = nullptr);

    TaskStatus status() const { return m_status; }

    // in progress green, in review cyan, code review yellow, needs quote and needs clarification
    // purple, other gray.
    static QColor color(TaskStatus status, const QPalette& palette);
    // The raw value with each word capitalised.
    static QString helpText(TaskStatus status);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    TaskStatus m_status;
};
