#pragma once

#include "services/usage/AppUsageSession.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <optional>

// A run of sessions without a pause longer than the gap setting, labelled with the ClickUp task that
// had most of its time.
struct ActivityBlock {
    QUuid id;
    QDateTime startTime;
    // The latest end among its sessions (now for an open one).
    QDateTime endTime;
    QList<AppUsageSession> sessions; // by start time
    std::optional<QString> clickUpTaskId;

    bool operator==(const ActivityBlock& other) const = default;

    QString formattedDuration() const;
    // Seconds per application name, largest first (equal times in order of first appearance).
    QList<QPair<QString, double>> appBreakdown() const;
    QStringList contexts() const;
    QStringList windowTitles() const;
};
