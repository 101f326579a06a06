#include "services/usage/SessionLists.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace sessionlists {
namespace {
QStringList sorted(const QSet<QString>& set) {
    QStringList list(set.cbegin(), set.cend());
    std::sort(list.begin(), list.end());
    return list;
}
} // namespace

QList<QPair<QString, double>> secondsByAppName(const QList<AppUsageSession>& sessions) {
    QList<QPair<QString, double>> result;
    QHash<QString, qsizetype> index;
    for (const AppUsageSession& session : sessions) {
        const auto found = index.constFind(session.appName);
        if (found == index.cend()) {
            index.insert(session.appName, result.size());
            result.append({session.appName, session.duration()});
        } else {
            result[*found].second += session.duration();
        }
    }
    std::stable_sort(result.begin(), result.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    return result;
}

QStringList contexts(const QList<AppUsageSession>& sessions) {
    QSet<QString> all;
    for (const AppUsageSession& session : sessions) {
        for (const WindowTitleCapture& capture : session.windowCaptures) {
            if (std::optional<QString> context = capture.contextString()) {
                all.insert(std::move(*context));
            }
        }
    }
    return sorted(all);
}

QStringList windowTitles(const QList<AppUsageSession>& sessions) {
    QSet<QString> all;
    for (const AppUsageSession& session : sessions) {
        for (const WindowTitleCapture& capture : session.windowCaptures) {
            if (!capture.isRedacted) {
                all.insert(capture.title);
            }
        }
    }
    return sorted(all);
}

} // namespace sessionlists
