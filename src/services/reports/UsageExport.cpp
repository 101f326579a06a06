#include "services/reports/UsageExport.h"

#include "services/usage/ActivityGrouping.h"
#include "services/usage/DailyUsageSummary.h"
#include "services/usage/UsageDayIndex.h"
#include "services/usage/UsageDuration.h"
#include "services/usage/UsageText.h"

#include <QLocale>

#include <algorithm>
#include <cstdio>
#include <numeric>

using namespace Qt::StringLiterals;
using usagetext::append;
using usagetext::appendJoined;
using usagetext::totalLength;

namespace {
const QString rule40 = QString(40, u'=');

bool isDateSeparator(QChar ch) {
    return ch.isSpace() || ch == u',' || ch == u'.' || ch == u'\u060C' || ch == u'\u3001';
}

// The date pattern without its weekday field ("ddd" or "dddd") and the separator that joined it to
// the rest; quoted literal text is kept as it is.
QString withoutWeekday(const QString& pattern) {
    QString out;
    out.reserve(pattern.size());
    qsizetype i = 0;
    while (i < pattern.size()) {
        const QChar ch = pattern[i];
        if (ch == u'\'') {
            const qsizetype close = pattern.indexOf(u'\'', i + 1);
            const qsizetype end = close < 0 ? pattern.size() : close + 1;
            out += QStringView(pattern).mid(i, end - i);
            i = end;
            continue;
        }
        if (ch == u'd') {
            qsizetype run = i;
            while (run < pattern.size() && pattern[run] == u'd') {
                ++run;
            }
            if (run - i >= 3) {
                i = run;
                while (i < pattern.size() && isDateSeparator(pattern[i])) {
                    ++i;
                }
                continue;
            }
            out += QStringView(pattern).mid(i, run - i);
            i = run;
            continue;
        }
        out += ch;
        ++i;
    }
    qsizetype begin = 0;
    qsizetype end = out.size();
    while (begin < end && isDateSeparator(out[begin]) && out[begin] != u'.') {
        ++begin;
    }
    while (end > begin && (out[end - 1].isSpace() || out[end - 1] == u',')) {
        --end;
    }
    return out.mid(begin, end - begin);
}

// Whole seconds as "2h 5m" or "5m" ("0m" under a minute): the application times of a timeline block.
QString blockAppDuration(double seconds) {
    const qint64 s = qint64(seconds);
    if (s >= 3600) {
        return QString::number(s / 3600) + u"h "_s + QString::number((s % 3600) / 60) + u'm';
    }
    return QString::number((s % 3600) / 60) + u'm';
}

// The percentage rounded to a whole number and a percent sign, as printf's "%.0f%%" writes it.
QString roundedPercent(double percentage) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f%%", percentage);
    return QString::fromLatin1(buffer);
}

QString titleBlock(const QString& title, QDate date) {
    return title + UsageExport::longDate(date) + u'\n' + rule40 + u"\n\n"_s;
}
} // namespace

UsageExport::UsageExport(const ActivityGrouping& grouping)
    : m_grouping(grouping) {}

QString UsageExport::exportText(ExportFormat format, const DailyUsageSummary& summary) const {
    switch (format) {
    case ExportFormat::markdown:
        return m_grouping.generateMarkdownReport(summary.date, *summary.index());
    case ExportFormat::plainText:
        return summary.generateTextReport(m_grouping);
    case ExportFormat::csv:
        return csvExport(summary);
    }
    return {};
}

QString UsageExport::csvField(const QString& text) {
    QString cell;
    if (!text.isEmpty()) {
        const QChar first = text.front();
        if (first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t' ||
            first == u'\r') {
            cell.reserve(text.size() + 1);
            cell += u'\'';
        }
    }
    cell += text;
    const bool needsQuotes = std::any_of(cell.cbegin(), cell.cend(), [](QChar ch) {
        return ch == u',' || ch == u'"' || ch == u'\n' || ch == u'\r';
    });
    if (!needsQuotes) {
        return cell;
    }
    cell.replace(u'"', u"\"\""_s);
    return u'"' + cell + u'"';
}

