#pragma once

#include "services/usage/AppUsageBreakdown.h"
#include "services/usage/AppUsageSession.h"
#include "services/usage/ContextDetail.h"
#include "services/usage/KeywordUsage.h"
#include "services/usage/PathUsage.h"
#include "services/usage/TimelineBlock.h"
#include "services/usage/UsageDayIndex.h"
#include "services/usage/WebsiteUsage.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

class ActivityGrouping;

// The computed view of one day of usage. Every member is computed from the sessions on each call;
// open sessions count up to now (Clock::now()). Lists sorted by duration put equal durations in order
// of first appearance. What does not change with the clock (times as milliseconds, context lines, the
// tables the breakdowns sum) is worked out once and kept while `sessions` stays unchanged: changing the
// list in any way makes the next call work it out anew.
struct DailyUsageSummary {
    QDate date;
    QList<AppUsageSession> sessions;
    std::optional<QDateTime> filterStart;
    std::optional<QDateTime> filterEnd;
    // Kept between calls; not part of the summary's value.
    UsageDayIndex::Cache indexCache{};

    // The index of the current sessions (kept while they are unchanged).
    std::shared_ptr<const UsageDayIndex> index() const;

    double totalDuration() const;
    // Sessions with a task id (an empty id counts), and those without.
    double trackedDuration() const;
    double untrackedDuration() const;
    QString formattedTotalDuration() const;
    static QString formatDuration(double seconds);

    // One entry per application id, named as its first session, longest first; percentages of the
    // total (of 1 second when the total is a second or less).
    QList<AppUsageBreakdown> appBreakdown() const;
    // The application's captures grouped by address, e-mail line or cleaned title; each capture
    // credits an equal share of its session. Redacted captures are left out.
    QList<ContextDetail> contextDetails(const QString& appId) const;
    // Distinct context lines of all captures, sorted.
    QStringList allContexts() const;
    QList<WebsiteUsage> websiteUsage() const;
    QList<PathUsage> pathUsage() const;
    QList<KeywordUsage> keywordUsage() const;

    // One block per session by start time.
    QList<TimelineBlock> timelineBlocks() const;
    // The full hour that holds the filter start, else the earliest session start; the day's start
    // without sessions.
    QDateTime rangeStart() const;
    // The full hour after the hour that holds the filter end, else the latest session end (now for an
    // open session or without sessions).
    QDateTime rangeEnd() const;
    // rangeStart and every hour after it while not after rangeEnd; empty when the range is empty.
    QList<QDateTime> timelineHours() const;

    // With both bounds: the sessions that overlap [start, end], kept whole. With either missing: this
    // summary unchanged.
    DailyUsageSummary withTimeFilter(const std::optional<QDateTime>& start,
                                     const std::optional<QDateTime>& end) const;
    // The plain-text "APP USAGE REPORT" of the day.
    QString generateTextReport(const ActivityGrouping& grouping) const;
};
