#include "core/JsonPlace.h"

QString JsonPlace::text() const {
    QString prefix = parent ? parent->text() : QString();
    if (index >= 0) {
        return prefix + QLatin1Char('[') + QString::number(index) + QLatin1Char(']');
    }
    if (!key) {
        return prefix;
    }
    return prefix.isEmpty() ? QString::fromLatin1(key) : prefix + QLatin1Char('.') + QLatin1String(key);
}
