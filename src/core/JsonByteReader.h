#pragma once

#include "core/JsonPlace.h"

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <QUuid>

#include <optional>

// Reads JSON text straight from its UTF-8 bytes, in one pass and without building a document tree:
// the caller walks the shape it expects (readObject, readArray, the value reads) and builds its own
// records as it goes. The syntax is checked along the way, members nobody asks for are skipped
// (skipValue), and every failure is a DecodingError: dataCorrupted with the byte offset for text that
// is not JSON, and for a value of the wrong kind keyNotFound, valueNotFound or typeMismatch naming
// its place. Plain strings, ids and short strings are read from the bytes as they stand.
//
// The bytes must outlive the reader. Each read starts at the next value (space before it skipped).
class JsonByteReader {
public:
    enum class Kind { null, boolean, number, string, array, object };

    explicit JsonByteReader(const QByteArray& bytes);

    // A word for a kind in failure texts: "a string", "null", ...
    static const char* kindWord(Kind kind);

    // The kind of the next value; fails at the end of the data or on a character no value starts with.
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
    // Fails unless the next value is of the kind (expected names it: "String", "Array"); null is
    // valueNotFound, another kind typeMismatch. The value is checked as JSON before either is reported.
    void expectKind(const JsonPlace& place, Kind kind, const char* expected);
    // Reads a null if one is next.
    bool isNullNext();
    // Skips the next value, checking its syntax.
    void skipValue(int depth = 0);
    // After the document: fails unless only space follows.
    void finish();

    // The next value, which must be an array: calls handler(index) once per element, which must read
    // exactly that element.
    template <typename Handler>
    void readArray(const JsonPlace& place, Handler&& handler) {
        expectKind(place, Kind::array, "Array");
        readArrayHere(handler);
    }
    // The next value, which must be an object: calls handler(key) with each key (its UTF-8 bytes,
    // valid only during the call), which must read exactly that member's value.
    template <typename Handler>
    void readObject(const JsonPlace& place, Handler&& handler) {
        expectKind(place, Kind::object, "Object");
        readObjectHere(handler);
    }

    QString requiredString(const JsonPlace& place);
    // None for null.
    std::optional<QString> optionalString(const JsonPlace& place);
    bool requiredBool(const JsonPlace& place);
    // A string of "8-4-4-4-12" hexadecimal digits; anything else fails with dataCorrupted.
    QUuid requiredUuid(const JsonPlace& place);
    // A required string handed to use(QStringView) and use's result returned; a string of at most 32
    // characters without escapes is viewed without making a QString (dates, codes).
    template <typename Use>
    auto requiredShortString(const JsonPlace& place, Use&& use) {
        expectKind(place, Kind::string, "String");
        const char* end = plainStringEnd();
        const qsizetype length = end ? end - m_p - 1 : -1;
        if (length < 0 || length > 32) {
            const QString text = readString();
            return use(QStringView(text));
        }
        char16_t text[32];
        for (qsizetype i = 0; i < length; ++i) {
            text[i] = static_cast<unsigned char>(m_p[1 + i]);
        }
        m_p = end + 1;
        return use(QStringView(text, length));
    }

    // The failure for an object's required member that never came.
    [[noreturn]] static void missingKey(const JsonPlace& parent, const char* key);
    static void requireKey(bool present, const JsonPlace& parent, const char* key) {
        if (!present) {
            missingKey(parent, key);
        }
    }

private:
    [[noreturn]] void syntaxError(const char* what) const;

    void skipSpace() {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t')) {
            ++m_p;
        }
    }
    void literal(const char* word);
    char16_t readHex4();
    // At an opening quote: the end of a string without escapes or control characters (its closing
    // quote), or null for any other string.
    const char* plainStringEnd() const;
    // At an opening quote: the string's text.
    QString readString();
    void skipNumber();
    // Keys without escapes are taken as they stand; others through the string reader.
    QByteArray readKey();
    // At an opening quote: "8-4-4-4-12" hexadecimal digits straight from the bytes; none for anything else.
    std::optional<QUuid> plainUuid() const;

    // At "[".
    template <typename Handler>
    void readArrayHere(Handler&& handler) {
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

    // At "{".
    template <typename Handler>
    void readObjectHere(Handler&& handler) {
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

    const char* m_begin;
    const char* m_p;
    const char* m_end;
};
