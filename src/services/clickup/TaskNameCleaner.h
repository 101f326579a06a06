#pragma once

#include <QString>

// A task name as task rows show it and as the filters match it: without ClickUp-style tags
// ("#bug", "#frontend", ...) and day-count suffixes ("+3 days planned", "2 overdue days"), with only
// letters, marks, digits, blanks and the characters "-#%.()=+" kept, runs of spaces collapsed and
// the ends trimmed.
//   "Client - Fix login +3 days planned" → "Client - Fix login"
//   "#bug #frontend"                     → ""
//   "Deploy: v2/api"                     → "Deploy v2api"
QString cleanTaskName(const QString& name);
