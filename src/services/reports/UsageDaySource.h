#pragma once

#include "services/usage/DailyUsageSummary.h"

#include <QCoroTask>
#include <QDate>
#include <QList>

#include <optional>

// What the report windows read and delete of the stored usage days. Every operation may suspend;
// the report state copes with results that arrive out of order.
class UsageDaySource {
public:
    virtual ~UsageDaySource() = default;

    // The days that have a usage file, newest first. Throws when the folder cannot be listed.
    virtual QCoro::Task<QList<QDate>> availableDates() = 0;
    // The summary of the day, none when nothing is stored for it. Today always has a summary (maybe
    // without sessions). Never throws.
    virtual QCoro::Task<std::optional<DailyUsageSummary>> loadDay(QDate day) = 0;
    // Removes the day's usage; throws when it could not, leaving everything as it was.
    virtual QCoro::Task<> deleteDay(QDate day) = 0;
};
