#include "core/JsonReader.h"

#include <QJsonDocument>
#include <QJsonParseError>

JsonReader::JsonReader(const QJsonValue& value)
    : m_value(value) {}

JsonReader::JsonReader(const QJsonObject& object)
    : m_value(object) {}

JsonReader::JsonReader(const QJsonArray& array)
    : m_value(array) {}

JsonReader::JsonReader(QJsonValue value, QString parentPath, QLatin1String key)
    : m_value(std::move(value))
    , m_parentPath(std::move(parentPath))
    , m_key(key) {}

JsonReader::JsonReader(QJsonValue value, QString parentPath, qsizetype index)
    : m_value(std::move(value))
    , m_parentPath(std::move(parentPath))
    , m_index(index) {}

JsonReader JsonReader::parse(const QByteArray& bytes) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        throw DecodingError(DecodingError::Kind::dataCorrupted, QString(),
                            QStringLiteral("The data is not valid JSON: %1 at offset %2")
                                .arg(error.errorString())
                                .arg(error.offset));
    }
    if (document.isArray()) {
        return JsonReader(document.array());
    }
    return JsonReader(document.object());
}

QString JsonReader::path() const {
    if (!m_path) {
        if (m_index >= 0) {
            m_path = m_parentPath + QLatin1Char('[') + QString::number(m_index) + QLatin1Char(']');
        } else if (m_key.isNull()) {
            m_path = m_parentPath;
        } else if (m_parentPath.isEmpty()) {
            m_path = QString(m_key);
        } else {
            m_path = m_parentPath + QLatin1Char('.') + m_key;
        }
    }
    return *m_path;
}

JsonReader JsonReader::operator[](QLatin1String key) const {
    if (!m_value.isObject()) {
        throw unexpected(QStringLiteral("Object"));
    }
    return JsonReader(m_value.toObject().value(key), path(), key);
}

qsizetype JsonReader::size() const {
    if (!m_value.isArray()) {
        throw unexpected(QStringLiteral("Array"));
    }
    return m_value.toArray().size();
}

JsonReader JsonReader::at(qsizetype index) const {
    if (!m_value.isArray()) {
        throw unexpected(QStringLiteral("Array"));
    }
    return JsonReader(m_value.toArray().at(index), path(), index);
}

QJsonObject JsonReader::object() const {
    if (!m_value.isObject()) {
        throw unexpected(QStringLiteral("Object"));
    }
    return m_value.toObject();
}

QJsonArray JsonReader::array() const {
    if (!m_value.isArray()) {
        throw unexpected(QStringLiteral("Array"));
    }
    return m_value.toArray();
}

QString JsonReader::string() const {
    if (!m_value.isString()) {
        throw unexpected(QStringLiteral("String"));
    }
    return m_value.toString();
}

qint64 JsonReader::integer() const {
    if (!m_value.isDouble()) {
        throw unexpected(QStringLiteral("Int"));
    }
    // toInteger() gives the fallback for fractions and values outside 64 bits; two different
    // fallbacks tell such a value from one that happens to equal a fallback.
    const qint64 value = m_value.toInteger(0);
    if (value == 0 && m_value.toInteger(1) != 0) {
        throw typeMismatch(
            QStringLiteral("Parsed JSON number %1 does not fit in Int").arg(m_value.toDouble(), 0, 'g', 17));
    }
    return value;
}

double JsonReader::number() const {
    if (!m_value.isDouble()) {
        throw unexpected(QStringLiteral("Double"));
    }
    return m_value.toDouble();
}

bool JsonReader::boolean() const {
    if (!m_value.isBool()) {
        throw unexpected(QStringLiteral("Bool"));
    }
    return m_value.toBool();
}

std::optional<QString> JsonReader::optionalString() const {
    if (isAbsent()) {
        return std::nullopt;
    }
    return string();
}

std::optional<qint64> JsonReader::optionalInteger() const {
    if (isAbsent()) {
        return std::nullopt;
    }
    return integer();
}

DecodingError JsonReader::typeMismatch(const QString& detail) const {
    return DecodingError(DecodingError::Kind::typeMismatch, path(), detail);
}

DecodingError JsonReader::dataCorrupted(const QString& detail) const {
    return DecodingError(DecodingError::Kind::dataCorrupted, path(), detail);
}

DecodingError JsonReader::unexpected(const QString& typeName) const {
    if (isMissing()) {
        const QString what = m_key.isNull() ? QStringLiteral("No value") // an element past the end
                                            : QStringLiteral("No value for key \"%1\"").arg(m_key);
        return DecodingError(DecodingError::Kind::keyNotFound, path(), what);
    }
    if (isNull()) {
        return DecodingError(DecodingError::Kind::valueNotFound, path(),
                             QStringLiteral("Expected %1 but found null").arg(typeName));
    }
    return typeMismatch(QStringLiteral("Expected %1 but found %2").arg(typeName, describeType(m_value)));
}

QString JsonReader::describeType(const QJsonValue& value) {
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
