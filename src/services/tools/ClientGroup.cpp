#include "services/tools/ClientGroup.h"

#include <algorithm>

bool ClientGroup::isNameOrderedBefore(const QString& a, const QString& b) {
    // Code points, not UTF-16 units: characters beyond the BMP sort after every BMP character.
    const QList<uint> left = a.normalized(QString::NormalizationForm_C).toUcs4();
    const QList<uint> right = b.normalized(QString::NormalizationForm_C).toUcs4();
    return std::lexicographical_compare(left.begin(), left.end(), right.begin(), right.end());
}

QList<ClientGroup> ClientGroup::fromTasks(const QList<PlanningTask>& tasks) {
    const QMap<QString, QList<PlanningTask>> byClient = PlanningTask::groupByClient(tasks);
    QList<ClientGroup> groups;
    groups.reserve(byClient.size());
    for (auto it = byClient.begin(); it != byClient.end(); ++it) {
        groups.append({it.key(), PlanningTask::sortedByStatus(it.value())});
    }
    std::sort(groups.begin(), groups.end(), [](const ClientGroup& a, const ClientGroup& b) {
        return isNameOrderedBefore(a.clientName, b.clientName);
    });
    return groups;
}
