#include "services/usage/UsageDayIndex.h"

#include "core/AppCatalogue.h"
#include "core/CharacterTruncation.h"
#include "core/Clock.h"
#include "services/usage/AppColor.h"
#include "services/usage/KeywordTokens.h"
#include "services/usage/TaskTotals.h"

#include <QHash>
#include <QSet>
#include <QUrl>
#include <QVarLengthArray>

#include <algorithm>
#include <numeric>

namespace {
// A moment as QDateTime orders it: an invalid one before every valid one.
struct Moment {
    bool valid = false;
    qint64 msecs = 0;

    bool operator<(const Moment& other) const {
        if (!valid) {
            return other.valid;
        }
        return other.valid && msecs < other.msecs;
    }
    // QDateTime::msecsTo: 0 when either is invalid.
    qint64 msecsTo(const Moment& other) const { return valid && other.valid ? other.msecs - msecs : 0; }
};

Moment momentOf(const QDateTime& moment) {
    return moment.isValid() ? Moment{true, moment.toMSecsSinceEpoch()} : Moment{};
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

const QSet<QString>& keywordStopWords() {
    static const QSet<QString> words{
        QStringLiteral("the"),  QStringLiteral("and"),      QStringLiteral("for"),  QStringLiteral("with"),
        QStringLiteral("from"), QStringLiteral("this"),     QStringLiteral("that"), QStringLiteral("new"),
        QStringLiteral("tab"),  QStringLiteral("untitled"), QStringLiteral("file"), QStringLiteral("edit"),
        QStringLiteral("view"), QStringLiteral("window"),   QStringLiteral("help")};
    return words;
}

// Keys in order of first appearance.
class KeyTable {
public:
    explicit KeyTable(UsageDayIndex::Table& table)
        : m_table(table) {}

    // The key's place, added (with the flag) when new.
    qsizetype add(const QString& key, int flag = 0) {
        const auto found = m_index.constFind(key);
        if (found != m_index.cend()) {
            return *found;
        }
        const qsizetype at = m_table.keys.size();
        m_index.insert(key, at);
        m_table.keys.append(key);
        m_table.flags.append(flag);
        return at;
    }
    // The same for a key that may not own its text (QString::fromRawData): a copy is kept.
    qsizetype addCopy(const QString& key) {
        const auto found = m_index.constFind(key);
        return found != m_index.cend() ? *found : add(QString(key.unicode(), key.size()));
    }
    void credit(qsizetype session, qsizetype key) { m_table.entries.append({session, key}); }

private:
    UsageDayIndex::Table& m_table;
    QHash<QString, qsizetype> m_index;
};

// Distinct texts sorted, and each text's rank among them.
QList<qsizetype> rank(const QStringList& distinct, QStringList& sorted) {
    QList<qsizetype> order(distinct.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](qsizetype a, qsizetype b) { return distinct[a] < distinct[b]; });
    QList<qsizetype> ranks(distinct.size());
    sorted.clear();
    sorted.reserve(distinct.size());
    for (qsizetype i = 0; i < order.size(); ++i) {
        ranks[order[i]] = i;
        sorted.append(distinct[order[i]]);
    }
    return ranks;
}
} // namespace

