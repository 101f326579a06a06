#pragma once

#include <QDateTime>
#include <QLocale>
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

// The locale's short time pattern, hours and minutes only: a seconds field (the C locale's
// "HH:mm:ss") is dropped with its separator.
QString shortTimeFormat(const QLocale& locale);
// The local time of day in the default locale's short format, without seconds ("09:05", "9:05 AM").
QString shortTime(const QDateTime& moment);
// The text on one line with Markdown's special characters escaped, for titles and names in a
// Markdown report: line breaks and other control characters become blanks, and the characters that
// start emphasis, code, links, HTML, tables or (at the start) headings, quotes and lists get a
// backslash.
QString markdownInline(const QString& text);

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
