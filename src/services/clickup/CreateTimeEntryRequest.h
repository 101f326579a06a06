#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// Body of a new time entry. Times are epoch milliseconds; "description" is left out when there is
// none, and "billable" is always false.
struct CreateTimeEntryRequest {
    QString tid;
    qint64 start = 0;
    qint64 duration = 0;
    std::optional<QString> description;
    bool billable = false;

    QJsonObject toJson() const;
};
