#pragma once

#include <QString>

// A tool tip that shows the text as it is. Qt reads a tool tip as HTML whenever it looks like some
// ("<b>", "<img ...>"), so such a text (a task name from a server) is escaped and marked as rich
// text; any other text stays as it is. Either way what shows is the text, character for character.
QString plainToolTip(const QString& text);
