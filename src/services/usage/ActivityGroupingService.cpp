#include "services/usage/ActivityGroupingService.h"

#include "core/UserDefaultsServiceProtocol.h"
#include "services/usage/SessionLists.h"
#include "services/usage/UsageDuration.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

namespace {
QString shortTime(const QDateTime& moment) {
    return QLocale().toString(moment.toLocalTime().time(), QLocale::ShortFormat);
}

int truncatedPercent(double part, double total) {
    return total > 0 ? int(part / total * 100.0) : 0;
}
} // namespace

ActivityGroupingService::ActivityGroupingService(const UserDefaultsServiceProtocol& settings)
    : m_settings(settings) {}

QList<ActivityBlock> ActivityGroupingService::groupIntoBlocks(const QList<AppUsageSession>& sessions) const {
    QList<ActivityBlock> blocks;
    if (sessions.isEmpty()) {
        return blocks;
    }
    QList<AppUsageSession> sorted = sessions;
    std::stable_sort(sorted.begin(), sorted.end(), [](const AppUsageSession& a, const AppUsageSession& b) {
        return a.startTime < b.startTime;
    });
    // The settings getter already reads a missing or zero value as the default.
    const qint64 gapMSecs = qint64(m_settings.activityBlockGapMinutes()) * 60 * 1000;

    ActivityBlock open;
    open.startTime = sorted.first().startTime;
    open.endTime = sorted.first().endOrNow();
    auto close = [&blocks](ActivityBlock& block) {
        block.id = QUuid::createUuid();
        block.clickUpTaskId = dominantTaskId(block.sessions);
        blocks.append(std::move(block));
    };
    for (const AppUsageSession& session : sorted) {
        const QDateTime end = session.endOrNow();
        if (!open.sessions.isEmpty() && open.endTime.msecsTo(session.startTime) > gapMSecs) {
            close(open);
            open = ActivityBlock();
            open.startTime = session.startTime;
            open.endTime = end;
        }
        open.sessions.append(session);
        // The block lasts until the latest end seen, not the end of the session added last: a short
        // session inside a long one must not cut the block short.
        if (end > open.endTime) {
            open.endTime = end;
        }
    }
    if (!open.sessions.isEmpty()) {
        close(open);
    }
    return blocks;
}

std::optional<QString> ActivityGroupingService::dominantTaskId(const QList<AppUsageSession>& sessions) {
    QList<QPair<QString, double>> totals;
    QHash<QString, qsizetype> index;
    for (const AppUsageSession& session : sessions) {
        if (!session.clickUpTaskId) {
            continue;
        }
        const auto found = index.constFind(*session.clickUpTaskId);
        if (found == index.cend()) {
            index.insert(*session.clickUpTaskId, totals.size());
            totals.append({*session.clickUpTaskId, session.duration()});
        } else {
            totals[*found].second += session.duration();
        }
    }
    std::optional<QString> best;
    double bestSeconds = 0;
    for (const auto& [taskId, seconds] : totals) {
        if (!best || seconds > bestSeconds) {
            best = taskId;
            bestSeconds = seconds;
        }
    }
    return best;
}

QList<TaskUsageSummary> ActivityGroupingService::groupByTask(const QList<AppUsageSession>& sessions) const {
    QList<TaskUsageSummary> summaries;
    QHash<QString, qsizetype> tracked;
    std::optional<qsizetype> untracked;
    for (const AppUsageSession& session : sessions) {
        qsizetype at = -1;
        if (session.clickUpTaskId) {
            const auto found = tracked.constFind(*session.clickUpTaskId);
            if (found != tracked.cend()) {
                at = *found;
            } else {
                at = summaries.size();
                tracked.insert(*session.clickUpTaskId, at);
                summaries.append(TaskUsageSummary{QUuid::createUuid(), session.clickUpTaskId, {}});
            }
        } else if (untracked) {
            at = *untracked;
        } else {
            at = summaries.size();
            untracked = at;
            summaries.append(TaskUsageSummary{QUuid::createUuid(), std::nullopt, {}});
        }
        summaries[at].sessions.append(session);
    }
    QList<QPair<double, TaskUsageSummary>> keyed;
    keyed.reserve(summaries.size());
    for (TaskUsageSummary& summary : summaries) {
        const double total = summary.totalDuration();
        keyed.append({total, std::move(summary)});
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const bool aUntracked = !a.second.taskId.has_value();
        const bool bUntracked = !b.second.taskId.has_value();
        if (aUntracked != bUntracked) {
            return aUntracked;
        }
        return a.first > b.first;
    });
    QList<TaskUsageSummary> result;
    result.reserve(keyed.size());
    for (auto& entry : keyed) {
        result.append(std::move(entry.second));
    }
    return result;
}

QPair<double, double>
ActivityGroupingService::trackedUntrackedDurations(const QList<AppUsageSession>& sessions) {
    double tracked = 0;
    double untracked = 0;
    for (const AppUsageSession& session : sessions) {
        (session.clickUpTaskId ? tracked : untracked) += session.duration();
    }
    return {tracked, untracked};
}

