#pragma once

#include <QPoint>
#include <QRect>
#include <QWindow>

#include <optional>

#include <xcb/xcb.h>

// Small X11 helpers for our own top-level windows. Every function does nothing (or answers the
// safe default) when the application does not run on the xcb platform.
class X11Windows {
public:
    // The application's X connection, or none off X11.
    static xcb_connection_t* connection();
    // The root window of the connection's first screen, or XCB_WINDOW_NONE when it has none.
    static xcb_window_t rootWindow(xcb_connection_t* connection);
    // A connection of its own to the display of $DISPLAY (for sources that read events or ask the
    // server from their own socket), or none when it cannot be opened; the caller disconnects it.
    static xcb_connection_t* openOwnConnection();

    // Shows the window on every virtual desktop: _NET_WM_DESKTOP 0xFFFFFFFF and _NET_WM_STATE_STICKY.
    // Before the window is mapped the properties are set on it; once mapped, the window manager is
    // asked through client messages to the root window, as EWMH requires.
    static void makeSticky(QWindow* window);

    // Whether a compositing manager runs on the default screen (it owns the _NET_WM_CM_S<n>
    // selection), so that translucent windows are blended. Off X11 the answer is true.
    static bool compositingActive();

    // The geometry (in Qt's screen coordinates) of the viewable top-level window under a point of
    // the screen (Qt's screen coordinates): the root window's child there. None when no window is
    // there, or off X11.
    static std::optional<QRect> topLevelGeometryAt(const QPoint& point);

    // The atom of the given name, 0 when unknown or off X11.
    static xcb_atom_t atom(const char* name);
};