UsageDayIndex::UsageDayIndex(QList<AppUsageSession> sessions)
    : m_sessions(std::move(sessions)) {
    const qsizetype count = m_sessions.size();
    m_startMSecs.reserve(count);
    m_endMSecs.reserve(count);
    m_startValid.reserve(count);
    m_endState.reserve(count);
    m_firstCapture.reserve(count);
    m_appOf.reserve(count);
    QHash<QString, qsizetype> appIndex;
    qsizetype captures = 0;
    // Sessions run back to back: one that starts as the one before it ended takes that end's
    // conversion (equal date-times convert alike, and comparing two local ones asks no time zone).
    const QDateTime* lastEnd = nullptr;
    Moment lastEndMoment;
    for (const AppUsageSession& session : std::as_const(m_sessions)) {
        const Moment start =
            lastEnd && session.startTime == *lastEnd ? lastEndMoment : momentOf(session.startTime);
        m_startValid.append(start.valid);
        m_startMSecs.append(start.msecs);
        if (!session.endTime) {
            m_endState.append(2);
            m_endMSecs.append(0);
            m_hasOpen = true;
        } else {
            const Moment end = momentOf(*session.endTime);
            lastEnd = &*session.endTime;
            lastEndMoment = end;
            m_endState.append(end.valid ? 1 : 0);
            m_endMSecs.append(end.msecs);
        }
        m_firstCapture.append(captures);
        captures += session.windowCaptures.size();

        const auto found = appIndex.constFind(session.appId);
        if (found != appIndex.cend()) {
            m_appOf.append(*found);
        } else {
            appIndex.insert(session.appId, m_apps.size());
            m_appOf.append(m_apps.size());
            m_apps.append(session.appId);
            m_firstNames.append(session.appName);
            m_colors.append(appColor(session.appId));
        }
    }
    m_firstCapture.append(captures);

    m_byStart.resize(count);
    std::iota(m_byStart.begin(), m_byStart.end(), 0);
    std::stable_sort(m_byStart.begin(), m_byStart.end(), [this](qsizetype a, qsizetype b) {
        return m_sessions[a].startTime < m_sessions[b].startTime;
    });
}

bool UsageDayIndex::isOf(const QList<AppUsageSession>& sessions) const {
    return sessions.size() == m_sessions.size() &&
           (sessions.isEmpty() || sessions.constData() == m_sessions.constData());
}

UsageDayIndex::Now UsageDayIndex::now() const {
    if (!m_hasOpen) {
        return {};
    }
    const QDateTime moment = Clock::now();
    return {moment, moment.isValid() ? moment.toMSecsSinceEpoch() : 0};
}

double UsageDayIndex::duration(qsizetype session, const Now& now) const {
    return double(durationMSecs(session, now)) / 1000.0;
}

qint64 UsageDayIndex::durationMSecs(qsizetype session, const Now& now) const {
    const Moment start{m_startValid[session], m_startMSecs[session]};
    const char state = m_endState[session];
    const Moment end =
        state == 2 ? Moment{now.moment.isValid(), now.msecs} : Moment{state == 1, m_endMSecs[session]};
    return start.msecsTo(end);
}

double UsageDayIndex::share(qsizetype session, const Now& now) const {
    const qsizetype count = m_sessions[session].windowCaptures.size();
    return duration(session, now) / double(count > 0 ? count : 1);
}

QDateTime UsageDayIndex::endOrNow(qsizetype session, const Now& now) const {
    const std::optional<QDateTime>& end = m_sessions[session].endTime;
    return end ? *end : now.moment;
}

const UsageDayIndex::Captures& UsageDayIndex::captures() const {
    std::call_once(m_capturesOnce, [this] {
        QStringList distinct;
        QHash<QString, qsizetype> ids;
        QList<qsizetype> idOf;
        idOf.reserve(m_firstCapture.constLast());
        ids.reserve(m_firstCapture.constLast());
        distinct.reserve(m_firstCapture.constLast());
        for (const AppUsageSession& session : m_sessions) {
            for (const WindowTitleCapture& capture : session.windowCaptures) {
                std::optional<QString> context = capture.contextString();
                if (!context) {
                    idOf.append(-1);
                    continue;
                }
                const auto found = ids.constFind(*context);
                if (found != ids.cend()) {
                    idOf.append(*found);
                } else {
                    idOf.append(distinct.size());
                    ids.insert(*context, distinct.size());
                    distinct.append(std::move(*context));
                }
            }
        }
        const QList<qsizetype> ranks = rank(distinct, m_captures.contexts);
        m_captures.contextRank.reserve(idOf.size());
        for (const qsizetype id : std::as_const(idOf)) {
            m_captures.contextRank.append(id < 0 ? -1 : ranks[id]);
        }
    });
    return m_captures;
}

