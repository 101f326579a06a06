#pragma once

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

// Seconds summed per ClickUp task, in the order the tasks first appear.
class TaskTotals {
public:
    void add(const QString& taskId, double seconds);
    // The task with the most seconds (the first to appear among equals); none when nothing was added.
    std::optional<QString> dominant() const;

private:
    QList<QPair<QString, double>> m_totals;
    QHash<QString, qsizetype> m_index;
};
