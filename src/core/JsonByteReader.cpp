#include "core/JsonByteReader.h"

#include "core/DecodingError.h"

#include <QByteArrayView>

#include <cstring>

namespace {
int hexValue(char ch) {
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

bool isHex(char16_t ch) {
    return (ch >= u'0' && ch <= u'9') || (ch >= u'a' && ch <= u'f') || (ch >= u'A' && ch <= u'F');
}
} // namespace

JsonByteReader::JsonByteReader(const QByteArray& bytes)
    : m_begin(bytes.constData())
    , m_p(bytes.constData())
    , m_end(bytes.constData() + bytes.size()) {}

const char* JsonByteReader::kindWord(Kind kind) {
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

void JsonByteReader::syntaxError(const char* what) const {
    throw DecodingError(DecodingError::Kind::dataCorrupted, QString(),
                        QStringLiteral("The data is not valid JSON: %1 at offset %2")
                            .arg(QLatin1String(what))
                            .arg(m_p - m_begin));
}

void JsonByteReader::missingKey(const JsonPlace& parent, const char* key) {
    throw DecodingError(DecodingError::Kind::keyNotFound, JsonPlace{&parent, key}.text(),
                        QStringLiteral("No value for the required key \"%1\"").arg(QLatin1String(key)));
}

void JsonByteReader::expectKind(const JsonPlace& place, Kind kind, const char* expected) {
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

void JsonByteReader::literal(const char* word) {
    const size_t length = std::strlen(word);
    if (size_t(m_end - m_p) < length || std::memcmp(m_p, word, length) != 0) {
        syntaxError("invalid literal");
    }
    m_p += length;
}

bool JsonByteReader::isNullNext() {
    if (peekKind() == Kind::null) {
        literal("null");
        return true;
    }
    return false;
}

void JsonByteReader::finish() {
    skipSpace();
    if (m_p != m_end) {
        syntaxError("garbage after the document");
    }
}

char16_t JsonByteReader::readHex4() {
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

const char* JsonByteReader::plainStringEnd() const {
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

QString JsonByteReader::readString() {
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
            while (m_p != m_end && *m_p != '"' && *m_p != '\\' && static_cast<unsigned char>(*m_p) >= 0x20) {
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

void JsonByteReader::skipNumber() {
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

void JsonByteReader::skipValue(int depth) {
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
        readArrayHere([&](qsizetype) { skipValue(depth + 1); });
        return;
    case Kind::object:
        readObjectHere([&](const QByteArray&) { skipValue(depth + 1); });
        return;
    }
}

QByteArray JsonByteReader::readKey() {
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

QString JsonByteReader::requiredString(const JsonPlace& place) {
    expectKind(place, Kind::string, "String");
    return readString();
}

std::optional<QString> JsonByteReader::optionalString(const JsonPlace& place) {
    if (isNullNext()) {
        return std::nullopt;
    }
    return requiredString(place);
}

bool JsonByteReader::requiredBool(const JsonPlace& place) {
    expectKind(place, Kind::boolean, "Bool");
    const bool value = *m_p == 't';
    literal(value ? "true" : "false");
    return value;
}

std::optional<QUuid> JsonByteReader::plainUuid() const {
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

QUuid JsonByteReader::requiredUuid(const JsonPlace& place) {
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
