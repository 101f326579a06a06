#pragma once

#include "services/reports/UsageDaySource.h"

class AppUsageStorageService;
class AppUsageTrackingService;

// Reads the usage days for the report windows from the day files and the tracker.
//
// Today is the day file merged with the tracker's memory by session id (memory wins, as it is the
// newer record), so today's report shows what was saved by an earlier run or while tracking was off
// as well as what has not been saved yet. The session still open is left out. Other days come from
// their files alone.
//
// Deleting today removes the file first and clears the tracker's sessions of today (and its open
// session) only once the file is gone: a failed removal leaves memory and file as they were, and the
// next save cannot write the cleared day back.
class UsageDayLoader : public UsageDaySource {
public:
    // Without a tracker today is read from its file alone.
    UsageDayLoader(AppUsageStorageService& storage, AppUsageTrackingService* tracker);

    QCoro::Task<QList<QDate>> availableDates() override;
    QCoro::Task<std::optional<DailyUsageSummary>> loadDay(QDate day) override;
    QCoro::Task<> deleteDay(QDate day) override;

    // The same, without suspending.
    QList<QDate> readAvailableDates() const;
    std::optional<DailyUsageSummary> readDay(QDate day) const;
    void removeDay(QDate day);

private:
    DailyUsageSummary readToday(QDate today) const;

    AppUsageStorageService& m_storage;
    AppUsageTrackingService* m_tracker;
};
