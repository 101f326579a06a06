#include "services/clickup/MillisecondsText.h"

#include "core/DecodingError.h"
#include "core/JsonReader.h"

using namespace Qt::StringLiterals;

std::optional<QString> millisecondsText(const QJsonValue& value) {
    if (value.isString()) {
        return value.toString();
    }
    if (value.isDouble()) {
        const qint64 whole = value.toInteger(0);
        if (whole != 0 || value.toInteger(1) == 0) {
            return QString::number(whole);
        }
    }
    return std::nullopt;
}

std::optional<QString> optionalMillisecondsText(const JsonReader& member, QLatin1String name) {
    if (member.isAbsent()) {
        return std::nullopt;
    }
    return requiredMillisecondsText(member, name);
}

QString requiredMillisecondsText(const JsonReader& member, QLatin1String name) {
    if (auto text = millisecondsText(member.value())) {
        return *std::move(text);
    }
    throw member.typeMismatch(u"Expected String or Int for "_s + name);
}
