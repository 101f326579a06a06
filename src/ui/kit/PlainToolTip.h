#pragma once

#include <QString>

// A tool tip that shows the text as it is. Qt reads a tool tip as HTML whenever it looks like some
// ("<b>", "<img ...>"), so a task name from a server is escaped and marked as rich text: what shows
// is the name, character for character.
QString plainToolTip(const QString& text);
