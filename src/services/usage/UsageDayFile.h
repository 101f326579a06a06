#pragma once

#include "services/usage/AppUsageSession.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The content of one usage day file: the day key and the sessions written for that day.
//
// The file is one compact JSON object {"date":"2025-03-14","sessions":[...]}. Session and capture
// objects hold their keys in field order; optional values that are none are left out (never null);
// ids are upper-case UUIDs; dates are UTC with whole seconds ("2025-03-14T08:05:09Z"). Reading
// ignores unknown keys, takes null for a missing optional value, and fails as a whole on a missing
// required key, a value of another type, a malformed UUID or a date in another form.
struct UsageDayFile {
    QString date;
    QList<AppUsageSession> sessions;

    QByteArray toJson() const;
    // Throws DecodingError naming the place ("sessions[2].windowCaptures[0].capturedAt").
    static UsageDayFile fromJson(const QByteArray& bytes);
};
