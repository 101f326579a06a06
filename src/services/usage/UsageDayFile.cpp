#include "services/usage/UsageDayFile.h"

#include "core/DecodingError.h"
#include "core/JsonByteReader.h"
#include "services/usage/UsageDay.h"
#include "services/usage/UsageDayWriter.h"

namespace {
// ---- writing: the records as UsageDayWriter reads them ----

class RecordedCapture {
public:
    explicit RecordedCapture(const WindowTitleCapture& capture)
        : m_capture(capture) {}
    const QUuid& id() const { return m_capture.id; }
    const QString& title() const { return m_capture.title; }
    const QDateTime& capturedAt() const { return m_capture.capturedAt; }
    bool isRedacted() const { return m_capture.isRedacted; }
    const std::optional<QString>& url() const { return m_capture.url; }
    const std::optional<QString>& emailSubject() const { return m_capture.emailSubject; }
    const std::optional<QString>& emailSender() const { return m_capture.emailSender; }
    const std::optional<QString>& emailMailbox() const { return m_capture.emailMailbox; }

private:
    const WindowTitleCapture& m_capture;
};

class RecordedSession {
public:
    explicit RecordedSession(const AppUsageSession& session)
        : m_session(session) {}
    const QUuid& id() const { return m_session.id; }
    const QString& appId() const { return m_session.appId; }
    const QString& appName() const { return m_session.appName; }
    const QDateTime& startTime() const { return m_session.startTime; }
    const std::optional<QDateTime>& endTime() const { return m_session.endTime; }
    const std::optional<QString>& clickUpTaskId() const { return m_session.clickUpTaskId; }
    bool hasWindowTitles() const { return m_session.windowTitles.has_value(); }
    template <typename Function>
    void forEachWindowTitle(Function&& function) const {
        for (const QString& title : *m_session.windowTitles) {
            function(title);
        }
    }
    template <typename Function>
    void forEachCapture(Function&& function) const {
        for (const WindowTitleCapture& capture : m_session.windowCaptures) {
            function(RecordedCapture(capture));
        }
    }
    const std::optional<QString>& projectContext() const { return m_session.projectContext; }

private:
    const AppUsageSession& m_session;
};

// ---- reading ----
//
// The day file's shape walked over the byte reader: the records are built directly (no intermediate
// JSON tree), members nobody knows are skipped, and the place of the first problem is named.

QDateTime requiredDateTime(JsonByteReader& reader, const JsonPlace& place) {
    return reader.requiredShortString(place, [&](QStringView text) {
        std::optional<QDateTime> moment = usageday::parseDateTime(text);
        if (!moment) {
            throw DecodingError(DecodingError::Kind::dataCorrupted, place.text(),
                                QStringLiteral("Expected a date like 2025-03-14T08:05:09Z"));
        }
        return *moment;
    });
}

WindowTitleCapture readCapture(JsonByteReader& reader, const JsonPlace& place) {
    WindowTitleCapture capture;
    unsigned seen = 0;
    reader.readObject(place, [&](const QByteArray& key) {
        if (key == "id") {
            capture.id = reader.requiredUuid(JsonPlace{&place, "id"});
            seen |= 1;
        } else if (key == "title") {
            capture.title = reader.requiredString(JsonPlace{&place, "title"});
            seen |= 2;
        } else if (key == "capturedAt") {
            capture.capturedAt = requiredDateTime(reader, JsonPlace{&place, "capturedAt"});
            seen |= 4;
        } else if (key == "isRedacted") {
            capture.isRedacted = reader.requiredBool(JsonPlace{&place, "isRedacted"});
            seen |= 8;
        } else if (key == "url") {
            capture.url = reader.optionalString(JsonPlace{&place, "url"});
        } else if (key == "emailSubject") {
            capture.emailSubject = reader.optionalString(JsonPlace{&place, "emailSubject"});
        } else if (key == "emailSender") {
            capture.emailSender = reader.optionalString(JsonPlace{&place, "emailSender"});
        } else if (key == "emailMailbox") {
            capture.emailMailbox = reader.optionalString(JsonPlace{&place, "emailMailbox"});
        } else {
            reader.skipValue();
        }
    });
    JsonByteReader::requireKey(seen & 1, place, "id");
    JsonByteReader::requireKey(seen & 2, place, "title");
    JsonByteReader::requireKey(seen & 4, place, "capturedAt");
    JsonByteReader::requireKey(seen & 8, place, "isRedacted");
    return capture;
}

AppUsageSession readSession(JsonByteReader& reader, const JsonPlace& place) {
    AppUsageSession session;
    unsigned seen = 0;
    reader.readObject(place, [&](const QByteArray& key) {
        if (key == "id") {
            session.id = reader.requiredUuid(JsonPlace{&place, "id"});
            seen |= 1;
        } else if (key == "bundleIdentifier") {
            session.appId = reader.requiredString(JsonPlace{&place, "bundleIdentifier"});
            seen |= 2;
        } else if (key == "appName") {
            session.appName = reader.requiredString(JsonPlace{&place, "appName"});
            seen |= 4;
        } else if (key == "startTime") {
            session.startTime = requiredDateTime(reader, JsonPlace{&place, "startTime"});
            seen |= 8;
        } else if (key == "endTime") {
            const JsonPlace at{&place, "endTime"};
            session.endTime =
                reader.isNullNext() ? std::nullopt : std::optional<QDateTime>(requiredDateTime(reader, at));
        } else if (key == "clickUpTaskId") {
            session.clickUpTaskId = reader.optionalString(JsonPlace{&place, "clickUpTaskId"});
        } else if (key == "windowTitles") {
            const JsonPlace titlesPlace{&place, "windowTitles"};
            if (reader.isNullNext()) {
                session.windowTitles.reset();
                return;
            }
            QStringList titles;
            reader.readArray(titlesPlace, [&](qsizetype index) {
                titles.append(reader.requiredString(JsonPlace{&titlesPlace, nullptr, index}));
            });
            session.windowTitles = std::move(titles);
        } else if (key == "windowCaptures") {
            const JsonPlace capturesPlace{&place, "windowCaptures"};
            session.windowCaptures.clear();
            reader.readArray(capturesPlace, [&](qsizetype index) {
                session.windowCaptures.append(readCapture(reader, JsonPlace{&capturesPlace, nullptr, index}));
            });
            seen |= 16;
        } else if (key == "projectContext") {
            session.projectContext = reader.optionalString(JsonPlace{&place, "projectContext"});
        } else {
            reader.skipValue();
        }
    });
    JsonByteReader::requireKey(seen & 1, place, "id");
    JsonByteReader::requireKey(seen & 2, place, "bundleIdentifier");
    JsonByteReader::requireKey(seen & 4, place, "appName");
    JsonByteReader::requireKey(seen & 8, place, "startTime");
    JsonByteReader::requireKey(seen & 16, place, "windowCaptures");
    return session;
}
} // namespace

