#include "services/usage/DailyUsageData.h"

#include "core/DecodingError.h"
#include "services/usage/UsageDay.h"

#include <cstring>

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
// A reader made for this one document shape: it walks the UTF-8 bytes once and builds the records
// directly (no intermediate JSON tree), checks the JSON syntax as it goes, skips members it does not
// know, and names the place of the first problem.

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

enum class Kind { null, boolean, number, string, array, object };

const char* kindWord(Kind kind) {
    switch (kind) {
    case Kind::null:
        return "null";
    case Kind::boolean:
        return "a boolean";
    case Kind::number:
        return "a number";
    case Kind::string:
        return "a string";
    case Kind::array:
        return "an array";
    case Kind::object:
        return "an object";
    }
    return "nothing";
}

class Reader {
public:
    explicit Reader(const QByteArray& bytes)
        : m_begin(bytes.constData())
        , m_p(bytes.constData())
        , m_end(bytes.constData() + bytes.size()) {}

    DailyUsageData document() {
        skipSpace();
        const Place root;
        if (peekKind() != Kind::object) {
            const Kind kind = peekKind();
            throw DecodingError(
                DecodingError::Kind::typeMismatch, QString(),
                QStringLiteral("Expected Object but found %1").arg(QLatin1String(kindWord(kind))));
        }
        DailyUsageData data;
        bool hasDate = false;
        bool hasSessions = false;
        readObject(root, [&](const QByteArray& key) {
            if (key == "date") {
                data.date = requiredString(Place{&root, "date"});
                hasDate = true;
            } else if (key == "sessions") {
                const Place place{&root, "sessions"};
                expectKind(place, Kind::array, "Array");
                data.sessions.clear();
                readArray([&](qsizetype index) {
                    const Place element{&place, nullptr, index};
                    data.sessions.append(readSession(element));
                });
                hasSessions = true;
            } else {
                skipValue(0);
            }
        });
        missingUnless(hasDate, root, "date");
        missingUnless(hasSessions, root, "sessions");
        skipSpace();
        if (m_p != m_end) {
            syntaxError("garbage after the document");
        }
        return data;
    }

private:
    [[noreturn]] void syntaxError(const char* what) const {
        throw DecodingError(DecodingError::Kind::dataCorrupted, QString(),
                            QStringLiteral("The data is not valid JSON: %1 at offset %2")
                                .arg(QLatin1String(what))
                                .arg(m_p - m_begin));
    }

    static void missingUnless(bool present, const Place& parent, const char* key) {
        if (!present) {
            throw DecodingError(
                DecodingError::Kind::keyNotFound, Place{&parent, key}.text(),
                QStringLiteral("No value for the required key \"%1\"").arg(QLatin1String(key)));
        }
    }

