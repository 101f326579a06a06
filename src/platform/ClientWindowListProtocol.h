#pragma once

#include "platform/ClientWindow.h"

#include <QList>

// The desktop's client windows in stacking order.
class ClientWindowListProtocol {
public:
    virtual ~ClientWindowListProtocol() = default;

    // Bottom to top: the last window is the one most recently raised. Empty when the list cannot
    // be read.
    virtual QList<ClientWindow> clientWindowsByStacking() const = 0;
};
