#include "services/usage/UsageDuration.h"

#include <cmath>
#include <limits>

QString formatDuration(double seconds) {
    if (!std::isfinite(seconds) || seconds < 60.0) {
        return QStringLiteral("<1m");
    }
    const double capped = std::min(seconds, double(std::numeric_limits<qint64>::max() / 2));
    const qint64 s = qint64(capped);
    if (s < 3600) {
        return QString::number(s / 60) + QLatin1Char('m');
    }
    return QString::number(s / 3600) + QStringLiteral("h ") + QString::number((s % 3600) / 60) +
           QLatin1Char('m');
}
