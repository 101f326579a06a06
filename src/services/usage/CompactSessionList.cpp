#include "services/usage/CompactSessionList.h"

#include "services/usage/UsageDay.h"
#include "services/usage/UsageDayWriter.h"

#include <algorithm>
#include <span>

namespace {
bool titlesFollowCaptures(const AppUsageSession& session) {
    const QStringList& titles = *session.windowTitles;
    qsizetype next = 0;
    for (const WindowTitleCapture& capture : session.windowCaptures) {
        if (capture.isRedacted) {
            continue;
        }
        if (next == titles.size() || titles[next] != capture.title) {
            return false;
        }
        ++next;
    }
    return next == titles.size();
}
} // namespace

class CompactSessionList::CaptureView {
public:
    CaptureView(const CompactSessionList& list, const Capture& capture)
        : m_list(list)
        , m_capture(capture) {}
    const QUuid& id() const { return m_capture.id; }
    QByteArrayView title() const { return m_list.m_strings.bytes(m_capture.title); }
    QDateTime capturedAt() const { return dateTime(m_capture.capturedAt, m_capture.capturedAtForm); }
    bool isRedacted() const { return m_capture.isRedacted; }
    std::optional<QByteArrayView> url() const { return optionalText(m_capture.url); }
    std::optional<QByteArrayView> emailSubject() const { return optionalText(m_capture.emailSubject); }
    std::optional<QByteArrayView> emailSender() const { return optionalText(m_capture.emailSender); }
    std::optional<QByteArrayView> emailMailbox() const { return optionalText(m_capture.emailMailbox); }

private:
    std::optional<QByteArrayView> optionalText(quint32 id) const {
        return id == UsageStringTable::none ? std::nullopt
                                            : std::optional<QByteArrayView>(m_list.m_strings.bytes(id));
    }

    const CompactSessionList& m_list;
    const Capture& m_capture;
};

class CompactSessionList::SessionView {
public:
    SessionView(const CompactSessionList& list, const Session& session)
        : m_list(list)
        , m_session(session) {}
    const QUuid& id() const { return m_session.id; }
    QByteArrayView appId() const { return m_list.m_strings.bytes(m_session.appId); }
    QByteArrayView appName() const { return m_list.m_strings.bytes(m_session.appName); }
    QDateTime startTime() const { return dateTime(m_session.startTime, m_session.startForm); }
    std::optional<QDateTime> endTime() const {
        return m_session.endForm == TimeForm::absent
                   ? std::nullopt
                   : std::optional<QDateTime>(dateTime(m_session.endTime, m_session.endForm));
    }
    std::optional<QByteArrayView> clickUpTaskId() const { return optionalText(m_session.clickUpTaskId); }
    bool hasWindowTitles() const { return m_session.titlesForm != TitlesForm::none; }
    template <typename Function>
    void forEachWindowTitle(Function&& function) const {
        if (m_session.titlesForm == TitlesForm::fromCaptures) {
            for (const Capture& capture : captures()) {
                if (!capture.isRedacted) {
                    function(m_list.m_strings.bytes(capture.title));
                }
            }
        } else if (m_session.titlesForm == TitlesForm::listed) {
            for (quint32 i = 0; i < m_session.titleCount; ++i) {
                function(m_list.m_strings.bytes(m_list.m_titles[m_session.firstTitle + i]));
            }
        }
    }
    template <typename Function>
    void forEachCapture(Function&& function) const {
        for (const Capture& capture : captures()) {
            function(CaptureView(m_list, capture));
        }
    }
    std::optional<QByteArrayView> projectContext() const { return optionalText(m_session.projectContext); }

private:
    std::span<const Capture> captures() const {
        return std::span<const Capture>(m_list.m_captures)
            .subspan(m_session.firstCapture, m_session.captureCount);
    }
    std::optional<QByteArrayView> optionalText(quint32 id) const {
        return id == UsageStringTable::none ? std::nullopt
                                            : std::optional<QByteArrayView>(m_list.m_strings.bytes(id));
    }

    const CompactSessionList& m_list;
    const Session& m_session;
};

CompactSessionList::CompactSessionList(const QList<AppUsageSession>& sessions) {
    m_sessions.reserve(size_t(sessions.size()));
    size_t captures = 0;
    for (const AppUsageSession& session : sessions) {
        captures += size_t(session.windowCaptures.size());
    }
    m_captures.reserve(captures);
    for (const AppUsageSession& session : sessions) {
        append(session);
    }
    m_titles.shrink_to_fit();
    m_strings.squeeze();
}

CompactSessionList::TimeForm CompactSessionList::formOf(const QDateTime& moment) {
    return moment.isValid() ? TimeForm::valid : TimeForm::invalid;
}

QDateTime CompactSessionList::dateTime(qint64 milliseconds, TimeForm form) {
    return form == TimeForm::valid ? QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC) : QDateTime();
}

