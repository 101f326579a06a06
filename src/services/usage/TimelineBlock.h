#pragma once

#include <QColor>
#include <QDateTime>
#include <QString>
#include <QUuid>

#include <optional>

// One session drawn on a day's timeline.
struct TimelineBlock {
    QUuid id;
    QString label;
    QDateTime startTime;
    QDateTime endTime;
    QColor color;
    std::optional<QString> appId;
};
