#include "services/usage/DailyUsageData.h"

#include "core/DecodingError.h"
#include "core/JsonByteReader.h"
#include "services/usage/UsageDay.h"

namespace {
// ---- writing ----

void appendString(QByteArray& out, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    out.append('"');
    const char* begin = utf8.constData();
    const char* end = begin + utf8.size();
    const char* run = begin;
    for (const char* p = begin; p != end; ++p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (ch >= 0x20 && ch != '"' && ch != '\\') {
            continue;
        }
        out.append(run, p - run);
        run = p + 1;
        switch (ch) {
        case '"':
            out.append("\\\"", 2);
            break;
        case '\\':
            out.append("\\\\", 2);
            break;
        case '\n':
            out.append("\\n", 2);
            break;
        case '\r':
            out.append("\\r", 2);
            break;
        case '\t':
            out.append("\\t", 2);
            break;
        default: {
            static const char hex[] = "0123456789abcdef";
            const char escaped[6] = {'\\', 'u', '0', '0', hex[ch >> 4], hex[ch & 0xf]};
            out.append(escaped, 6);
        }
        }
    }
    out.append(run, end - run);
    out.append('"');
}

void appendKey(QByteArray& out, const char* key) {
    out.append('"');
    out.append(key);
    out.append("\":", 2);
}

void appendUuid(QByteArray& out, const QUuid& id) {
    out.append('"');
    out.append(id.toByteArray(QUuid::WithoutBraces).toUpper());
    out.append('"');
}

void appendOptional(QByteArray& out, const char* key, const std::optional<QString>& value) {
    if (value.has_value()) {
        out.append(',');
        appendKey(out, key);
        appendString(out, *value);
    }
}

void appendCapture(QByteArray& out, const WindowTitleCapture& capture) {
    out.append('{');
    appendKey(out, "id");
    appendUuid(out, capture.id);
    out.append(',');
    appendKey(out, "title");
    appendString(out, capture.title);
    out.append(',');
    appendKey(out, "capturedAt");
    out.append('"');
    usageday::appendDateTime(out, capture.capturedAt);
    out.append('"');
    out.append(',');
    appendKey(out, "isRedacted");
    out.append(capture.isRedacted ? "true" : "false");
    appendOptional(out, "url", capture.url);
    appendOptional(out, "emailSubject", capture.emailSubject);
    appendOptional(out, "emailSender", capture.emailSender);
    appendOptional(out, "emailMailbox", capture.emailMailbox);
    out.append('}');
}

void appendSession(QByteArray& out, const AppUsageSession& session) {
    out.append('{');
    appendKey(out, "id");
    appendUuid(out, session.id);
    out.append(',');
    appendKey(out, "bundleIdentifier");
    appendString(out, session.bundleIdentifier);
    out.append(',');
    appendKey(out, "appName");
    appendString(out, session.appName);
    out.append(',');
    appendKey(out, "startTime");
    out.append('"');
    usageday::appendDateTime(out, session.startTime);
    out.append('"');
    if (session.endTime) {
        out.append(',');
        appendKey(out, "endTime");
        out.append('"');
        usageday::appendDateTime(out, *session.endTime);
        out.append('"');
    }
    appendOptional(out, "clickUpTaskId", session.clickUpTaskId);
    if (session.windowTitles) {
        out.append(',');
        appendKey(out, "windowTitles");
        out.append('[');
        bool first = true;
        for (const QString& title : *session.windowTitles) {
            if (!first) {
                out.append(',');
            }
            first = false;
            appendString(out, title);
        }
        out.append(']');
    }
    out.append(',');
    appendKey(out, "windowCaptures");
    out.append('[');
    for (qsizetype i = 0; i < session.windowCaptures.size(); ++i) {
        if (i > 0) {
            out.append(',');
        }
        appendCapture(out, session.windowCaptures[i]);
    }
    out.append(']');
    appendOptional(out, "projectContext", session.projectContext);
    out.append('}');
}

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
            session.bundleIdentifier = reader.requiredString(JsonPlace{&place, "bundleIdentifier"});
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

QByteArray DailyUsageData::toJson() const {
    QByteArray out;
    qsizetype captures = 0;
    for (const AppUsageSession& session : sessions) {
        captures += session.windowCaptures.size();
    }
    out.reserve(64 + sessions.size() * 256 + captures * 256);
    out.append("{\"date\":");
    appendString(out, date);
    out.append(",\"sessions\":[");
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        if (i > 0) {
            out.append(',');
        }
        appendSession(out, sessions[i]);
    }
    out.append("]}");
    return out;
}

DailyUsageData DailyUsageData::fromJson(const QByteArray& bytes) {
    JsonByteReader reader(bytes);
    const JsonPlace root;
    const JsonByteReader::Kind kind = reader.peekKind();
    if (kind != JsonByteReader::Kind::object) {
        throw DecodingError(DecodingError::Kind::typeMismatch, QString(),
                            QStringLiteral("Expected Object but found %1")
                                .arg(QLatin1String(JsonByteReader::kindWord(kind))));
    }
    DailyUsageData data;
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
