#include "services/usage/UsageConsole.h"

#include <cstdio>

namespace usageconsole {
void print(const QString& line) {
    const QByteArray bytes = line.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void tracking(const QString& text) {
    print(QStringLiteral("\U0001F4CA [AppUsageTracking] ") + text);
}
} // namespace usageconsole
