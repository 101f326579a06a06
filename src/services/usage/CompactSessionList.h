#pragma once

#include "services/usage/AppUsageSession.h"
#include "services/usage/UsageStringTable.h"

#include <QDate>
#include <QList>

#include <optional>
#include <vector>

// Ended sessions kept in a small form until someone asks for them: times as milliseconds, texts in a
// table of their own (each distinct one once, as UTF-8), the captures of all sessions in one array.
// A busy day (2,000 sessions, 20,000 captures) takes about a fifth of the memory of the full records.
// The full records come back equal to those put in; every time comes back as the same moment in UTC, as
// a day read from its file has them (a local date-time would cost a time-zone lookup to make, and
// another on each conversion).
class CompactSessionList {
public:
    CompactSessionList() = default;
    explicit CompactSessionList(const QList<AppUsageSession>& sessions);

    qsizetype size() const { return qsizetype(m_sessions.size()); }
    bool isEmpty() const { return m_sessions.empty(); }

    void append(const AppUsageSession& session);
    // Every session, in the order appended.
    QList<AppUsageSession> sessions() const;
    // The sessions whose start lies on that local day, in the order appended.
    QList<AppUsageSession> sessionsStartedOn(QDate day) const;
    // Whether a session started before that moment (milliseconds since 1970) or has no valid start.
    bool hasSessionStartedBefore(qint64 moment) const;
    // The day file of that day key (see UsageDayFile) holding the sessions that started at or after
    // `from` (milliseconds since 1970; all of them when not given), in the order appended: the bytes
    // UsageDayFile::toJson writes of their records, written without making the records. `written`
    // receives how many sessions it holds.
    QByteArray dayFile(const QString& date, std::optional<qint64> from = std::nullopt,
                       qsizetype* written = nullptr) const;

private:
    // Whether a time is there and valid, beside its milliseconds.
    enum class TimeForm : quint8 { absent, invalid, valid };
    // How a session's windowTitles is kept: none, the titles of its non-redacted captures in order
    // (what addCapture makes), or a list of its own.
    enum class TitlesForm : quint8 { none, fromCaptures, listed };

    struct Capture {
        QUuid id;
        qint64 capturedAt = 0;
        quint32 title = UsageStringTable::none;
        quint32 url = UsageStringTable::none;
        quint32 emailSubject = UsageStringTable::none;
        quint32 emailSender = UsageStringTable::none;
        quint32 emailMailbox = UsageStringTable::none;
        TimeForm capturedAtForm = TimeForm::invalid;
        bool isRedacted = false;
    };
    struct Session {
        QUuid id;
        qint64 startTime = 0;
        qint64 endTime = 0;
        quint32 appId = UsageStringTable::none;
        quint32 appName = UsageStringTable::none;
        quint32 clickUpTaskId = UsageStringTable::none;
        quint32 projectContext = UsageStringTable::none;
        quint32 firstCapture = 0;
        quint32 captureCount = 0;
        quint32 firstTitle = 0;
        quint32 titleCount = 0;
        TimeForm startForm = TimeForm::invalid;
        TimeForm endForm = TimeForm::absent;
        TitlesForm titlesForm = TitlesForm::none;
    };
    // A kept session and its captures as UsageDayWriter reads them.
    class SessionView;
    class CaptureView;

    static TimeForm formOf(const QDateTime& moment);
    static QDateTime dateTime(qint64 milliseconds, TimeForm form);
    // The text of a number, made once per call of sessions() in `texts`, so that the records share it.
    QString text(quint32 id, std::vector<QString>& texts) const;
    AppUsageSession fullSession(const Session& session, std::vector<QString>& texts) const;

    std::vector<Session> m_sessions;
    std::vector<Capture> m_captures;
    // Window titles of the sessions whose list differs from their captures' titles.
    std::vector<quint32> m_titles;
    UsageStringTable m_strings;
};
