#pragma once

#include "services/reports/UsageDaySource.h"

#include <QHash>
#include <QString>

#include <optional>

// A usage-day loader for the report tests: the days and summaries it is given, each load of a day
// after the delay set for it, a listing or a delete that fails on request; it records what was asked.
class FakeUsageDayLoader : public UsageDaySource {
public:
    QList<QDate> dates;
    QHash<QDate, DailyUsageSummary> summaries;
    QHash<QDate, int> loadDelayMs;
    int deleteDelayMs = 0;
    bool listingFails = false;
    // The reason a delete fails with; none: deletes succeed.
    std::optional<QString> deleteFailure;

    QList<QDate> loads;
    QList<QDate> deletes;

    QCoro::Task<QList<QDate>> availableDates() override;
    QCoro::Task<std::optional<DailyUsageSummary>> loadDay(QDate day) override;
    QCoro::Task<> deleteDay(QDate day) override;

    // A summary of the day with that many one-hour sessions from 08:00 on, made at run time.
    static DailyUsageSummary summaryWith(QDate day, int sessions);
};
