#include "services/usage/UsageConsole.h"

#include "core/Log.h"

namespace usageconsole {
void print(const QString& line) {
    Log::console(line);
}

void tracking(const QString& text) {
    print(QStringLiteral("\U0001F4CA [AppUsageTracking] ") + text);
}
} // namespace usageconsole
