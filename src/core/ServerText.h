#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Characters of a server's text that an error or a log line carries at most.
inline constexpr qsizetype serverTextLimit = 300;
// Marks a text that was cut.
inline const QString serverTextCutMark = QStringLiteral("… [cut]");

// A server's text as it may be shown or logged: every known secret masked (Log::masked), then cut
// to serverTextLimit characters, never inside a character, and marked with serverTextCutMark. A text
// made by this function comes back unchanged.
QString serverText(const QString& text);
// The same for a reply body read as UTF-8, of which only the start is decoded however long it is;
// none when that start is not UTF-8.
std::optional<QString> serverText(const QByteArray& body);
