#include "services/usage/ActivityGrouping.h"

#include "core/SettingsStore.h"
#include "services/usage/SessionLists.h"
#include "services/usage/TaskTotals.h"
#include "services/usage/UsageDuration.h"
#include "services/usage/UsageText.h"

#include <QHash>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <numeric>

using usagetext::append;
using usagetext::shortTime;

namespace {
int truncatedPercent(double part, double total) {
    return total > 0 ? int(part / total * 100.0) : 0;
}
} // namespace

ActivityGrouping::ActivityGrouping(const SettingsStore& settings)
    : m_settings(settings) {}

QList<UsageDayIndex::Block> ActivityGrouping::groupIntoBlocks(const UsageDayIndex& day,
                                                              const UsageDayIndex::Now& now) const {
    // The settings getter already reads a missing or zero value as the default.
    return day.blocks(qint64(m_settings.activityBlockGapMinutes()) * 60 * 1000, now);
}

QList<ActivityBlock> ActivityGrouping::groupIntoBlocks(const QList<AppUsageSession>& sessions) const {
    const UsageDayIndex day(sessions);
    const UsageDayIndex::Now now = day.now();
    QList<ActivityBlock> blocks;
    for (const UsageDayIndex::Block& run : groupIntoBlocks(day, now)) {
        ActivityBlock block{
            QUuid::createUuid(), run.startTime, run.endTime, {}, day.dominantTaskId(run.sessions, now)};
        block.sessions.reserve(run.sessions.size());
        for (const qsizetype session : run.sessions) {
            block.sessions.append(sessions[session]);
        }
        blocks.append(std::move(block));
    }
    return blocks;
}

std::optional<QString> ActivityGrouping::dominantTaskId(const QList<AppUsageSession>& sessions) {
    TaskTotals totals;
    for (const AppUsageSession& session : sessions) {
        if (session.clickUpTaskId) {
            totals.add(*session.clickUpTaskId, session.duration());
        }
    }
    return totals.dominant();
}

QList<TaskUsageSummary> ActivityGrouping::groupByTask(const QList<AppUsageSession>& sessions) const {
    const UsageDayIndex day(sessions);
    QList<TaskUsageSummary> result;
    for (const UsageDayIndex::Task& task : day.tasks(day.now())) {
        TaskUsageSummary summary{QUuid::createUuid(), task.taskId, {}};
        summary.sessions.reserve(task.sessions.size());
        for (const qsizetype session : task.sessions) {
            summary.sessions.append(sessions[session]);
        }
        result.append(std::move(summary));
    }
    return result;
}

QPair<double, double> ActivityGrouping::trackedUntrackedDurations(const QList<AppUsageSession>& sessions) {
    double tracked = 0;
    double untracked = 0;
    for (const AppUsageSession& session : sessions) {
        (session.clickUpTaskId ? tracked : untracked) += session.duration();
    }
    return {tracked, untracked};
}

QString ActivityGrouping::generateMarkdownReport(QDate date, const QList<AppUsageSession>& sessions) const {
    return generateMarkdownReport(date, UsageDayIndex(sessions));
}

