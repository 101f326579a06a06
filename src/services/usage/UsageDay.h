#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

// Day keys of the usage files ("yyyy-MM-dd", Gregorian, the local time zone) and the date-time text
// of the records ("2025-03-14T08:05:09Z": UTC, whole seconds).
namespace usageday {

// The local calendar day of a moment.
QDate of(const QDateTime& moment);
// "2025-03-14".
QString key(QDate day);
// The day of a key of exactly that form; none for anything else ("2025-3-14", "2025-02-30").
std::optional<QDate> fromKey(QStringView key);
// Local midnight that starts the day.
QDateTime start(QDate day);

// The moment as UTC text with whole seconds; the fraction of a second is dropped.
QString dateTimeText(const QDateTime& moment);
// Appends the same text as UTF-8.
void appendDateTime(QByteArray& out, const QDateTime& moment);
// A moment from "yyyy-MM-ddTHH:mm:ssZ" (or with an offset "+hh:mm" in place of the Z), as a UTC
// date-time; none for any other form, a fraction of a second included.
std::optional<QDateTime> parseDateTime(QStringView text);

} // namespace usageday
