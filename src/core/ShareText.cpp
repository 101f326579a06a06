#include "core/ShareText.h"

#include <cstdio>

QString shareText(double percentage) {
    // The C library's conversion rounds exact halves to even; Qt's own "%.0f" rounds them up.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.0f%%", percentage);
    return QString::fromLatin1(buffer);
}
