#include "services/usage/DailyUsageSummary.h"

#include "core/CharacterTruncation.h"

#include "core/Clock.h"
#include "services/usage/ActivityGroupingService.h"
#include "services/usage/AppColor.h"
#include "services/usage/SessionLists.h"
#include "services/usage/UsageDuration.h"
#include "services/usage/UsageText.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {
// Sums per key in order of first appearance.
template <typename Extra>
struct Accumulator {
    struct Entry {
        QString key;
        double duration = 0;
        Extra extra{};
    };
    QList<Entry> entries;
    QHash<QString, qsizetype> index;

    Entry& operator[](const QString& key) {
        const auto found = index.constFind(key);
        if (found != index.cend()) {
            return entries[*found];
        }
        index.insert(key, entries.size());
        entries.append(Entry{key, 0, Extra{}});
        return entries.last();
    }

    QList<Entry> sortedByDuration() {
        std::stable_sort(entries.begin(), entries.end(),
                         [](const Entry& a, const Entry& b) { return a.duration > b.duration; });
        return entries;
    }
};

double shareOf(const AppUsageSession& session) {
    const qsizetype count = session.windowCaptures.size();
    return session.duration() / double(count > 0 ? count : 1);
}

std::optional<QString> hostOf(const std::optional<QString>& address) {
    if (!address || address->isEmpty()) {
        return std::nullopt;
    }
    const QUrl url(*address);
    if (!url.isValid() || url.host().isEmpty()) {
        return std::nullopt;
    }
    return url.host();
}

// The full hour that holds the moment, in local time.
QDateTime hourOf(const QDateTime& moment) {
    const QDateTime local = moment.toLocalTime();
    const QDateTime hour(local.date(), QTime(local.time().hour(), 0));
    return hour.isValid() ? hour : moment;
}

const QSet<QString>& keywordStopWords() {
    static const QSet<QString> words{
        QStringLiteral("the"),  QStringLiteral("and"),      QStringLiteral("for"),  QStringLiteral("with"),
        QStringLiteral("from"), QStringLiteral("this"),     QStringLiteral("that"), QStringLiteral("new"),
        QStringLiteral("tab"),  QStringLiteral("untitled"), QStringLiteral("file"), QStringLiteral("edit"),
        QStringLiteral("view"), QStringLiteral("window"),   QStringLiteral("help")};
    return words;
}

const QSet<QString>& keywordExcludedWords() {
    static const QSet<QString> words{
        QStringLiteral("Safari"),   QStringLiteral("Chrome"),   QStringLiteral("Firefox"),
        QStringLiteral("Xcode"),    QStringLiteral("Visual"),   QStringLiteral("Studio"),
        QStringLiteral("Code"),     QStringLiteral("PhpStorm"), QStringLiteral("WebStorm"),
        QStringLiteral("Slack"),    QStringLiteral("Notion"),   QStringLiteral("Figma"),
        QStringLiteral("Terminal"), QStringLiteral("Warp")};
    return words;
}

bool isKeywordSeparator(QChar ch) {
    switch (ch.unicode()) {
    case u' ':
    case u'-':
    case u'\u2014':
    case u'|':
    case u'\u00B7':
    case u':':
    case u'(':
    case u')':
    case u'[':
    case u']':
    case u'{':
    case u'}':
    case u'"':
    case u'\'':
        return true;
    default:
        return false;
    }
}

QString longDate(QDate date) {
    return QLocale().toString(date, QLocale::LongFormat);
}

QString shortTime(const QDateTime& moment) {
    return QLocale().toString(moment.toLocalTime().time(), QLocale::ShortFormat);
}
} // namespace

const QStringList& DailyUsageSummary::browserBundleIdentifiers() {
    static const QStringList ids{
        QStringLiteral("com.apple.Safari"),       QStringLiteral("com.google.Chrome"),
        QStringLiteral("org.mozilla.firefox"),    QStringLiteral("company.thebrowser.Browser"),
        QStringLiteral("com.microsoft.edgemac"),  QStringLiteral("com.brave.Browser"),
        QStringLiteral("com.operasoftware.Opera")};
    return ids;
}

const QStringList& DailyUsageSummary::editorBundleIdentifiers() {
    static const QStringList ids{
        QStringLiteral("com.apple.dt.Xcode"),     QStringLiteral("com.microsoft.VSCode"),
        QStringLiteral("com.jetbrains.PhpStorm"), QStringLiteral("com.jetbrains.WebStorm"),
        QStringLiteral("com.jetbrains.intellij"), QStringLiteral("com.jetbrains.pycharm"),
        QStringLiteral("com.jetbrains.goland"),   QStringLiteral("com.jetbrains.CLion"),
        QStringLiteral("com.jetbrains.rider"),    QStringLiteral("com.sublimetext.4"),
        QStringLiteral("com.sublimetext.3")};
    return ids;
}

const QStringList& DailyUsageSummary::terminalBundleIdentifiers() {
    static const QStringList ids{QStringLiteral("com.apple.Terminal"), QStringLiteral("dev.warp.Warp-Stable"),
                                 QStringLiteral("co.zeit.hyper"), QStringLiteral("com.googlecode.iterm2")};
    return ids;
}