const UsageDayIndex::Titles& UsageDayIndex::titles() const {
    std::call_once(m_titlesOnce, [this] {
        QStringList distinct;
        QHash<QString, qsizetype> ids;
        QList<qsizetype> idOf;
        idOf.reserve(m_firstCapture.constLast());
        ids.reserve(m_firstCapture.constLast());
        distinct.reserve(m_firstCapture.constLast());
        for (const AppUsageSession& session : m_sessions) {
            for (const WindowTitleCapture& capture : session.windowCaptures) {
                if (capture.isRedacted) {
                    idOf.append(-1);
                    continue;
                }
                const auto found = ids.constFind(capture.title);
                if (found != ids.cend()) {
                    idOf.append(*found);
                } else {
                    idOf.append(distinct.size());
                    ids.insert(capture.title, distinct.size());
                    distinct.append(capture.title);
                }
            }
        }
        const QList<qsizetype> ranks = rank(distinct, m_titles.titles);
        m_titles.titleRank.reserve(idOf.size());
        for (const qsizetype id : std::as_const(idOf)) {
            m_titles.titleRank.append(id < 0 ? -1 : ranks[id]);
        }
    });
    return m_titles;
}

QStringList UsageDayIndex::unionOf(const QList<qsizetype>& sessions, const QList<qsizetype>& ranks,
                                   const QStringList& sorted) const {
    QList<qsizetype> found;
    for (const qsizetype session : sessions) {
        for (qsizetype at = m_firstCapture[session]; at < m_firstCapture[session + 1]; ++at) {
            if (ranks[at] >= 0) {
                found.append(ranks[at]);
            }
        }
    }
    if (found.size() * 8 >= sorted.size()) {
        // Many ranks against the distinct texts: marking them is cheaper than sorting them.
        std::vector<bool> seen(size_t(sorted.size()), false);
        for (const qsizetype rank : std::as_const(found)) {
            seen[size_t(rank)] = true;
        }
        found.clear();
        for (qsizetype rank = 0; rank < sorted.size(); ++rank) {
            if (seen[size_t(rank)]) {
                found.append(rank);
            }
        }
    } else {
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
    }
    QStringList texts;
    texts.reserve(found.size());
    for (const qsizetype at : std::as_const(found)) {
        texts.append(sorted[at]);
    }
    return texts;
}

const QStringList& UsageDayIndex::contexts() const {
    return captures().contexts;
}

QStringList UsageDayIndex::contextsOf(const QList<qsizetype>& sessions) const {
    const Captures& all = captures();
    return unionOf(sessions, all.contextRank, all.contexts);
}

std::optional<QString> UsageDayIndex::dominantContextOf(qsizetype session) const {
    const Captures& all = captures();
    QHash<qsizetype, int> counts;
    qsizetype best = -1;
    int bestCount = 0;
    for (qsizetype at = m_firstCapture[session]; at < m_firstCapture[session + 1]; ++at) {
        const qsizetype rank = all.contextRank[at];
        if (rank < 0) {
            continue;
        }
        const int count = ++counts[rank];
        if (count > bestCount) {
            bestCount = count;
            best = rank;
        }
    }
    if (best < 0) {
        return std::nullopt;
    }
    return all.contexts[best];
}

QStringList UsageDayIndex::windowTitlesOf(const QList<qsizetype>& sessions) const {
    const Titles& all = titles();
    return unionOf(sessions, all.titleRank, all.titles);
}

const UsageDayIndex::Table& UsageDayIndex::contextDetails(qsizetype app) const {
    std::call_once(m_detailsOnce, [this] {
        m_details.resize(m_apps.size());
        std::vector<KeyTable> tables;
        tables.reserve(m_details.size());
        for (Table& table : m_details) {
            tables.emplace_back(table);
        }
        for (qsizetype s = 0; s < m_sessions.size(); ++s) {
            KeyTable& table = tables[size_t(m_appOf[s])];
            for (const WindowTitleCapture& capture : m_sessions[s].windowCaptures) {
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
                if (!key.isEmpty()) {
                    table.credit(s, table.add(key));
                }
            }
        }
    });
    return m_details[app];
}

