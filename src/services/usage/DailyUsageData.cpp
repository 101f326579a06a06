#include "services/usage/DailyUsageData.h"

#include "app/DecodingError.h"
#include "services/usage/UsageDay.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

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

// Where a value sits, spelled out only when reading fails.
struct Place {
    const Place* parent = nullptr;
    const char* key = nullptr;
    qsizetype index = -1;

    QString text() const {
        QString prefix = parent ? parent->text() : QString();
        if (index >= 0) {
            return prefix + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
        }
        if (!key) {
            return prefix;
        }
        return prefix.isEmpty() ? QString::fromLatin1(key) : prefix + QLatin1Char('.') + QLatin1String(key);
    }
};

QString typeWord(const QJsonValue& value) {
    switch (value.type()) {
    case QJsonValue::Null:
        return QStringLiteral("null");
    case QJsonValue::Bool:
        return QStringLiteral("a boolean");
    case QJsonValue::Double:
        return QStringLiteral("a number");
    case QJsonValue::String:
        return QStringLiteral("a string");
    case QJsonValue::Array:
        return QStringLiteral("an array");
    case QJsonValue::Object:
        return QStringLiteral("an object");
    case QJsonValue::Undefined:
        break;
    }
    return QStringLiteral("nothing");
}

[[noreturn]] void fail(const Place& place, const QJsonValue& value, const char* expected) {
    const QString path = place.text();
    if (value.isUndefined()) {
        throw DecodingError(
            DecodingError::Kind::keyNotFound, path,
            QStringLiteral("No value for the required key \"%1\"").arg(QLatin1String(place.key)));
    }
    if (value.isNull()) {
        throw DecodingError(DecodingError::Kind::valueNotFound, path,
                            QStringLiteral("Expected %1 but found null").arg(QLatin1String(expected)));
    }
    throw DecodingError(
        DecodingError::Kind::typeMismatch, path,
        QStringLiteral("Expected %1 but found %2").arg(QLatin1String(expected), typeWord(value)));
}

QString requiredString(const QJsonObject& object, const char* key, const Place& parent) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isString()) {
        fail(Place{&parent, key}, value, "String");
    }
    return value.toString();
}

std::optional<QString> optionalString(const QJsonObject& object, const char* key, const Place& parent) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (value.isUndefined() || value.isNull()) {
        return std::nullopt;
    }
    if (!value.isString()) {
        fail(Place{&parent, key}, value, "String");
    }
    return value.toString();
}

bool requiredBool(const QJsonObject& object, const char* key, const Place& parent) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isBool()) {
        fail(Place{&parent, key}, value, "Bool");
    }
    return value.toBool();
}

QDateTime dateTimeFrom(const QString& text, const Place& place) {
    std::optional<QDateTime> moment = usageday::parseDateTime(text);
    if (!moment) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, place.text(),
                            QStringLiteral("Expected a date like 2025-03-14T08:05:09Z"));
    }
    return *moment;
}

QDateTime requiredDateTime(const QJsonObject& object, const char* key, const Place& parent) {
    return dateTimeFrom(requiredString(object, key, parent), Place{&parent, key});
}

bool isHex(char16_t ch) {
    return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F');
}

QUuid requiredUuid(const QJsonObject& object, const char* key, const Place& parent) {
    const QString text = requiredString(object, key, parent);
    bool wellFormed = text.size() == 36;
    for (qsizetype i = 0; wellFormed && i < 36; ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        wellFormed = dash ? text[i] == QLatin1Char('-') : isHex(text[i].unicode());
    }
    if (!wellFormed) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, Place{&parent, key}.text(),
                            QStringLiteral("Attempted to decode UUID from invalid UUID string"));
    }
    return QUuid::fromString(text);
}

QJsonArray requiredArray(const QJsonObject& object, const char* key, const Place& parent) {
    const QJsonValue value = object.value(QLatin1String(key));
    if (!value.isArray()) {
        fail(Place{&parent, key}, value, "Array");
    }
    return value.toArray();
}

QJsonObject objectAt(const QJsonArray& array, qsizetype index, const Place& parent) {
    const QJsonValue value = array.at(index);
    if (!value.isObject()) {
        fail(Place{&parent, nullptr, index}, value, "Object");
    }
    return value.toObject();
}

WindowTitleCapture readCapture(const QJsonObject& object, const Place& place) {
    WindowTitleCapture capture;
    capture.id = requiredUuid(object, "id", place);
    capture.title = requiredString(object, "title", place);
    capture.capturedAt = requiredDateTime(object, "capturedAt", place);
    capture.isRedacted = requiredBool(object, "isRedacted", place);
    capture.url = optionalString(object, "url", place);
    capture.emailSubject = optionalString(object, "emailSubject", place);
    capture.emailSender = optionalString(object, "emailSender", place);
    capture.emailMailbox = optionalString(object, "emailMailbox", place);
    return capture;
}

AppUsageSession readSession(const QJsonObject& object, const Place& place) {
    AppUsageSession session;
    session.id = requiredUuid(object, "id", place);
    session.bundleIdentifier = requiredString(object, "bundleIdentifier", place);
    session.appName = requiredString(object, "appName", place);
    session.startTime = requiredDateTime(object, "startTime", place);
    if (std::optional<QString> end = optionalString(object, "endTime", place)) {
        session.endTime = dateTimeFrom(*end, Place{&place, "endTime"});
    }
    session.clickUpTaskId = optionalString(object, "clickUpTaskId", place);
    const QJsonValue titles = object.value(QLatin1String("windowTitles"));
    if (!titles.isUndefined() && !titles.isNull()) {
        const Place titlesPlace{&place, "windowTitles"};
        if (!titles.isArray()) {
            fail(titlesPlace, titles, "Array");
        }
        const QJsonArray array = titles.toArray();
        QStringList list;
        list.reserve(array.size());
        for (qsizetype i = 0; i < array.size(); ++i) {
            const QJsonValue title = array.at(i);
            if (!title.isString()) {
                fail(Place{&titlesPlace, nullptr, i}, title, "String");
            }
            list.append(title.toString());
        }
        session.windowTitles = std::move(list);
    }
    const QJsonArray captures = requiredArray(object, "windowCaptures", place);
    const Place capturesPlace{&place, "windowCaptures"};
    session.windowCaptures.reserve(captures.size());
    for (qsizetype i = 0; i < captures.size(); ++i) {
        const Place capturePlace{&capturesPlace, nullptr, i};
        session.windowCaptures.append(readCapture(objectAt(captures, i, capturesPlace), capturePlace));
    }
    session.projectContext = optionalString(object, "projectContext", place);
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
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, QString(),
                            QStringLiteral("The data is not valid JSON: %1 at offset %2")
                                .arg(error.errorString())
                                .arg(error.offset));
    }
    const Place root;
    if (!document.isObject()) {
        throw DecodingError(
            DecodingError::Kind::typeMismatch, QString(),
            QStringLiteral("Expected Object but found %1")
                .arg(document.isArray() ? QStringLiteral("an array") : QStringLiteral("nothing")));
    }
    const QJsonObject object = document.object();
    DailyUsageData data;
    data.date = requiredString(object, "date", root);
    const QJsonArray sessions = requiredArray(object, "sessions", root);
    const Place sessionsPlace{&root, "sessions"};
    data.sessions.reserve(sessions.size());
    for (qsizetype i = 0; i < sessions.size(); ++i) {
        const Place sessionPlace{&sessionsPlace, nullptr, i};
        data.sessions.append(readSession(objectAt(sessions, i, sessionsPlace), sessionPlace));
    }
    return data;
}