QString UsageExport::longDate(QDate date) {
    const QLocale locale;
    return locale.toString(date, withoutWeekday(locale.dateFormat(QLocale::LongFormat)));
}

QString UsageExport::shortTime(const QDateTime& moment) {
    return usagetext::shortTime(moment);
}

QString UsageExport::csvExport(const DailyUsageSummary& summary) const {
    // The summary's kept index has each capture's context line and title worked out once.
    const std::shared_ptr<const UsageDayIndex> index = summary.index();
    QList<qsizetype> sorted(summary.sessions.size());
    std::iota(sorted.begin(), sorted.end(), qsizetype(0));
    std::stable_sort(sorted.begin(), sorted.end(), [&summary](qsizetype a, qsizetype b) {
        return summary.sessions[a].startTime < summary.sessions[b].startTime;
    });

    const QLocale locale;
    const QString timeFormat = usagetext::shortTimeFormat(locale);
    const UsageDayIndex::Now now = index->now();
    QString out;
    out.reserve(96 + sorted.size() * 160);
    out += u"Date,Start Time,End Time,Duration (min),App,Task ID,Primary Context,Window Titles,Tracked\n"_s;
    for (const qsizetype at : std::as_const(sorted)) {
        const AppUsageSession* session = &summary.sessions[at];
        const QDateTime start = session->startTime.toLocalTime();
        const QDateTime end = index->endOrNow(at, now).toLocalTime();
        // From the index's milliseconds: a local date-time goes through the time zone on every
        // conversion.
        const qint64 minutes = index->durationMSecs(at, now) / 60'000;
        out += start.toString(u"yyyy-MM-dd"_s);
        out += u',';
        out += locale.toString(start.time(), timeFormat);
        out += u',';
        out += locale.toString(end.time(), timeFormat);
        out += u',';
        out += QString::number(minutes);
        out += u',';
        out += csvField(session->appName);
        out += u',';
        out += session->clickUpTaskId ? csvField(*session->clickUpTaskId) : QString();
        out += u',';
        const std::optional<QString> context = index->dominantContextOf(at);
        out += context ? csvField(*context) : QString();
        out += u',';
        const QList<qsizetype> one{at};
        out += csvField(index->windowTitlesOf(one).join(u"; "_s));
        out += session->clickUpTaskId ? u",Yes\n"_s : u",No\n"_s;
    }
    return out;
}

QString UsageExport::timelineText(const DailyUsageSummary& summary) const {
    // The blocks, their times and contexts come from the summary's kept index, which has each
    // capture's context line worked out once.
    const std::shared_ptr<const UsageDayIndex> day = summary.index();
    const UsageDayIndex::Now now = day->now();
    const QList<UsageDayIndex::Block> blocks = m_grouping.groupIntoBlocks(*day, now);
    QList<QStringList> contexts;
    contexts.reserve(blocks.size());
    qsizetype size = 128;
    for (const UsageDayIndex::Block& block : blocks) {
        contexts.append(day->contextsOf(block.sessions));
        size += 160 + block.sessions.size() * 8 + totalLength(contexts.constLast(), 2);
    }

    QString out = titleBlock(u"TIMELINE - "_s, summary.date);
    out.reserve(size);
    for (qsizetype b = 0; b < blocks.size(); ++b) {
        const UsageDayIndex::Block& block = blocks[b];
        append(out, u'[', shortTime(block.startTime), u" - "_s, shortTime(block.endTime), u"] "_s,
               formatDuration(double(block.startTime.msecsTo(block.endTime)) / 1000.0), u'\n');
        out += u"  Apps: "_s;
        const QList<QPair<QString, double>> apps = day->secondsByAppName(block.sessions, now);
        for (qsizetype i = 0; i < apps.size(); ++i) {
            if (i > 0) {
                out += u", "_s;
            }
            append(out, apps[i].first, u" ("_s, blockAppDuration(apps[i].second), u')');
        }
        out += u'\n';
        if (const std::optional<QString> taskId = day->dominantTaskId(block.sessions, now)) {
            append(out, u"  Task: "_s, *taskId, u'\n');
        }
        if (!contexts[b].isEmpty()) {
            out += u"  Context: "_s;
            appendJoined(out, contexts[b]);
            out += u'\n';
        }
        out += u'\n';
    }
    return out;
}

