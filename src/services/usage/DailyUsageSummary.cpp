#include "services/usage/DailyUsageSummary.h"

#include "core/CharacterTruncation.h"

#include "core/Clock.h"
#include "services/usage/ActivityGrouping.h"
#include "services/usage/AppColor.h"
#include "services/usage/SessionLists.h"
#include "services/usage/UsageDuration.h"
#include "services/usage/UsageText.h"

#include <numeric>

#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>

using usagetext::shortTime;

namespace {
// Sums the index's table: each entry credits its session's share (or whole duration) to its key.
struct Sums {
    QList<double> durations;
    QList<int> counts;
    // Keys by duration, longest first; equal durations in order of first appearance.
    QList<qsizetype> order;
};

Sums sum(const UsageDayIndex& index, const UsageDayIndex::Table& table, bool byShare) {
    const UsageDayIndex::Now now = index.now();
    Sums sums;
    sums.durations.resize(table.keys.size());
    sums.counts.resize(table.keys.size());
    qsizetype session = -1;
    double credit = 0;
    for (const auto& [entrySession, key] : table.entries) {
        if (entrySession != session) {
            session = entrySession;
            credit = byShare ? index.share(session, now) : index.duration(session, now);
        }
        sums.durations[key] += credit;
        sums.counts[key] += 1;
    }
    sums.order.resize(table.keys.size());
    std::iota(sums.order.begin(), sums.order.end(), 0);
    std::stable_sort(sums.order.begin(), sums.order.end(),
                     [&](qsizetype a, qsizetype b) { return sums.durations[a] > sums.durations[b]; });
    return sums;
}

// The full hour that holds the moment, in local time.
QDateTime hourOf(const QDateTime& moment) {
    const QDateTime local = moment.toLocalTime();
    const QDateTime hour(local.date(), QTime(local.time().hour(), 0));
    return hour.isValid() ? hour : moment;
}

QString longDate(QDate date) {
    return QLocale().toString(date, QLocale::LongFormat);
}
} // namespace

std::shared_ptr<const UsageDayIndex> DailyUsageSummary::index() const {
    return indexCache.of(sessions);
}

double DailyUsageSummary::totalDuration() const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Now now = day->now();
    double total = 0;
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        total += day->duration(i, now);
    }
    return total;
}

double DailyUsageSummary::trackedDuration() const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Now now = day->now();
    double total = 0;
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        if (sessions[i].clickUpTaskId) {
            total += day->duration(i, now);
        }
    }
    return total;
}

double DailyUsageSummary::untrackedDuration() const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Now now = day->now();
    double total = 0;
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        if (!sessions[i].clickUpTaskId) {
            total += day->duration(i, now);
        }
    }
    return total;
}

QString DailyUsageSummary::formattedTotalDuration() const {
    return ::formatDuration(totalDuration());
}

QString DailyUsageSummary::formatDuration(double seconds) {
    return ::formatDuration(seconds);
}

QList<AppUsageBreakdown> DailyUsageSummary::appBreakdown() const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Now now = day->now();
    QList<double> durations(day->apps().size());
    double total = 0;
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        const double seconds = day->duration(i, now);
        durations[day->appOf(i)] += seconds;
        total += seconds;
    }
    QList<qsizetype> order(durations.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](qsizetype a, qsizetype b) { return durations[a] > durations[b]; });
    const double divisor = total <= 1.0 ? 1.0 : total;
    QList<AppUsageBreakdown> result;
    result.reserve(order.size());
    for (const qsizetype app : std::as_const(order)) {
        result.append(AppUsageBreakdown{day->apps()[app], day->firstNames()[app], durations[app],
                                        durations[app] / divisor * 100.0});
    }
    return result;
}

QList<ContextDetail> DailyUsageSummary::contextDetails(const QString& appId) const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const qsizetype app = day->apps().indexOf(appId);
    if (app < 0) {
        return {};
    }
    const UsageDayIndex::Table& table = day->contextDetails(app);
    const Sums sums = sum(*day, table, true);
    QList<ContextDetail> result;
    result.reserve(sums.order.size());
    for (const qsizetype key : sums.order) {
        result.append(
            ContextDetail{QUuid::createUuid(), table.keys[key], sums.durations[key], sums.counts[key]});
    }
    return result;
}

QStringList DailyUsageSummary::allContexts() const {
    return index()->contexts();
}

QList<WebsiteUsage> DailyUsageSummary::websiteUsage() const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Table& table = day->websites();
    const Sums sums = sum(*day, table, true);
    QList<WebsiteUsage> result;
    result.reserve(sums.order.size());
    for (const qsizetype key : sums.order) {
        result.append(WebsiteUsage{QUuid::createUuid(), table.keys[key], sums.durations[key]});
    }
    return result;
}

QList<PathUsage> DailyUsageSummary::pathUsage() const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Table& table = day->paths();
    const Sums sums = sum(*day, table, true);
    QList<PathUsage> result;
    result.reserve(sums.order.size());
    for (const qsizetype key : sums.order) {
        result.append(
            PathUsage{QUuid::createUuid(), table.keys[key], sums.durations[key], table.flags[key] != 0});
    }
    return result;
}

QList<KeywordUsage> DailyUsageSummary::keywordUsage() const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Table& table = day->keywords();
    const Sums sums = sum(*day, table, true);
    QList<KeywordUsage> result;
    for (const qsizetype key : sums.order) {
        if (sums.counts[key] >= 2) {
            result.append(
                KeywordUsage{QUuid::createUuid(), table.keys[key], sums.durations[key], sums.counts[key]});
        }
    }
    return result;
}