QString ActivityGrouping::generateMarkdownReport(QDate date, const UsageDayIndex& day) const {
    const QList<AppUsageSession>& sessions = day.sessions();
    const UsageDayIndex::Now now = day.now();
    QList<qsizetype> all(sessions.size());
    std::iota(all.begin(), all.end(), 0);
    double total = 0;
    double tracked = 0;
    double untracked = 0;
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        total += day.duration(i, now);
    }
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        (sessions[i].clickUpTaskId ? tracked : untracked) += day.duration(i, now);
    }
    const QList<UsageDayIndex::Block> blocks = groupIntoBlocks(day, now);
    const QList<UsageDayIndex::Task> tasks = day.tasks(now);
    const QList<QPair<QString, double>> apps = day.secondsByAppName(all, now);
    const QLocale locale;
    // The lists of every block and task first, so that the text is reserved once at its full size.
    struct Lists {
        QStringList contexts;
        QStringList titles;
    };
    auto listsOf = [&day](const QList<qsizetype>& of) {
        return Lists{day.contextsOf(of), day.windowTitlesOf(of)};
    };
    auto lengthOf = [](const Lists& lists) {
        return usagetext::totalLength(lists.contexts, 4) + usagetext::totalLength(lists.titles, 5);
    };
    QList<Lists> blockLists;
    blockLists.reserve(blocks.size());
    QList<Lists> taskLists;
    taskLists.reserve(tasks.size());
    qsizetype size = 4096 + apps.size() * 64;
    for (const UsageDayIndex::Block& block : blocks) {
        blockLists.append(listsOf(block.sessions));
        size += 256 + lengthOf(blockLists.constLast());
    }
    for (const UsageDayIndex::Task& task : tasks) {
        taskLists.append(listsOf(task.sessions));
        size += 256 + lengthOf(taskLists.constLast());
    }

    QString out;
    out.reserve(size);
    out += QStringLiteral("# App Usage Report\n\n");
    append(out, QStringLiteral("**Date:** "), locale.toString(date, QLocale::LongFormat),
           QStringLiteral("\n\n"));
    append(out, QStringLiteral("**Total Active Time:** "), formatDuration(total),
           QStringLiteral(" | **Tracked:** "), formatDuration(tracked), QStringLiteral(" ("),
           QString::number(truncatedPercent(tracked, total)), QStringLiteral("%) | **Untracked:** "),
           formatDuration(untracked), QStringLiteral("\n\n"));
    out += QStringLiteral("---\n\n## Timeline\n\n");

    for (qsizetype b = 0; b < blocks.size(); ++b) {
        const UsageDayIndex::Block& block = blocks[b];
        append(out, QStringLiteral("### "), shortTime(block.startTime), QStringLiteral(" - "),
               shortTime(block.endTime), QStringLiteral(" ("),
               formatDuration(double(block.startTime.msecsTo(block.endTime)) / 1000.0),
               QStringLiteral(")\n\n"));
        QStringList appTexts;
        for (const auto& [name, seconds] : day.secondsByAppName(block.sessions, now)) {
            appTexts.append(usagetext::markdownInline(name) + QStringLiteral(" (") + formatDuration(seconds) +
                            QLatin1Char(')'));
        }
        append(out, QStringLiteral("**Apps:** "), appTexts.join(QStringLiteral(", ")),
               QStringLiteral("\n\n"));
        if (const std::optional<QString> taskId = day.dominantTaskId(block.sessions, now)) {
            append(out, QStringLiteral("**Task:** "), usagetext::markdownInline(*taskId),
                   QStringLiteral("\n\n"));
        }
        const QStringList& contexts = blockLists[b].contexts;
        if (!contexts.isEmpty()) {
            out += QStringLiteral("**Context:**\n");
            for (const QString& context : contexts) {
                append(out, QStringLiteral("- "), usagetext::markdownInline(context), QLatin1Char('\n'));
            }
            out += QLatin1Char('\n');
        }
        const QStringList& titles = blockLists[b].titles;
        if (!titles.isEmpty()) {
            out += QStringLiteral("**Window History:**\n");
            for (const QString& title : titles) {
                append(out, QStringLiteral("- "), usagetext::markdownInline(title), QLatin1Char('\n'));
            }
            out += QLatin1Char('\n');
        }
        out += QStringLiteral("---\n\n");
    }

    out += QStringLiteral("## By Task\n\n");
    for (qsizetype t = 0; t < tasks.size(); ++t) {
        const UsageDayIndex::Task& task = tasks[t];
        const QString mark = task.taskId ? QStringLiteral("\u2713") : QStringLiteral("\u25CB");
        const QString name =
            task.taskId ? usagetext::markdownInline(*task.taskId) : QStringLiteral("Untracked");
        append(out, QStringLiteral("### "), mark, QLatin1Char(' '), name, QStringLiteral(" ("),
               formatDuration(task.total), QStringLiteral(")\n\n"));
        out += QStringLiteral("- **Apps:** ");
        const QStringList appNames = appNamesOf(day, task.sessions);
        for (qsizetype i = 0; i < appNames.size(); ++i) {
            if (i > 0) {
                out += QStringLiteral(", ");
            }
            out += usagetext::markdownInline(appNames[i]);
        }
        out += QLatin1Char('\n');
        const QStringList& contexts = taskLists[t].contexts;
        if (!contexts.isEmpty()) {
            out += QStringLiteral("- **Context:** ");
            for (qsizetype i = 0; i < contexts.size(); ++i) {
                if (i > 0) {
                    out += QStringLiteral(", ");
                }
                out += usagetext::markdownInline(contexts[i]);
            }
            out += QLatin1Char('\n');
        }
        const QStringList& titles = taskLists[t].titles;
        if (!titles.isEmpty()) {
            out += QStringLiteral("- **Window Titles:**\n");
            for (const QString& title : titles) {
                append(out, QStringLiteral("  - "), usagetext::markdownInline(title), QLatin1Char('\n'));
            }
        }
        if (!task.sessions.isEmpty()) {
            QDateTime earliest = sessions[task.sessions.first()].startTime;
            QDateTime latest = day.endOrNow(task.sessions.first(), now);
            for (const qsizetype i : task.sessions) {
                if (sessions[i].startTime < earliest) {
                    earliest = sessions[i].startTime;
                }
                const QDateTime end = day.endOrNow(i, now);
                if (end > latest) {
                    latest = end;
                }
            }
            append(out, QStringLiteral("- **Time Range:** "), shortTime(earliest), QStringLiteral(" - "),
                   shortTime(latest), QLatin1Char('\n'));
        }
        out += QLatin1Char('\n');
    }

    out += QStringLiteral(
        "---\n\n## App Summary\n\n| App | Duration | % of Total |\n|-----|----------|------------|\n");
    for (const auto& [name, seconds] : apps) {
        append(out, QStringLiteral("| "), usagetext::markdownInline(name), QStringLiteral(" | "),
               formatDuration(seconds), QStringLiteral(" | "),
               QString::number(truncatedPercent(seconds, total)), QStringLiteral("% |\n"));
    }
    out += QStringLiteral("\n---\n\n*Generated by Pendlow*\n");
    return out;
}

QStringList ActivityGrouping::appNamesOf(const UsageDayIndex& day, const QList<qsizetype>& sessions) {
    QSet<QString> names;
    for (const qsizetype session : sessions) {
        names.insert(day.sessions()[session].appName);
    }
    QStringList list(names.cbegin(), names.cend());
    std::sort(list.begin(), list.end());
    return list;
}
