#pragma once

#include "services/usage/AppUsageSession.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// All sessions of one ClickUp task, or (no task id) all untracked sessions.
struct TaskUsageSummary {
    QUuid id;
    std::optional<QString> taskId;
    QList<AppUsageSession> sessions; // input order

    bool operator==(const TaskUsageSummary& other) const = default;

    double totalDuration() const;
    QString formattedDuration() const;
    QStringList appNames() const;
    QStringList contexts() const;
    QStringList windowTitles() const;
};