const UsageDayIndex::Table& UsageDayIndex::websites() const {
    std::call_once(m_websitesOnce, [this] {
        KeyTable table(m_websites);
        for (qsizetype s = 0; s < m_sessions.size(); ++s) {
            const AppUsageSession& session = m_sessions[s];
            const AppCatalogue::App* known = AppCatalogue::find(session.appId);
            if (!known || !known->reportedBrowser) {
                continue;
            }
            for (const WindowTitleCapture& capture : session.windowCaptures) {
                if (const std::optional<QString> host = hostOf(capture.url)) {
                    table.credit(s, table.add(*host));
                }
            }
        }
    });
    return m_websites;
}

const UsageDayIndex::Table& UsageDayIndex::paths() const {
    std::call_once(m_pathsOnce, [this] {
        static const QStringList extensions{
            QStringLiteral(".swift"), QStringLiteral(".ts"), QStringLiteral(".js"), QStringLiteral(".py"),
            QStringLiteral(".php"),   QStringLiteral(".go"), QStringLiteral(".rs")};
        const Captures& all = captures();
        KeyTable table(m_paths);
        for (qsizetype s = 0; s < m_sessions.size(); ++s) {
            const AppUsageSession& session = m_sessions[s];
            const bool terminal = AppCatalogue::is(session.appId, AppCatalogue::Kind::terminal);
            if (!terminal && !AppCatalogue::is(session.appId, AppCatalogue::Kind::editor)) {
                continue;
            }
            for (qsizetype at = m_firstCapture[s]; at < m_firstCapture[s + 1]; ++at) {
                // Redacted captures have no context line.
                const qsizetype context = all.contextRank[at];
                if (context < 0) {
                    continue;
                }
                const QString& text = all.contexts[context];
                bool counts =
                    terminal || text.startsWith(QLatin1String("~/")) || text.startsWith(QLatin1Char('/'));
                for (qsizetype i = 0; !counts && i < extensions.size(); ++i) {
                    counts = text.contains(extensions[i]);
                }
                if (!counts) {
                    continue;
                }
                const bool isDirectory = !text.contains(QLatin1Char('.')) || text.endsWith(QLatin1Char('/'));
                table.credit(s, table.add(text, isDirectory ? 1 : 0));
            }
        }
    });
    return m_paths;
}

const UsageDayIndex::Table& UsageDayIndex::keywords() const {
    std::call_once(m_keywordsOnce, [this] {
        KeyTable table(m_keywords);
        QList<QStringView> tokens;
        QVarLengthArray<char16_t, 64> lowered;
        for (qsizetype s = 0; s < m_sessions.size(); ++s) {
            for (const WindowTitleCapture& capture : m_sessions[s].windowCaptures) {
                if (capture.isRedacted) {
                    continue;
                }
                tokens.clear();
                // The application's own name in its titles names no work.
                KeywordTokens::appendViews(
                    WindowTitleCapture::withoutApplicationName(capture.title, m_sessions[s].appName), tokens);
                for (const QStringView token : std::as_const(tokens)) {
                    // Plain ASCII (no carriage return) has one character per unit and lowers letter by
                    // letter: such a word is looked up without a copy.
                    bool plain = true;
                    for (const QChar ch : token) {
                        plain &= ch.unicode() < 0x80 && ch != QLatin1Char('\r');
                    }
                    QString key;
                    if (plain) {
                        if (token.size() < 3) {
                            continue;
                        }
                        lowered.resize(token.size());
                        for (qsizetype i = 0; i < token.size(); ++i) {
                            const char16_t ch = token[i].unicode();
                            lowered[i] = ch >= u'A' && ch <= u'Z' ? char16_t(ch + 32) : ch;
                        }
                        key = QString::fromRawData(reinterpret_cast<const QChar*>(lowered.constData()),
                                                   lowered.size());
                    } else {
                        const QString word = token.toString();
                        if (characterCount(word) < 3) {
                            continue;
                        }
                        key = word.toLower();
                    }
                    if (keywordStopWords().contains(key)) {
                        continue;
                    }
                    table.credit(s, table.addCopy(key));
                }
            }
        }
    });
    return m_keywords;
}

