#include "services/usage/ActivityBlock.h"

#include "services/usage/SessionLists.h"
#include "services/usage/UsageDuration.h"

QString ActivityBlock::formattedDuration() const {
    return formatDuration(double(startTime.msecsTo(endTime)) / 1000.0);
}

QList<QPair<QString, double>> ActivityBlock::appBreakdown() const {
    return sessionlists::secondsByAppName(sessions);
}

QStringList ActivityBlock::contexts() const {
    return sessionlists::contexts(sessions);
}

QStringList ActivityBlock::windowTitles() const {
    return sessionlists::windowTitles(sessions);
}
