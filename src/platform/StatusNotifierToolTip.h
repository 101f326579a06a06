#pragma once

#include "platform/StatusNotifierIconPixmap.h"

#include <QDBusArgument>
#include <QMetaType>
#include <QString>

// The tooltip of a StatusNotifierItem, "(sa(iiay)ss)": icon name, icon images, title and a
// description (which may hold simple markup).
struct StatusNotifierToolTip {
    QString iconName;
    StatusNotifierIconPixmapList iconPixmap;
    QString title;
    QString description;

    bool operator==(const StatusNotifierToolTip&) const = default;
};

Q_DECLARE_METATYPE(StatusNotifierToolTip)

QDBusArgument& operator<<(QDBusArgument& argument, const StatusNotifierToolTip& toolTip);
const QDBusArgument& operator>>(const QDBusArgument& argument, StatusNotifierToolTip& toolTip);
