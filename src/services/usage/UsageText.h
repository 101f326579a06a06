#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

// Small text helpers of the usage records and their summaries.
namespace usagetext {

// The text without horizontal whitespace (spaces, tabs and other space separators) at either end;
// line breaks stay.
QString trimmedHorizontal(QStringView text);
// The same as a view into the text.
QStringView trimmedHorizontalView(QStringView text);
// The last component of a path: the part after the last "/", trailing slashes ignored.
QString lastPathComponent(const QString& path);

// The local time of day in the default locale's short format ("09:05").
QString shortTime(const QDateTime& moment);

// Appends the parts one after the other, without the temporaries of a sum of texts.
template <typename... Parts>
void append(QString& out, const Parts&... parts) {
    (out += ... += parts);
}
// Appends the texts joined by ", ".
void appendJoined(QString& out, const QStringList& texts);
// The length of the texts with `extraPerText` characters more for each (a separator, the markup of a
// line), for reserving a text before it is built.
qsizetype totalLength(const QStringList& texts, qsizetype extraPerText);

} // namespace usagetext
