#pragma once

#include "core/DecodingError.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

#include <optional>

// Reads one value of a parsed JSON document by strict rules and remembers where in the document it
// is, so that a failure names the place ("data[3].start"):
// - a required value that is missing fails with keyNotFound, one that is null with valueNotFound;
// - an optional value that is missing or null is absent;
// - a value of another JSON type fails with typeMismatch, whether required or optional;
// - members nobody asks for are ignored.
// Reply types decode themselves with a static fromJson(const JsonReader&) built on these reads.
// Readers are cheap values; the place is only spelled out when it is needed.
class JsonReader {
public:
    // The document itself (empty path).
    JsonReader(const QJsonValue& value); // NOLINT: implicit on purpose, fromJson(QJsonValue) reads well
    JsonReader(const QJsonObject& object);
    JsonReader(const QJsonArray& array);

    // Parses reply bytes. Text that is not JSON fails with dataCorrupted, so callers meet one error type.
    static JsonReader parse(const QByteArray& bytes);

    const QJsonValue& value() const { return m_value; }
    // Where this value sits in the document: "" for the document, "data", "data[3].start".
    QString path() const;

    bool isMissing() const { return m_value.isUndefined(); }
    bool isNull() const { return m_value.isNull(); }
    // Missing or null: how an optional value says "none".
    bool isAbsent() const { return isMissing() || isNull(); }

    // A member of this object; missing members give a reader whose value is missing.
    // Fails unless this value is an object. The key is kept by reference: pass a literal.
    JsonReader operator[](QLatin1String key) const;
    // Elements of this array. Fail unless this value is an array.
    qsizetype size() const;
    JsonReader at(qsizetype index) const;

    // Required values.
    QJsonObject object() const;
    QJsonArray array() const;
    QString string() const;
    // A whole number within the 64-bit range (a JSON number such as 42 or 42.0).
    qint64 integer() const;
    double number() const;
    bool boolean() const;

    // Optional values: none when missing or null.
    std::optional<QString> optionalString() const;
    std::optional<qint64> optionalInteger() const;

    // Values whose type decodes itself through T::fromJson(const JsonReader&).
    template <class T>
    T decode() const {
        return T::fromJson(*this);
    }
    template <class T>
    std::optional<T> optional() const {
        if (isAbsent()) {
            return std::nullopt;
        }
        return T::fromJson(*this);
    }
    template <class T>
    QList<T> list() const {
        const qsizetype count = size();
        QList<T> result;
        result.reserve(count);
        for (qsizetype i = 0; i < count; ++i) {
            result.append(T::fromJson(at(i)));
        }
        return result;
    }
    template <class T>
    std::optional<QList<T>> optionalList() const {
        if (isAbsent()) {
            return std::nullopt;
        }
        return list<T>();
    }

    // Failures at this place, with the given detail text.
    DecodingError typeMismatch(const QString& detail) const;
    DecodingError dataCorrupted(const QString& detail) const;
    // The failure for a value that is not of the expected type, named as users read it ("String",
    // "Int"): keyNotFound when missing, valueNotFound when null, typeMismatch otherwise.
    DecodingError unexpected(const QString& typeName) const;

    // A word for the JSON type of a value: "a string", "a number", "null", ...
    static QString describeType(const QJsonValue& value);

private:
    JsonReader(QJsonValue value, QString parentPath, QLatin1String key);
    JsonReader(QJsonValue value, QString parentPath, qsizetype index);

    QJsonValue m_value;
    QString m_parentPath;
    QLatin1String m_key;
    qsizetype m_index = -1;
    mutable std::optional<QString> m_path;
};

// Decodes a whole reply of type T from its bytes; every failure is a DecodingError.
template <class T>
T decodeJson(const QByteArray& bytes) {
    return T::fromJson(JsonReader::parse(bytes));
}
