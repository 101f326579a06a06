#include "services/usage/TaskUsageSummary.h"

#include "services/usage/SessionLists.h"
#include "services/usage/UsageDuration.h"

#include <QSet>

#include <algorithm>

double TaskUsageSummary::totalDuration() const {
    double total = 0;
    for (const AppUsageSession& session : sessions) {
        total += session.duration();
    }
    return total;
}

QString TaskUsageSummary::formattedDuration() const {
    return formatDuration(totalDuration());
}

QStringList TaskUsageSummary::appNames() const {
    QSet<QString> names;
    for (const AppUsageSession& session : sessions) {
        names.insert(session.appName);
    }
    QStringList list(names.cbegin(), names.cend());
    std::sort(list.begin(), list.end());
    return list;
}

QStringList TaskUsageSummary::contexts() const {
    return sessionlists::contexts(sessions);
}

QStringList TaskUsageSummary::windowTitles() const {
    return sessionlists::windowTitles(sessions);
}
