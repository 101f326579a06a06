#pragma once

#include "services/usage/AppUsageSession.h"

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

// What the day summary and the reports compute again and again from a list of sessions, computed
// once: each session's start and end as milliseconds (a local date-time is converted through the time
// zone on every question otherwise), the order by start, the applications, each capture's context line
// and the tables the breakdowns sum over. Nothing here depends on the clock: open sessions are measured
// against the `now` each question gives, so the index stays right while they run.
//
// The parts beyond the sessions' times are built on first use; an index may be asked from several
// threads.
class UsageDayIndex {
public:
    // A now to measure open sessions against, read from Clock::now() only when a session is open.
    struct Now {
        QDateTime moment;
        qint64 msecs = 0;
    };

    // Entries summed by key in order of first appearance: each entry credits its session's share (or
    // duration) to a key.
    struct Table {
        QStringList keys;
        QList<int> flags;                           // per key, what the breakdown keeps beside it
        QList<QPair<qsizetype, qsizetype>> entries; // (session, key) in capture order
    };

    // A run of sessions (indexes, by start time) as ActivityGrouping groups them.
    struct Block {
        QDateTime startTime;
        QDateTime endTime;
        QList<qsizetype> sessions;
    };

    // The sessions of one task id (none: the untracked ones) and their summed duration.
    struct Task {
        std::optional<QString> taskId;
        QList<qsizetype> sessions;
        double total = 0;
    };

    explicit UsageDayIndex(QList<AppUsageSession> sessions);

    const QList<AppUsageSession>& sessions() const { return m_sessions; }
    // Whether the index was built from this very list (one that has not been changed since).
    bool isOf(const QList<AppUsageSession>& sessions) const;

    Now now() const;
    // AppUsageSession::duration(), open sessions measured to `now`.
    double duration(qsizetype session, const Now& now) const;
    // The same in whole milliseconds: QDateTime::msecsTo from the start to the end or `now`.
    qint64 durationMSecs(qsizetype session, const Now& now) const;
    // duration() divided by the number of captures (by 1 without captures).
    double share(qsizetype session, const Now& now) const;
    QDateTime endOrNow(qsizetype session, const Now& now) const;
    // Session indexes by start time (equal starts in list order).
    const QList<qsizetype>& byStart() const { return m_byStart; }

    // Application ids in order of first appearance, the first name seen for each, and each
    // session's entry in them.
    const QStringList& apps() const { return m_apps; }
    const QStringList& firstNames() const { return m_firstNames; }
    qsizetype appOf(qsizetype session) const { return m_appOf[session]; }
    QColor colorOf(qsizetype app) const { return m_colors[app]; }

    // Distinct context lines of all captures, sorted, and the distinct context lines of some
    // sessions, sorted.
    const QStringList& contexts() const;
    QStringList contextsOf(const QList<qsizetype>& sessions) const;
    // AppUsageSession::dominantContext() of one session: its most frequent context line, the first to
    // reach the highest count winning a tie.
    std::optional<QString> dominantContextOf(qsizetype session) const;
    // The same for the titles of the non-redacted captures.
    QStringList windowTitlesOf(const QList<qsizetype>& sessions) const;

    // The capture keys of DailyUsageSummary::contextDetails for one application (its entry in
    // apps()).
    const Table& contextDetails(qsizetype app) const;
    // Hosts of the browser captures; paths of the editor and terminal captures (flag: a folder);
    // keywords of the titles.
    const Table& websites() const;
    const Table& paths() const;
    const Table& keywords() const;

    // The groupings of ActivityGrouping: runs of sessions split at pauses longer than the gap,
    // and sessions per task id: the untracked ones first, then by total, largest first.
    QList<Block> blocks(qint64 gapMSecs, const Now& now) const;
    QList<Task> tasks(const Now& now) const;
    // The task id with the largest summed duration among the sessions (the first met wins a tie).
    std::optional<QString> dominantTaskId(const QList<qsizetype>& sessions, const Now& now) const;
    // Seconds per application name, largest first (equal times in order of first appearance).
    QList<QPair<QString, double>> secondsByAppName(const QList<qsizetype>& sessions, const Now& now) const;

    // The index a summary keeps for its sessions: the kept one while the list is unchanged, else a new
    // one. Copies share the kept index.
    class Cache {
    public:
        Cache() = default;
        Cache(const Cache& other)
            : m_index(other.m_index.load()) {}
        Cache& operator=(const Cache& other) {
            m_index.store(other.m_index.load());
            return *this;
        }

        std::shared_ptr<const UsageDayIndex> of(const QList<AppUsageSession>& sessions) const;

    private:
        mutable std::atomic<std::shared_ptr<const UsageDayIndex>> m_index;
    };

private:
    struct Captures {
        // Per capture of all sessions in order: its rank in the sorted contexts (-1: none).
        QList<qsizetype> contextRank;
        QStringList contexts;
    };
    struct Titles {
        QList<qsizetype> titleRank; // -1: redacted
        QStringList titles;
    };

    const Captures& captures() const;
    const Titles& titles() const;
    QStringList unionOf(const QList<qsizetype>& sessions, const QList<qsizetype>& ranks,
                        const QStringList& sorted) const;
    void buildContextDetails() const;

    const QList<AppUsageSession> m_sessions;
    QList<qint64> m_startMSecs;
    QList<qint64> m_endMSecs;
    QList<bool> m_startValid;
    QList<char> m_endState;          // 0: invalid end, 1: valid end, 2: open
    QList<qsizetype> m_firstCapture; // per session, the index of its first capture among all
    QList<qsizetype> m_byStart;
    QStringList m_apps;
    QStringList m_firstNames;
    QList<QColor> m_colors;
    QList<qsizetype> m_appOf;
    bool m_hasOpen = false;

    mutable std::once_flag m_capturesOnce;
    mutable Captures m_captures;
    mutable std::once_flag m_titlesOnce;
    mutable Titles m_titles;
    mutable std::once_flag m_detailsOnce;
    mutable QList<Table> m_details;
    mutable std::once_flag m_websitesOnce;
    mutable Table m_websites;
    mutable std::once_flag m_pathsOnce;
    mutable Table m_paths;
    mutable std::once_flag m_keywordsOnce;
    mutable Table m_keywords;
};