QList<TimelineBlock> DailyUsageSummary::timelineBlocks() const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Now now = day->now();
    QList<TimelineBlock> blocks;
    blocks.reserve(sessions.size());
    for (const qsizetype i : day->byStart()) {
        const AppUsageSession& session = sessions[i];
        blocks.append(TimelineBlock{QUuid::createUuid(), session.appName, session.startTime,
                                    day->endOrNow(i, now), day->colorOf(day->appOf(i)), session.appId});
    }
    return blocks;
}

QDateTime DailyUsageSummary::rangeStart() const {
    if (filterStart) {
        return hourOf(*filterStart);
    }
    if (sessions.isEmpty()) {
        return date.startOfDay();
    }
    QDateTime earliest = sessions.first().startTime;
    for (const AppUsageSession& session : sessions) {
        if (session.startTime < earliest) {
            earliest = session.startTime;
        }
    }
    return hourOf(earliest);
}

QDateTime DailyUsageSummary::rangeEnd() const {
    if (filterEnd) {
        return hourOf(*filterEnd).addSecs(3600);
    }
    QDateTime latest = Clock::now();
    if (!sessions.isEmpty()) {
        latest = sessions.first().endOrNow();
        for (const AppUsageSession& session : sessions) {
            const QDateTime end = session.endOrNow();
            if (end > latest) {
                latest = end;
            }
        }
    }
    return hourOf(latest).addSecs(3600);
}

QList<QDateTime> DailyUsageSummary::timelineHours() const {
    const QDateTime start = rangeStart();
    const QDateTime end = rangeEnd();
    QList<QDateTime> hours;
    for (QDateTime hour = start; hour <= end && hours.size() < 24 * 400; hour = hour.addSecs(3600)) {
        hours.append(hour);
    }
    if (!(end > start)) {
        hours.clear();
    }
    return hours;
}

DailyUsageSummary DailyUsageSummary::withTimeFilter(const std::optional<QDateTime>& start,
                                                    const std::optional<QDateTime>& end) const {
    if (!start || !end) {
        return *this;
    }
    DailyUsageSummary filtered{date, {}, start, end};
    for (const AppUsageSession& session : sessions) {
        if (!(session.endOrNow() < *start) && !(*end < session.startTime)) {
            filtered.sessions.append(session);
        }
    }
    return filtered;
}

QString DailyUsageSummary::generateTextReport(const ActivityGrouping& grouping) const {
    const std::shared_ptr<const UsageDayIndex> day = index();
    const UsageDayIndex::Now now = day->now();
    const double total = totalDuration();
    const double tracked = trackedDuration();
    const int trackedPercent = total > 0 ? int(tracked / total * 100.0) : 0;
    // Lines joined by line feeds, the parts appended one after the other.
    QString out;
    auto line = [&out](const auto&... parts) {
        if (!out.isEmpty()) {
            out += QLatin1Char('\n');
        }
        ((out += parts), ...);
    };
    auto joined = [&out](const QStringList& texts) {
        for (qsizetype i = 0; i < texts.size(); ++i) {
            if (i > 0) {
                out += QStringLiteral(", ");
            }
            out += texts[i];
        }
    };
    line(QStringLiteral("APP USAGE REPORT"));
    line(QString(50, QLatin1Char('=')));
    line();
    line(QStringLiteral("Date:      "), longDate(date));
    line(QStringLiteral("Total:     "), formattedTotalDuration());
    line(QStringLiteral("Tracked:   "), ::formatDuration(tracked), QStringLiteral(" ("),
         QString::number(trackedPercent), QStringLiteral("%)"));
    line(QStringLiteral("Untracked: "), ::formatDuration(untrackedDuration()));
    line();
    line(QStringLiteral("TIMELINE"));
    line(QString(30, QLatin1Char('-')));
    for (const UsageDayIndex::Block& block : grouping.groupIntoBlocks(*day, now)) {
        line(QLatin1Char('['), shortTime(block.startTime), QStringLiteral(" - "), shortTime(block.endTime),
             QStringLiteral("] "), ::formatDuration(double(block.startTime.msecsTo(block.endTime)) / 1000.0));
        QStringList apps;
        for (const auto& [name, seconds] : day->secondsByAppName(block.sessions, now)) {
            apps << name + QStringLiteral(" (") + ::formatDuration(seconds) + QLatin1Char(')');
        }
        line(QStringLiteral("  Apps: "));
        joined(apps);
        if (const std::optional<QString> taskId = day->dominantTaskId(block.sessions, now)) {
            line(QStringLiteral("  Task: "), *taskId);
        }
        const QStringList contexts = day->contextsOf(block.sessions);
        if (!contexts.isEmpty()) {
            line(QStringLiteral("  Context: "));
            joined(contexts);
        }
        line();
    }
    line(QStringLiteral("BY TASK"));
    line(QString(30, QLatin1Char('-')));
    for (const UsageDayIndex::Task& task : day->tasks(now)) {
        line(task.taskId ? QStringLiteral("\u2713") : QStringLiteral("\u25CB"), QLatin1Char(' '),
             task.taskId ? *task.taskId : QStringLiteral("Untracked"), QStringLiteral(": "),
             ::formatDuration(task.total));
        line(QStringLiteral("  Apps: "));
        joined(ActivityGrouping::appNamesOf(*day, task.sessions));
        const QStringList contexts = day->contextsOf(task.sessions);
        if (!contexts.isEmpty()) {
            line(QStringLiteral("  Context: "));
            joined(contexts);
        }
        line();
    }
    return out;
}
