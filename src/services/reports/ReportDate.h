#pragma once

#include <QDate>
#include <QString>

// Day texts of the report windows.
namespace reportdate {
// The day written out in the user's locale without its weekday ("14 March 2025").
QString longText(QDate day);
} // namespace reportdate