double DailyUsageSummary::totalDuration() const {
    double total = 0;
    for (const AppUsageSession& session : sessions) {
        total += session.duration();
    }
    return total;
}

double DailyUsageSummary::trackedDuration() const {
    double total = 0;
    for (const AppUsageSession& session : sessions) {
        if (session.clickUpTaskId) {
            total += session.duration();
        }
    }
    return total;
}

double DailyUsageSummary::untrackedDuration() const {
    double total = 0;
    for (const AppUsageSession& session : sessions) {
        if (!session.clickUpTaskId) {
            total += session.duration();
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
    Accumulator<QString> byApp; // extra: the first name seen
    double total = 0;
    for (const AppUsageSession& session : sessions) {
        const double seconds = session.duration();
        const bool isNew = !byApp.index.contains(session.bundleIdentifier);
        auto& entry = byApp[session.bundleIdentifier];
        if (isNew) {
            entry.extra = session.appName;
        }
        entry.duration += seconds;
        total += seconds;
    }
    const double divisor = total <= 1.0 ? 1.0 : total;
    QList<AppUsageBreakdown> result;
    for (const auto& entry : byApp.sortedByDuration()) {
        result.append(
            AppUsageBreakdown{entry.key, entry.extra, entry.duration, entry.duration / divisor * 100.0});
    }
    return result;
}

QList<ContextDetail> DailyUsageSummary::contextDetails(const QString& bundleIdentifier) const {
    Accumulator<int> byContext; // extra: capture count
    for (const AppUsageSession& session : sessions) {
        if (session.bundleIdentifier != bundleIdentifier) {
            continue;
        }
        const double share = shareOf(session);
        for (const WindowTitleCapture& capture : session.windowCaptures) {
            // A redacted capture keeps nothing that may be shown, its stored address included.
            if (capture.isRedacted) {
                continue;
            }
            QString key;
            if (capture.url && !capture.url->isEmpty()) {
                key = *capture.url;
            } else if (std::optional<QString> line = capture.emailLine()) {
                key = *line;
            } else if (std::optional<QString> cleaned = capture.cleanedTitle();
                       cleaned && !cleaned->isEmpty()) {
                key = *cleaned;
            } else {
                key = capture.title;
            }
            if (key.isEmpty()) {
                continue;
            }
            auto& entry = byContext[key];
            entry.duration += share;
            entry.extra += 1;
        }
    }
    QList<ContextDetail> result;
    for (const auto& entry : byContext.sortedByDuration()) {
        result.append(ContextDetail{QUuid::createUuid(), entry.key, entry.duration, entry.extra});
    }
    return result;
}

QStringList DailyUsageSummary::allContexts() const {
    return sessionlists::contexts(sessions);
}

QList<WebsiteUsage> DailyUsageSummary::websiteUsage() const {
    Accumulator<int> byHost;
    for (const AppUsageSession& session : sessions) {
        if (!browserBundleIdentifiers().contains(session.bundleIdentifier)) {
            continue;
        }
        const double share = shareOf(session);
        for (const WindowTitleCapture& capture : session.windowCaptures) {
            if (const std::optional<QString> host = hostOf(capture.url)) {
                byHost[*host].duration += share;
            }
        }
    }
    QList<WebsiteUsage> result;
    for (const auto& entry : byHost.sortedByDuration()) {
        result.append(WebsiteUsage{QUuid::createUuid(), entry.key, entry.duration});
    }
    return result;
}

QList<PathUsage> DailyUsageSummary::pathUsage() const {
    static const QStringList extensions{
        QStringLiteral(".swift"), QStringLiteral(".ts"), QStringLiteral(".js"), QStringLiteral(".py"),
        QStringLiteral(".php"),   QStringLiteral(".go"), QStringLiteral(".rs")};
    Accumulator<bool> byPath; // extra: is a directory
    for (const AppUsageSession& session : sessions) {
        const bool terminal = terminalBundleIdentifiers().contains(session.bundleIdentifier);
        if (!terminal && !editorBundleIdentifiers().contains(session.bundleIdentifier)) {
            continue;
        }
        const double share = shareOf(session);
        for (const WindowTitleCapture& capture : session.windowCaptures) {
            if (capture.isRedacted) {
                continue;
            }
            const std::optional<QString> text = capture.contextString();
            if (!text) {
                continue;
            }
            bool counts =
                terminal || text->startsWith(QLatin1String("~/")) || text->startsWith(QLatin1Char('/'));
            for (qsizetype i = 0; !counts && i < extensions.size(); ++i) {
                counts = text->contains(extensions[i]);
            }
            if (!counts) {
                continue;
            }
            const bool isNew = !byPath.index.contains(*text);
            auto& entry = byPath[*text];
            if (isNew) {
                entry.extra = text->contains(QLatin1Char('.')) ? text->endsWith(QLatin1Char('/')) : true;
            }
            entry.duration += share;
        }
    }
    QList<PathUsage> result;
    for (const auto& entry : byPath.sortedByDuration()) {
        result.append(PathUsage{QUuid::createUuid(), entry.key, entry.duration, entry.extra});
    }
    return result;
}

QStringList DailyUsageSummary::keywordTokens(const QString& text) {
    QStringList tokens;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i <= size; ++i) {
        if (i < size && !isKeywordSeparator(text[i])) {
            continue;
        }
        if (i > start) {
            QString piece = usagetext::trimmedHorizontal(QStringView(text).mid(start, i - start));
            if (!piece.isEmpty() && !keywordExcludedWords().contains(piece)) {
                const qsizetype dot = piece.indexOf(QLatin1Char('.'));
                if (dot > 0) {
                    piece.truncate(dot);
                }
                tokens.append(std::move(piece));
            }
        }
        start = i + 1;
    }
    return tokens;
}

QList<KeywordUsage> DailyUsageSummary::keywordUsage() const {
    Accumulator<int> byWord; // extra: occurrences
    for (const AppUsageSession& session : sessions) {
        const double share = shareOf(session);
        for (const WindowTitleCapture& capture : session.windowCaptures) {
            if (capture.isRedacted) {
                continue;
            }
            for (const QString& token : keywordTokens(capture.title)) {
                if (characterCount(token) < 3) {
                    continue;
                }
                const QString lower = token.toLower();
                if (keywordStopWords().contains(lower)) {
                    continue;
                }
                auto& entry = byWord[lower];
                entry.duration += share;
                entry.extra += 1;
            }
        }
    }
    QList<KeywordUsage> result;
    for (const auto& entry : byWord.sortedByDuration()) {
        if (entry.extra >= 2) {
            result.append(KeywordUsage{QUuid::createUuid(), entry.key, entry.duration, entry.extra});
        }
    }
    return result;
}

QList<TimelineBlock> DailyUsageSummary::timelineBlocks() const {
    QList<const AppUsageSession*> sorted;
    sorted.reserve(sessions.size());
    for (const AppUsageSession& session : sessions) {
        sorted.append(&session);
    }
    std::stable_sort(sorted.begin(), sorted.end(), [](const AppUsageSession* a, const AppUsageSession* b) {
        return a->startTime < b->startTime;
    });
    QList<TimelineBlock> blocks;
    blocks.reserve(sorted.size());
    for (const AppUsageSession* session : sorted) {
        blocks.append(TimelineBlock{QUuid::createUuid(), session->appName, session->startTime,
                                    session->endOrNow(), appColor(session->bundleIdentifier),
                                    session->bundleIdentifier});
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

QString DailyUsageSummary::generateTextReport(const ActivityGroupingService& grouping) const {
    const double total = totalDuration();
    const double tracked = trackedDuration();
    const int trackedPercent = total > 0 ? int(tracked / total * 100.0) : 0;
    QStringList lines;
    lines << QStringLiteral("APP USAGE REPORT") << QString(50, QLatin1Char('=')) << QString();
    lines << QStringLiteral("Date:      ") + longDate(date);
    lines << QStringLiteral("Total:     ") + formattedTotalDuration();
    lines << QStringLiteral("Tracked:   ") + ::formatDuration(tracked) + QStringLiteral(" (") +
                 QString::number(trackedPercent) + QStringLiteral("%)");
    lines << QStringLiteral("Untracked: ") + ::formatDuration(untrackedDuration()) << QString();
    lines << QStringLiteral("TIMELINE") << QString(30, QLatin1Char('-'));
    for (const ActivityBlock& block : grouping.groupIntoBlocks(sessions)) {
        lines << QLatin1Char('[') + shortTime(block.startTime) + QStringLiteral(" - ") +
                     shortTime(block.endTime) + QStringLiteral("] ") + block.formattedDuration();
        QStringList apps;
        for (const auto& [name, seconds] : block.appBreakdown()) {
            apps << name + QStringLiteral(" (") + ::formatDuration(seconds) + QLatin1Char(')');
        }
        lines << QStringLiteral("  Apps: ") + apps.join(QStringLiteral(", "));
        if (block.clickUpTaskId) {
            lines << QStringLiteral("  Task: ") + *block.clickUpTaskId;
        }
        const QStringList contexts = block.contexts();
        if (!contexts.isEmpty()) {
            lines << QStringLiteral("  Context: ") + contexts.join(QStringLiteral(", "));
        }
        lines << QString();
    }
    lines << QStringLiteral("BY TASK") << QString(30, QLatin1Char('-'));
    for (const TaskUsageSummary& summary : grouping.groupByTask(sessions)) {
        lines << (summary.taskId ? QStringLiteral("\u2713") : QStringLiteral("\u25CB")) + QLatin1Char(' ') +
                     (summary.taskId ? *summary.taskId : QStringLiteral("Untracked")) + QStringLiteral(": ") +
                     summary.formattedDuration();
        lines << QStringLiteral("  Apps: ") + summary.appNames().join(QStringLiteral(", "));
        const QStringList contexts = summary.contexts();
        if (!contexts.isEmpty()) {
            lines << QStringLiteral("  Context: ") + contexts.join(QStringLiteral(", "));
        }
        lines << QString();
    }
    return lines.join(QLatin1Char('\n'));
}