QByteArray UsageDayFile::toJson() const {
    qsizetype captures = 0;
    for (const AppUsageSession& session : sessions) {
        captures += session.windowCaptures.size();
    }
    UsageDayWriter writer(date, 64 + sessions.size() * 256 + captures * 256);
    for (const AppUsageSession& session : sessions) {
        writer.appendSession(RecordedSession(session));
    }
    return writer.finish();
}

UsageDayFile UsageDayFile::fromJson(const QByteArray& bytes) {
    JsonByteReader reader(bytes);
    const JsonPlace root;
    const JsonByteReader::Kind kind = reader.peekKind();
    if (kind != JsonByteReader::Kind::object) {
        throw DecodingError(DecodingError::Kind::typeMismatch, QString(),
                            QStringLiteral("Expected Object but found %1")
                                .arg(QLatin1String(JsonByteReader::kindWord(kind))));
    }
    UsageDayFile data;
    bool hasDate = false;
    bool hasSessions = false;
    reader.readObject(root, [&](const QByteArray& key) {
        if (key == "date") {
            data.date = reader.requiredString(JsonPlace{&root, "date"});
            hasDate = true;
        } else if (key == "sessions") {
            const JsonPlace place{&root, "sessions"};
            data.sessions.clear();
            reader.readArray(place, [&](qsizetype index) {
                data.sessions.append(readSession(reader, JsonPlace{&place, nullptr, index}));
            });
            hasSessions = true;
        } else {
            reader.skipValue();
        }
    });
    JsonByteReader::requireKey(hasDate, root, "date");
    JsonByteReader::requireKey(hasSessions, root, "sessions");
    reader.finish();
    return data;
}
