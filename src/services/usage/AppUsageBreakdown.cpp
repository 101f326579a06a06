#include "services/usage/AppUsageBreakdown.h"

#include "platform/DesktopEntry.h"
#include "services/usage/AppIdentity.h"

#include <QFileInfo>

QIcon AppUsageBreakdown::appIcon() const {
    for (const QString& id : AppIdentity::desktopFileIds(appId)) {
        const std::optional<DesktopEntry> entry = DesktopEntry::find(id);
        if (!entry || entry->icon.isEmpty()) {
            continue;
        }
        if (QFileInfo(entry->icon).isAbsolute()) {
            QIcon icon(entry->icon);
            if (!icon.isNull()) {
                return icon;
            }
            continue;
        }
        QIcon icon = QIcon::fromTheme(entry->icon);
        if (!icon.isNull()) {
            return icon;
        }
    }
    return {};
}
