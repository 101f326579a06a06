#pragma once

#include "services/usage/ActivityBlock.h"
#include "services/usage/AppUsageSession.h"
#include "services/usage/TaskUsageSummary.h"
#include "services/usage/UsageDayIndex.h"

#include <QDate>
#include <QList>
#include <QPair>
#include <QString>

#include <optional>

class SettingsStore;

// Groups a day's sessions into activity blocks and per-task summaries, and writes the Markdown
// "App Usage Report" of a day. Stateless apart from the gap setting ("activityBlockGapMinutes",
// minutes; 0 or missing means 15), read on every grouping.
class ActivityGrouping {
public:
    explicit ActivityGrouping(const SettingsStore& settings);

    // Blocks in time order. A session starts a new block when it begins more than the gap after the
    // latest end seen so far in the open block (a pause of exactly the gap stays in the block).
    QList<ActivityBlock> groupIntoBlocks(const QList<AppUsageSession>& sessions) const;
    // The same grouping over an index of the sessions, as session indexes.
    QList<UsageDayIndex::Block> groupIntoBlocks(const UsageDayIndex& day,
                                                const UsageDayIndex::Now& now) const;
    // One summary per task id; the untracked summary first, then the tracked ones by total time,
    // largest first.
    QList<TaskUsageSummary> groupByTask(const QList<AppUsageSession>& sessions) const;
    // The Markdown report of the day; dates and times follow the default locale (QLocale()).
    QString generateMarkdownReport(QDate date, const QList<AppUsageSession>& sessions) const;
    // The same report of the index's sessions, taking each capture's context line and title from the
    // index (a summary's kept index works them out once for every report).
    QString generateMarkdownReport(QDate date, const UsageDayIndex& day) const;

    // The task id with the largest summed duration (the first one met wins a tie); none without ids.
    static std::optional<QString> dominantTaskId(const QList<AppUsageSession>& sessions);
    // Seconds of the sessions with a task id and of those without.
    static QPair<double, double> trackedUntrackedDurations(const QList<AppUsageSession>& sessions);
    // The distinct application names of some of the index's sessions, sorted.
    static QStringList appNamesOf(const UsageDayIndex& day, const QList<qsizetype>& sessions);

private:
    const SettingsStore& m_settings;
};