QString UsageExport::byTaskText(const DailyUsageSummary& summary) const {
    // The tasks and their contexts come from the summary's kept index, as the timeline's do.
    const std::shared_ptr<const UsageDayIndex> day = summary.index();
    const UsageDayIndex::Now now = day->now();
    const QList<UsageDayIndex::Task> tasks = day->tasks(now);
    QList<QStringList> contexts;
    contexts.reserve(tasks.size());
    qsizetype size = 128;
    for (const UsageDayIndex::Task& task : tasks) {
        contexts.append(day->contextsOf(task.sessions));
        size += 160 + totalLength(contexts.constLast(), 2);
    }

    QString out = titleBlock(u"BY TASK - "_s, summary.date);
    out.reserve(size);
    for (qsizetype t = 0; t < tasks.size(); ++t) {
        const UsageDayIndex::Task& task = tasks[t];
        if (task.taskId) {
            append(out, u"\u2713 "_s, *task.taskId);
        } else {
            out += u"\u25CB Untracked"_s;
        }
        append(out, u": "_s, formatDuration(task.total), u'\n');
        out += u"  Apps: "_s;
        appendJoined(out, ActivityGrouping::appNamesOf(*day, task.sessions));
        out += u'\n';
        if (!contexts[t].isEmpty()) {
            out += u"  Context: "_s;
            appendJoined(out, contexts[t]);
            out += u'\n';
        }
        if (!task.sessions.isEmpty()) {
            // The earliest start and the latest end (now for an open session); the first session
            // wins a tie, which changes nothing in the times written.
            const QList<AppUsageSession>& sessions = day->sessions();
            QDateTime earliest = sessions[task.sessions.first()].startTime;
            QDateTime latest = day->endOrNow(task.sessions.first(), now);
            for (const qsizetype i : task.sessions) {
                if (sessions[i].startTime < earliest) {
                    earliest = sessions[i].startTime;
                }
                const QDateTime end = day->endOrNow(i, now);
                if (end > latest) {
                    latest = end;
                }
            }
            append(out, u"  Time: "_s, shortTime(earliest), u" - "_s, shortTime(latest), u'\n');
        }
        out += u'\n';
    }
    return out;
}

QString UsageExport::summaryText(const DailyUsageSummary& summary) const {
    const double total = summary.totalDuration();
    const double tracked = summary.trackedDuration();
    const int trackedPercent = total > 0 ? int(tracked / total * 100.0) : 0;
    QString out = u"APP USAGE SUMMARY\n"_s + rule40 + u"\n\n"_s;
    out += u"Date:      "_s + longDate(summary.date) + u'\n';
    out += u"Total:     "_s + summary.formattedTotalDuration() + u'\n';
    out += u"Tracked:   "_s + DailyUsageSummary::formatDuration(tracked) + u" ("_s +
           QString::number(trackedPercent) + u"%)\n"_s;
    out += u"Untracked: "_s + DailyUsageSummary::formatDuration(summary.untrackedDuration()) + u"\n\n"_s;
    out += u"APPS\n"_s + QString(20, u'-') + u'\n';
    for (const AppUsageBreakdown& app : summary.appBreakdown()) {
        out += app.appName + u": "_s + DailyUsageSummary::formatDuration(app.duration) + u" ("_s +
               roundedPercent(app.percentage) + u")\n"_s;
    }
    return out;
}