    void skipSpace() {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t')) {
            ++m_p;
        }
    }

    Kind peekKind() {
        skipSpace();
        if (m_p == m_end) {
            syntaxError("unexpected end of data");
        }
        switch (*m_p) {
        case 'n':
            return Kind::null;
        case 't':
        case 'f':
            return Kind::boolean;
        case '"':
            return Kind::string;
        case '[':
            return Kind::array;
        case '{':
            return Kind::object;
        default:
            if (*m_p == '-' || (*m_p >= '0' && *m_p <= '9')) {
                return Kind::number;
            }
            syntaxError("unexpected character");
        }
    }

    // Fails unless the next value is of the kind; null is reported as a missing value.
    void expectKind(const Place& place, Kind kind, const char* expected) {
        const Kind found = peekKind();
        if (found == kind) {
            return;
        }
        // The place must still be valid JSON: check the value before reporting its type.
        skipValue(0);
        if (found == Kind::null) {
            throw DecodingError(DecodingError::Kind::valueNotFound, place.text(),
                                QStringLiteral("Expected %1 but found null").arg(QLatin1String(expected)));
        }
        throw DecodingError(DecodingError::Kind::typeMismatch, place.text(),
                            QStringLiteral("Expected %1 but found %2")
                                .arg(QLatin1String(expected), QLatin1String(kindWord(found))));
    }

    void literal(const char* word) {
        const size_t length = std::strlen(word);
        if (size_t(m_end - m_p) < length || std::memcmp(m_p, word, length) != 0) {
            syntaxError("invalid literal");
        }
        m_p += length;
    }

    bool isNullNext() {
        if (peekKind() == Kind::null) {
            literal("null");
            return true;
        }
        return false;
    }

    static int hexValue(char ch) {
        if (ch >= '0' && ch <= '9') {
            return ch - '0';
        }
        if (ch >= 'a' && ch <= 'f') {
            return ch - 'a' + 10;
        }
        if (ch >= 'A' && ch <= 'F') {
            return ch - 'A' + 10;
        }
        return -1;
    }

    char16_t readHex4() {
        if (m_end - m_p < 4) {
            syntaxError("invalid escape");
        }
        int value = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = hexValue(m_p[i]);
            if (digit < 0) {
                syntaxError("invalid escape");
            }
            value = value * 16 + digit;
        }
        m_p += 4;
        return char16_t(value);
    }

    // At an opening quote: the end of a string without escapes or control characters (its closing
    // quote), or null for any other string.
    const char* plainStringEnd() const {
        for (const char* p = m_p + 1; p != m_end; ++p) {
            const unsigned char ch = static_cast<unsigned char>(*p);
            if (ch == '"') {
                return p;
            }
            if (ch == '\\' || ch < 0x20) {
                return nullptr;
            }
        }
        return nullptr;
    }

    // At an opening quote: the string's text.
    QString readString() {
        if (const char* end = plainStringEnd()) {
            QString text = QString::fromUtf8(m_p + 1, end - m_p - 1);
            m_p = end + 1;
            return text;
        }
        ++m_p; // the quote
        const char* start = m_p;
        while (m_p != m_end) {
            const unsigned char ch = static_cast<unsigned char>(*m_p);
            if (ch == '"') {
                QString text = QString::fromUtf8(start, m_p - start);
                ++m_p;
                return text;
            }
            if (ch == '\\') {
                break;
            }
            if (ch < 0x20) {
                syntaxError("control character in a string");
            }
            ++m_p;
        }
        if (m_p == m_end) {
            syntaxError("unterminated string");
        }
        // With escapes: collect the pieces.
        QString text = QString::fromUtf8(start, m_p - start);
        while (m_p != m_end) {
            const unsigned char ch = static_cast<unsigned char>(*m_p);
            if (ch == '"') {
                ++m_p;
                return text;
            }
            if (ch < 0x20) {
                syntaxError("control character in a string");
            }
            if (ch != '\\') {
                const char* run = m_p;
                while (m_p != m_end && *m_p != '"' && *m_p != '\\' &&
                       static_cast<unsigned char>(*m_p) >= 0x20) {
                    ++m_p;
                }
                text += QString::fromUtf8(run, m_p - run);
                continue;
            }
            ++m_p;
            if (m_p == m_end) {
                break;
            }
            const char escape = *m_p++;
            switch (escape) {
            case '"':
                text += QLatin1Char('"');
                break;
            case '\\':
                text += QLatin1Char('\\');
                break;
            case '/':
                text += QLatin1Char('/');
                break;
            case 'b':
                text += QLatin1Char('\b');
                break;
            case 'f':
                text += QLatin1Char('\f');
                break;
            case 'n':
                text += QLatin1Char('\n');
                break;
            case 'r':
                text += QLatin1Char('\r');
                break;
            case 't':
                text += QLatin1Char('\t');
                break;
            case 'u':
                text += QChar(readHex4());
                break;
            default:
                syntaxError("invalid escape");
            }
        }
        syntaxError("unterminated string");
    }

    void skipNumber() {
        if (m_p != m_end && *m_p == '-') {
            ++m_p;
        }
        auto digits = [this] {
            const char* start = m_p;
            while (m_p != m_end && *m_p >= '0' && *m_p <= '9') {
                ++m_p;
            }
            return m_p - start;
        };
        if (m_p != m_end && *m_p == '0') {
            ++m_p;
        } else if (digits() == 0) {
            syntaxError("invalid number");
        }
        if (m_p != m_end && *m_p == '.') {
            ++m_p;
            if (digits() == 0) {
                syntaxError("invalid number");
            }
        }
        if (m_p != m_end && (*m_p == 'e' || *m_p == 'E')) {
            ++m_p;
            if (m_p != m_end && (*m_p == '+' || *m_p == '-')) {
                ++m_p;
            }
            if (digits() == 0) {
                syntaxError("invalid number");
            }
        }
    }

    void skipValue(int depth) {
        if (depth > 256) {
            syntaxError("too deeply nested");
        }
        switch (peekKind()) {
        case Kind::null:
            literal("null");
            return;
        case Kind::boolean:
            literal(*m_p == 't' ? "true" : "false");
            return;
        case Kind::number:
            skipNumber();
            return;
        case Kind::string:
            readString();
            return;
        case Kind::array:
            readArray([&](qsizetype) { skipValue(depth + 1); });
            return;
        case Kind::object:
            readObject(Place(), [&](const QByteArray&) { skipValue(depth + 1); });
            return;
        }
    }

    // At "[": calls the handler once per element, which must read exactly that element.
    template <typename Handler>
    void readArray(Handler&& handler) {
        ++m_p;
        skipSpace();
        if (m_p != m_end && *m_p == ']') {
            ++m_p;
            return;
        }
        for (qsizetype index = 0;; ++index) {
            handler(index);
            skipSpace();
            if (m_p == m_end) {
                syntaxError("unterminated array");
            }
            if (*m_p == ',') {
                ++m_p;
                continue;
            }
            if (*m_p == ']') {
                ++m_p;
                return;
            }
            syntaxError("expected , or ]");
        }
    }

    // At "{": calls the handler with each key (as UTF-8), which must read exactly that member's value.
    template <typename Handler>
    void readObject(const Place&, Handler&& handler) {
        ++m_p;
        skipSpace();
        if (m_p != m_end && *m_p == '}') {
            ++m_p;
            return;
        }
        for (;;) {
            skipSpace();
            if (m_p == m_end || *m_p != '"') {
                syntaxError("expected a key");
            }
            const QByteArray key = readKey();
            skipSpace();
            if (m_p == m_end || *m_p != ':') {
                syntaxError("expected :");
            }
            ++m_p;
            handler(key);
            skipSpace();
            if (m_p == m_end) {
                syntaxError("unterminated object");
            }
            if (*m_p == ',') {
                ++m_p;
                continue;
            }
            if (*m_p == '}') {
                ++m_p;
                return;
            }
            syntaxError("expected , or }");
        }
    }

    // Keys without escapes are taken as they stand; others through the string reader.
    QByteArray readKey() {
        const char* start = m_p + 1;
        const char* p = start;
        while (p != m_end && *p != '"' && *p != '\\' && static_cast<unsigned char>(*p) >= 0x20) {
            ++p;
        }
        if (p != m_end && *p == '"') {
            m_p = p + 1;
            return QByteArray::fromRawData(start, p - start);
        }
        return readString().toUtf8();
    }

    QString requiredString(const Place& place) {
        expectKind(place, Kind::string, "String");
        return readString();
    }

    std::optional<QString> optionalString(const Place& place) {
        if (isNullNext()) {
            return std::nullopt;
        }
        return requiredString(place);
    }

    bool requiredBool(const Place& place) {
        expectKind(place, Kind::boolean, "Bool");
        const bool value = *m_p == 't';
        literal(value ? "true" : "false");
        return value;
    }

    QDateTime dateTime(const Place& place, QStringView text) {
        std::optional<QDateTime> moment = usageday::parseDateTime(text);
        if (!moment) {
            throw DecodingError(DecodingError::Kind::dataCorrupted, place.text(),
                                QStringLiteral("Expected a date like 2025-03-14T08:05:09Z"));
        }
        return *moment;
    }

    // A required date-time string; one without escapes is read from the bytes as they stand.
    QDateTime requiredDateTime(const Place& place) {
        expectKind(place, Kind::string, "String");
        const char* end = plainStringEnd();
        const qsizetype length = end ? end - m_p - 1 : -1;
        if (length < 0 || length > 32) {
            return dateTime(place, readString());
        }
        char16_t text[32];
        for (qsizetype i = 0; i < length; ++i) {
            text[i] = static_cast<unsigned char>(m_p[1 + i]);
        }
        m_p = end + 1;
        return dateTime(place, QStringView(text, length));
    }

    static bool isHex(char16_t ch) {
        return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F');
    }

    // "8-4-4-4-12" hexadecimal digits straight from the bytes; none for anything else.
    std::optional<QUuid> plainUuid() const {
        if (m_end - m_p < 38 || m_p[37] != '"') {
            return std::nullopt;
        }
        const char* text = m_p + 1;
        uchar bytes[16];
        int at = 0;
        for (int i = 0; i < 36;) {
            if (i == 8 || i == 13 || i == 18 || i == 23) {
                if (text[i] != '-') {
                    return std::nullopt;
                }
                ++i;
                continue;
            }
            const int high = hexValue(text[i]);
            const int low = hexValue(text[i + 1]);
            if (high < 0 || low < 0) {
                return std::nullopt;
            }
            bytes[at++] = uchar(high * 16 + low);
            i += 2;
        }
        return QUuid::fromRfc4122(QByteArrayView(reinterpret_cast<const char*>(bytes), 16));
    }

    QUuid uuid(const Place& place) {
        expectKind(place, Kind::string, "String");
        if (const std::optional<QUuid> plain = plainUuid()) {
            m_p += 38;
            return *plain;
        }
        const QString text = readString();
        bool wellFormed = text.size() == 36;
        for (qsizetype i = 0; wellFormed && i < 36; ++i) {
            const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
            wellFormed = dash ? text[i] == QLatin1Char('-') : isHex(text[i].unicode());
        }
        if (!wellFormed) {
            throw DecodingError(DecodingError::Kind::dataCorrupted, place.text(),
                                QStringLiteral("Attempted to decode UUID from invalid UUID string"));
        }
        return QUuid::fromString(text);
    }

    WindowTitleCapture readCapture(const Place& place) {
        expectKind(place, Kind::object, "Object");
        WindowTitleCapture capture;
        unsigned seen = 0;
        readObject(place, [&](const QByteArray& key) {
            if (key == "id") {
                capture.id = uuid(Place{&place, "id"});
                seen |= 1;
            } else if (key == "title") {
                capture.title = requiredString(Place{&place, "title"});
                seen |= 2;
            } else if (key == "capturedAt") {
                capture.capturedAt = requiredDateTime(Place{&place, "capturedAt"});
                seen |= 4;
            } else if (key == "isRedacted") {
                capture.isRedacted = requiredBool(Place{&place, "isRedacted"});
                seen |= 8;
            } else if (key == "url") {
                capture.url = optionalString(Place{&place, "url"});
            } else if (key == "emailSubject") {
                capture.emailSubject = optionalString(Place{&place, "emailSubject"});
            } else if (key == "emailSender") {
                capture.emailSender = optionalString(Place{&place, "emailSender"});
            } else if (key == "emailMailbox") {
                capture.emailMailbox = optionalString(Place{&place, "emailMailbox"});
            } else {
                skipValue(0);
            }
        });
        missingUnless(seen & 1, place, "id");
        missingUnless(seen & 2, place, "title");
        missingUnless(seen & 4, place, "capturedAt");
        missingUnless(seen & 8, place, "isRedacted");
        return capture;
    }

    AppUsageSession readSession(const Place& place) {
        expectKind(place, Kind::object, "Object");
        AppUsageSession session;
        unsigned seen = 0;
        readObject(place, [&](const QByteArray& key) {
            if (key == "id") {
                session.id = uuid(Place{&place, "id"});
                seen |= 1;
            } else if (key == "bundleIdentifier") {
                session.bundleIdentifier = requiredString(Place{&place, "bundleIdentifier"});
                seen |= 2;
            } else if (key == "appName") {
                session.appName = requiredString(Place{&place, "appName"});
                seen |= 4;
            } else if (key == "startTime") {
                session.startTime = requiredDateTime(Place{&place, "startTime"});
                seen |= 8;
            } else if (key == "endTime") {
                const Place at{&place, "endTime"};
                session.endTime =
                    isNullNext() ? std::nullopt : std::optional<QDateTime>(requiredDateTime(at));
            } else if (key == "clickUpTaskId") {
                session.clickUpTaskId = optionalString(Place{&place, "clickUpTaskId"});
            } else if (key == "windowTitles") {
                const Place titlesPlace{&place, "windowTitles"};
                if (isNullNext()) {
                    session.windowTitles.reset();
                    return;
                }
                expectKind(titlesPlace, Kind::array, "Array");
                QStringList titles;
                readArray([&](qsizetype index) {
                    titles.append(requiredString(Place{&titlesPlace, nullptr, index}));
                });
                session.windowTitles = std::move(titles);
            } else if (key == "windowCaptures") {
                const Place capturesPlace{&place, "windowCaptures"};
                expectKind(capturesPlace, Kind::array, "Array");
                session.windowCaptures.clear();
                readArray([&](qsizetype index) {
                    session.windowCaptures.append(readCapture(Place{&capturesPlace, nullptr, index}));
                });
                seen |= 16;
            } else if (key == "projectContext") {
                session.projectContext = optionalString(Place{&place, "projectContext"});
            } else {
                skipValue(0);
            }
        });
        missingUnless(seen & 1, place, "id");
        missingUnless(seen & 2, place, "bundleIdentifier");
        missingUnless(seen & 4, place, "appName");
        missingUnless(seen & 8, place, "startTime");
        missingUnless(seen & 16, place, "windowCaptures");
        return session;
    }

    const char* m_begin;
    const char* m_p;
    const char* m_end;
};
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
    Reader reader(bytes);
    return reader.document();
}
