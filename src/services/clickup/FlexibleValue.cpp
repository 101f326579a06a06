#include "services/clickup/FlexibleValue.h"

#include "core/JsonReader.h"

FlexibleValue FlexibleValue::fromJson(const JsonReader& json) {
    const QJsonValue& value = json.value();
    if (value.isString()) {
        return {value.toString()};
    }
    if (value.isDouble()) {
        const qint64 whole = value.toInteger(0);
        if (whole != 0 || value.toInteger(1) == 0) {
            return {whole};
        }
        return {value.toDouble()};
    }
    throw json.typeMismatch(QStringLiteral("Expected String, Int, or Double"));
}
