#pragma once

#include "platform/ClientWindowList.h"

#include <xcb/xcb.h>

// The client windows the window manager lists on the root window: _NET_CLIENT_LIST_STACKING
// (bottom to top), else _NET_CLIENT_LIST, with each window's WM_CLASS and title. Windows that have
// gone meanwhile are left out. Off X11 the list is empty.
class X11ClientWindows : public ClientWindowList {
public:
    QList<ClientWindow> clientWindowsByStacking() const override;

    // The same for a given connection (tests use their own).
    static QList<ClientWindow> read(xcb_connection_t* connection);
};
