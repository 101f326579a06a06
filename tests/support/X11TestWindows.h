#pragma once

#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <xcb/xcb.h>

// What a test sees of another process's top-level windows on the X display (under Xvfb, with no
// window manager), read through the test application's own X connection.
namespace X11TestWindows {
struct WindowInfo {
    xcb_window_t id = XCB_WINDOW_NONE;
    QString title;      // _NET_WM_NAME, else WM_NAME
    QRect geometry;     // relative to the root window
    QStringList states; // _NET_WM_STATE atom names
    QSize minimumSize;  // from WM_NORMAL_HINTS; empty when not given
};

// The viewable top-level windows whose _NET_WM_PID is the given process.
QList<WindowInfo> viewableWindowsOf(qint64 pid);

// Asks the window to close as a window manager does when the user clicks its close button
// (a WM_DELETE_WINDOW message).
void requestClose(xcb_window_t window);

// Whether the process exists (and is not a zombie).
bool processAlive(qint64 pid);
// The process's children, grandchildren and so on.
QList<qint64> descendantsOf(qint64 pid);
} // namespace X11TestWindows
