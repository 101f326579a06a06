#pragma once

#include "services/usage/AppUsageSession.h"

#include <QList>
#include <QPair>
#include <QStringList>

// Sums and unions over lists of sessions, shared by the day summary, the activity blocks and the task
// summaries.
namespace sessionlists {

// Seconds per application name, largest first; equal times keep the order of first appearance.
QList<QPair<QString, double>> secondsByAppName(const QList<AppUsageSession>& sessions);
// Distinct union of the sessions' context lines, sorted.
QStringList contexts(const QList<AppUsageSession>& sessions);
// Distinct union of the sessions' non-redacted window titles, sorted.
QStringList windowTitles(const QList<AppUsageSession>& sessions);

} // namespace sessionlists
