#include "services/usage/AppUsageSession.h"

#include "core/Clock.h"
#include "services/usage/UsageDuration.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {
QStringList sortedDistinct(QSet<QString> texts) {
    QStringList list(texts.begin(), texts.end());
    std::sort(list.begin(), list.end());
    return list;
}
} // namespace

double AppUsageSession::duration() const {
    return double(startTime.msecsTo(endOrNow())) / 1000.0;
}

QDateTime AppUsageSession::endOrNow() const {
    return endTime.has_value() ? *endTime : Clock::now();
}

QString AppUsageSession::formattedDuration() const {
    return formatDuration(duration());
}

QStringList AppUsageSession::uniqueWindowTitles() const {
    QSet<QString> titles;
    for (const WindowTitleCapture& capture : windowCaptures) {
        if (!capture.isRedacted) {
            titles.insert(capture.title);
        }
    }
    return sortedDistinct(std::move(titles));
}

QStringList AppUsageSession::contexts() const {
    QSet<QString> found;
    for (const WindowTitleCapture& capture : windowCaptures) {
        if (std::optional<QString> context = capture.contextString()) {
            found.insert(std::move(*context));
        }
    }
    return sortedDistinct(std::move(found));
}

std::optional<QString> AppUsageSession::dominantContext() const {
    QHash<QString, int> counts;
    std::optional<QString> best;
    int bestCount = 0;
    for (const WindowTitleCapture& capture : windowCaptures) {
        std::optional<QString> context = capture.contextString();
        if (!context) {
            continue;
        }
        const int count = ++counts[*context];
        if (count > bestCount) {
            bestCount = count;
            best = std::move(context);
        }
    }
    return best;
}

void AppUsageSession::addCapture(const WindowTitleCapture& capture) {
    windowCaptures.append(capture);
    if (!windowTitles) {
        windowTitles.emplace();
    }
    if (!capture.isRedacted) {
        windowTitles->append(capture.title);
    }
}