QList<UsageDayIndex::Block> UsageDayIndex::blocks(qint64 gapMSecs, const Now& now) const {
    QList<Block> blocks;
    if (m_sessions.isEmpty()) {
        return blocks;
    }
    auto endMoment = [&](qsizetype s) {
        const char state = m_endState[s];
        return state == 2 ? Moment{now.moment.isValid(), now.msecs} : Moment{state == 1, m_endMSecs[s]};
    };
    const qsizetype first = m_byStart.first();
    Block open{m_sessions[first].startTime, endOrNow(first, now), {}};
    Moment openEnd = endMoment(first);
    for (const qsizetype s : m_byStart) {
        const Moment end = endMoment(s);
        const Moment start{m_startValid[s], m_startMSecs[s]};
        if (!open.sessions.isEmpty() && openEnd.msecsTo(start) > gapMSecs) {
            blocks.append(std::move(open));
            open = Block{m_sessions[s].startTime, endOrNow(s, now), {}};
            openEnd = end;
        }
        open.sessions.append(s);
        // The block lasts until the latest end seen, not the end of the session added last.
        if (openEnd < end) {
            open.endTime = endOrNow(s, now);
            openEnd = end;
        }
    }
    blocks.append(std::move(open));
    return blocks;
}

QList<UsageDayIndex::Task> UsageDayIndex::tasks(const Now& now) const {
    QList<Task> groups;
    QHash<QString, qsizetype> tracked;
    std::optional<qsizetype> untracked;
    for (qsizetype s = 0; s < m_sessions.size(); ++s) {
        const std::optional<QString>& taskId = m_sessions[s].clickUpTaskId;
        qsizetype at = -1;
        if (taskId) {
            const auto found = tracked.constFind(*taskId);
            if (found != tracked.cend()) {
                at = *found;
            } else {
                at = groups.size();
                tracked.insert(*taskId, at);
                groups.append(Task{taskId, {}, 0});
            }
        } else if (untracked) {
            at = *untracked;
        } else {
            at = groups.size();
            untracked = at;
            groups.append(Task{std::nullopt, {}, 0});
        }
        groups[at].sessions.append(s);
    }
    for (Task& group : groups) {
        for (const qsizetype s : std::as_const(group.sessions)) {
            group.total += duration(s, now);
        }
    }
    std::stable_sort(groups.begin(), groups.end(), [](const Task& a, const Task& b) {
        const bool aUntracked = !a.taskId.has_value();
        const bool bUntracked = !b.taskId.has_value();
        if (aUntracked != bUntracked) {
            return aUntracked;
        }
        return a.total > b.total;
    });
    return groups;
}

std::optional<QString> UsageDayIndex::dominantTaskId(const QList<qsizetype>& sessions, const Now& now) const {
    TaskTotals totals;
    for (const qsizetype s : sessions) {
        if (const std::optional<QString>& taskId = m_sessions[s].clickUpTaskId) {
            totals.add(*taskId, duration(s, now));
        }
    }
    return totals.dominant();
}

QList<QPair<QString, double>> UsageDayIndex::secondsByAppName(const QList<qsizetype>& sessions,
                                                              const Now& now) const {
    QList<QPair<QString, double>> result;
    QHash<QString, qsizetype> index;
    for (const qsizetype s : sessions) {
        const QString& name = m_sessions[s].appName;
        const auto found = index.constFind(name);
        if (found == index.cend()) {
            index.insert(name, result.size());
            result.append({name, duration(s, now)});
        } else {
            result[*found].second += duration(s, now);
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    return result;
}

std::shared_ptr<const UsageDayIndex> UsageDayIndex::Cache::of(const QList<AppUsageSession>& sessions) const {
    std::shared_ptr<const UsageDayIndex> index = m_index.load();
    if (index && index->isOf(sessions)) {
        return index;
    }
    index = std::make_shared<const UsageDayIndex>(sessions);
    m_index.store(index);
    return index;
}
