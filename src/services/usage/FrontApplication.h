#pragma once

#include "platform/FrontWindow.h"

#include <QString>

// The application in front as the usage records name it: the id of AppIdentity, its display name,
// and its front window.
struct FrontApplication {
    QString appId;
    QString name;
    qint64 processId = 0;
    quint32 windowId = 0;

    bool operator==(const FrontApplication& other) const = default;

    static FrontApplication from(const FrontWindow& window);
};
