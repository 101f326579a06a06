#pragma once

#include <QString>

// The console lines of usage tracking: Log::console lines (standard output, one line each, flushed at
// once).
namespace usageconsole {
void print(const QString& line);
// "📊 [AppUsageTracking] " followed by the text.
void tracking(const QString& text);
} // namespace usageconsole