void CompactSessionList::append(const AppUsageSession& session) {
    Session stored;
    stored.id = session.id;
    stored.startForm = formOf(session.startTime);
    stored.startTime = session.startTime.isValid() ? session.startTime.toMSecsSinceEpoch() : 0;
    if (session.endTime) {
        stored.endForm = formOf(*session.endTime);
        stored.endTime = session.endTime->isValid() ? session.endTime->toMSecsSinceEpoch() : 0;
    }
    stored.appId = m_strings.intern(session.appId);
    stored.appName = m_strings.intern(session.appName);
    stored.clickUpTaskId = m_strings.internOptional(session.clickUpTaskId);
    stored.projectContext = m_strings.internOptional(session.projectContext);

    stored.firstCapture = quint32(m_captures.size());
    stored.captureCount = quint32(session.windowCaptures.size());
    for (const WindowTitleCapture& capture : session.windowCaptures) {
        Capture& kept = m_captures.emplace_back();
        kept.id = capture.id;
        kept.capturedAtForm = formOf(capture.capturedAt);
        kept.capturedAt = capture.capturedAt.isValid() ? capture.capturedAt.toMSecsSinceEpoch() : 0;
        kept.title = m_strings.intern(capture.title);
        kept.url = m_strings.internOptional(capture.url);
        kept.emailSubject = m_strings.internOptional(capture.emailSubject);
        kept.emailSender = m_strings.internOptional(capture.emailSender);
        kept.emailMailbox = m_strings.internOptional(capture.emailMailbox);
        kept.isRedacted = capture.isRedacted;
    }

    if (!session.windowTitles) {
        stored.titlesForm = TitlesForm::none;
    } else if (titlesFollowCaptures(session)) {
        stored.titlesForm = TitlesForm::fromCaptures;
    } else {
        stored.titlesForm = TitlesForm::listed;
        stored.firstTitle = quint32(m_titles.size());
        stored.titleCount = quint32(session.windowTitles->size());
        for (const QString& title : *session.windowTitles) {
            m_titles.push_back(m_strings.intern(title));
        }
    }
    m_sessions.push_back(stored);
}

QString CompactSessionList::text(quint32 id, std::vector<QString>& texts) const {
    QString& made = texts[id];
    if (made.isNull()) {
        made = m_strings.text(id);
    }
    return made;
}

AppUsageSession CompactSessionList::fullSession(const Session& stored, std::vector<QString>& texts) const {
    const auto optionalText = [&](quint32 id) {
        return id == UsageStringTable::none ? std::nullopt : std::optional<QString>(text(id, texts));
    };
    AppUsageSession session;
    session.id = stored.id;
    session.appId = text(stored.appId, texts);
    session.appName = text(stored.appName, texts);
    session.startTime = dateTime(stored.startTime, stored.startForm);
    if (stored.endForm != TimeForm::absent) {
        session.endTime = dateTime(stored.endTime, stored.endForm);
    }
    session.clickUpTaskId = optionalText(stored.clickUpTaskId);
    session.projectContext = optionalText(stored.projectContext);

    // Made in place: a capture is large to move.
    session.windowCaptures.resize(stored.captureCount);
    auto kept = m_captures.cbegin() + stored.firstCapture;
    for (WindowTitleCapture& capture : session.windowCaptures) {
        capture.id = kept->id;
        capture.title = text(kept->title, texts);
        capture.capturedAt = dateTime(kept->capturedAt, kept->capturedAtForm);
        capture.isRedacted = kept->isRedacted;
        capture.url = optionalText(kept->url);
        capture.emailSubject = optionalText(kept->emailSubject);
        capture.emailSender = optionalText(kept->emailSender);
        capture.emailMailbox = optionalText(kept->emailMailbox);
        ++kept;
    }

    switch (stored.titlesForm) {
    case TitlesForm::none:
        break;
    case TitlesForm::fromCaptures: {
        QStringList& titles = session.windowTitles.emplace();
        titles.reserve(session.windowCaptures.size());
        for (const WindowTitleCapture& capture : std::as_const(session.windowCaptures)) {
            if (!capture.isRedacted) {
                titles.append(capture.title);
            }
        }
        break;
    }
    case TitlesForm::listed: {
        QStringList& titles = session.windowTitles.emplace();
        titles.reserve(stored.titleCount);
        for (quint32 i = 0; i < stored.titleCount; ++i) {
            titles.append(text(m_titles[stored.firstTitle + i], texts));
        }
        break;
    }
    }
    return session;
}

QList<AppUsageSession> CompactSessionList::sessions() const {
    std::vector<QString> texts(size_t(m_strings.count()) + 1);
    QList<AppUsageSession> result;
    result.reserve(size());
    for (const Session& stored : m_sessions) {
        result.append(fullSession(stored, texts));
    }
    return result;
}

QList<AppUsageSession> CompactSessionList::sessionsStartedOn(QDate day) const {
    const qint64 from = usageday::start(day).toMSecsSinceEpoch();
    const qint64 to = usageday::start(day.addDays(1)).toMSecsSinceEpoch();
    std::vector<QString> texts(size_t(m_strings.count()) + 1);
    QList<AppUsageSession> result;
    for (const Session& stored : m_sessions) {
        if (stored.startForm == TimeForm::valid && stored.startTime >= from && stored.startTime < to) {
            result.append(fullSession(stored, texts));
        }
    }
    return result;
}

bool CompactSessionList::hasSessionStartedBefore(qint64 moment) const {
    return std::any_of(m_sessions.cbegin(), m_sessions.cend(), [moment](const Session& stored) {
        return stored.startForm != TimeForm::valid || stored.startTime < moment;
    });
}

QByteArray CompactSessionList::dayFile(const QString& date, std::optional<qint64> from,
                                       qsizetype* written) const {
    const auto included = [from](const Session& stored) {
        return !from || (stored.startForm == TimeForm::valid && stored.startTime >= *from);
    };
    // About the size of the file, so that the buffer grows once or not at all.
    qsizetype sessions = 0;
    qsizetype captures = 0;
    for (const Session& stored : m_sessions) {
        if (included(stored)) {
            ++sessions;
            captures += stored.captureCount;
        }
    }
    UsageDayWriter writer(date, 64 + sessions * 256 + captures * 256);
    for (const Session& stored : m_sessions) {
        if (included(stored)) {
            writer.appendSession(SessionView(*this, stored));
        }
    }
    if (written) {
        *written = sessions;
    }
    return writer.finish();
}
