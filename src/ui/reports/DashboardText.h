#pragma once

#include "services/usage/PathUsage.h"
#include "services/usage/TimelineBlock.h"

#include <QDateTime>
#include <QString>

// The texts and icon names of the day dashboard that follow rules of their own.
namespace dashboardtext {

// A clock time of the dashboard (filter bar, hour scale, tool tips): "HH:mm" in local time.
QString clockText(const QDateTime& moment);
// The block's start and end as "HH:mm - HH:mm".
QString blockTimeRangeText(const TimelineBlock& block);
// A context line as its row shows it: every "https://", then "http://", then "www." removed wherever
// it stands; more than 60 characters are cut to 57 and "...".
QString contextDisplayText(const QString& context);
// The last component of a path that starts with "~/" or "/"; any other text (a project name) whole.
QString pathDisplayName(const QString& path);
// The icon of a path row: a folder for a directory, else by the lower-cased extension of the last
// component (swift; ts, tsx, js, jsx; py; md, txt; json, xml, yaml, yml; png, jpg, jpeg, gif, svg),
// a plain document for any other or none.
QString pathIconName(const PathUsage& path);
// A task name on a ClickUp block: whole up to 50 characters, else its first 47 and "...".
QString clickUpBlockName(const QString& taskName);

} // namespace dashboardtext
