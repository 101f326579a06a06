#include "services/usage/AppIdentity.h"

#include "core/AppCatalogue.h"

namespace {
QString withoutDesktopSuffix(const QString& id) {
    return id.endsWith(QLatin1String(".desktop")) ? id.chopped(8) : id;
}
} // namespace

QString AppIdentity::appId(const QString& desktopFileId, const QString& gtkApplicationId,
                           const QString& wmClassInstance, const QString& wmClassClass) {
    for (const QString& name : {withoutDesktopSuffix(desktopFileId.trimmed()), gtkApplicationId.trimmed(),
                                wmClassClass.trimmed(), wmClassInstance.trimmed()}) {
        if (!name.isEmpty()) {
            return name;
        }
    }
    return QStringLiteral("unknown");
}

QStringList AppIdentity::desktopFileIds(const QString& appId) {
    QStringList ids = AppCatalogue::namesOf(appId);
    if (!ids.contains(appId)) {
        ids.append(appId);
    }
    for (const QString& id : QStringList(ids)) {
        ids.append(id.toLower());
    }
    ids.removeDuplicates();
    return ids;
}
