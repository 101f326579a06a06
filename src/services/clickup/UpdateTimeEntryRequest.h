#pragma once

#include <QJsonObject>

// Body of moving a time entry: new start (epoch milliseconds) and duration (milliseconds).
struct UpdateTimeEntryRequest {
    qint64 start = 0;
    qint64 duration = 0;

    QJsonObject toJson() const;
};
