#pragma once

#include "platform/ClientWindow.h"

#include <QList>

// The desktop's client windows in stacking order.
class ClientWindowList {
public:
    virtual ~ClientWindowList() = default;

    // Bottom to top: the last window is the one most recently raised. Empty when the list cannot
    // be read.
    virtual QList<ClientWindow> clientWindowsByStacking() const = 0;
};
