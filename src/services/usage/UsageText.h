#pragma once

#include <QString>
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

} // namespace usagetext
