#pragma once

#include "platform/IdleSource.h"

#include <xcb/xcb.h>

// Idle time from the X server's screen-saver extension (ms_since_user_input); 0 on any failure.
class X11IdleSource : public IdleSource {
public:
    X11IdleSource();
    ~X11IdleSource() override;
    X11IdleSource(const X11IdleSource&) = delete;
    X11IdleSource& operator=(const X11IdleSource&) = delete;

    double idleSeconds() override;

private:
    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = XCB_WINDOW_NONE;
};