QString ActivityGroupingService::generateMarkdownReport(QDate date,
                                                        const QList<AppUsageSession>& sessions) const {
    double total = 0;
    for (const AppUsageSession& session : sessions) {
        total += session.duration();
    }
    const auto [tracked, untracked] = trackedUntrackedDurations(sessions);
    const QList<ActivityBlock> blocks = groupIntoBlocks(sessions);
    const QList<TaskUsageSummary> summaries = groupByTask(sessions);
    const QList<QPair<QString, double>> apps = sessionlists::secondsByAppName(sessions);
    const QLocale locale;

    QString out;
    out.reserve(4096 + sessions.size() * 128);
    out += QStringLiteral("# App Usage Report\n\n");
    out += QStringLiteral("**Date:** ") + locale.toString(date, QLocale::LongFormat) + QStringLiteral("\n\n");
    out += QStringLiteral("**Total Active Time:** ") + formatDuration(total) +
           QStringLiteral(" | **Tracked:** ") + formatDuration(tracked) + QStringLiteral(" (") +
           QString::number(truncatedPercent(tracked, total)) + QStringLiteral("%) | **Untracked:** ") +
           formatDuration(untracked) + QStringLiteral("\n\n");
    out += QStringLiteral("---\n\n## Timeline\n\n");

    for (const ActivityBlock& block : blocks) {
        out += QStringLiteral("### ") + shortTime(block.startTime) + QStringLiteral(" - ") +
               shortTime(block.endTime) + QStringLiteral(" (") + block.formattedDuration() +
               QStringLiteral(")\n\n");
        QStringList appTexts;
        for (const auto& [name, seconds] : block.appBreakdown()) {
            appTexts.append(name + QStringLiteral(" (") + formatDuration(seconds) + QLatin1Char(')'));
        }
        out += QStringLiteral("**Apps:** ") + appTexts.join(QStringLiteral(", ")) + QStringLiteral("\n\n");
        if (block.clickUpTaskId) {
            out += QStringLiteral("**Task:** ") + *block.clickUpTaskId + QStringLiteral("\n\n");
        }
        const QStringList contexts = block.contexts();
        if (!contexts.isEmpty()) {
            out += QStringLiteral("**Context:**\n");
            for (const QString& context : contexts) {
                out += QStringLiteral("- ") + context + QLatin1Char('\n');
            }
            out += QLatin1Char('\n');
        }
        const QStringList titles = block.windowTitles();
        if (!titles.isEmpty()) {
            out += QStringLiteral("**Window History:**\n");
            for (const QString& title : titles) {
                out += QStringLiteral("- ") + title + QLatin1Char('\n');
            }
            out += QLatin1Char('\n');
        }
        out += QStringLiteral("---\n\n");
    }

    out += QStringLiteral("## By Task\n\n");
    for (const TaskUsageSummary& summary : summaries) {
        const QString mark = summary.taskId ? QStringLiteral("\u2713") : QStringLiteral("\u25CB");
        const QString name = summary.taskId ? *summary.taskId : QStringLiteral("Untracked");
        out += QStringLiteral("### ") + mark + QLatin1Char(' ') + name + QStringLiteral(" (") +
               summary.formattedDuration() + QStringLiteral(")\n\n");
        out += QStringLiteral("- **Apps:** ") + summary.appNames().join(QStringLiteral(", ")) +
               QLatin1Char('\n');
        const QStringList contexts = summary.contexts();
        if (!contexts.isEmpty()) {
            out +=
                QStringLiteral("- **Context:** ") + contexts.join(QStringLiteral(", ")) + QLatin1Char('\n');
        }
        const QStringList titles = summary.windowTitles();
        if (!titles.isEmpty()) {
            out += QStringLiteral("- **Window Titles:**\n");
            for (const QString& title : titles) {
                out += QStringLiteral("  - ") + title + QLatin1Char('\n');
            }
        }
        if (!summary.sessions.isEmpty()) {
            QDateTime earliest = summary.sessions.first().startTime;
            QDateTime latest = summary.sessions.first().endOrNow();
            for (const AppUsageSession& session : summary.sessions) {
                if (session.startTime < earliest) {
                    earliest = session.startTime;
                }
                const QDateTime end = session.endOrNow();
                if (end > latest) {
                    latest = end;
                }
            }
            out += QStringLiteral("- **Time Range:** ") + shortTime(earliest) + QStringLiteral(" - ") +
                   shortTime(latest) + QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }

    out += QStringLiteral(
        "---\n\n## App Summary\n\n| App | Duration | % of Total |\n|-----|----------|------------|\n");
    for (const auto& [name, seconds] : apps) {
        out += QStringLiteral("| ") + name + QStringLiteral(" | ") + formatDuration(seconds) +
               QStringLiteral(" | ") + QString::number(truncatedPercent(seconds, total)) +
               QStringLiteral("% |\n");
    }
    out += QStringLiteral("\n---\n\n*Generated by Pendlow*\n");
    return out;
}
