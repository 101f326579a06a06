#pragma once

#include <QString>
#include <QStringList>
#include <QVariantMap>

// One request to the desktop's notification server, field for field as the freedesktop
// org.freedesktop.Notifications.Notify method takes it.
struct DesktopNotification {
    QString appName;
    // The id of a notification this one replaces, 0 for a new one.
    uint replacesId = 0;
    QString appIcon;
    QString summary;
    QString body;
    QStringList actions;
    // "urgency" must be a byte (uchar): 0 low, 1 normal, 2 critical.
    QVariantMap hints;
    // Milliseconds; -1 leaves it to the server, 0 never expires.
    int expireTimeout = -1;
};
