#pragma once

#include <QList>
#include <QRect>

#include <optional>

// What the desktop's other clients show at the top level, as our windows need it: the panels (docks)
// a tray lives in, and the tooltips other programs leave on screen. Every function answers nothing (or
// does nothing) off X11.
class X11DesktopPanels {
public:
    // The mapped top-level windows of type _NET_WM_WINDOW_TYPE_DOCK, in Qt's screen coordinates.
    static QList<QRect> panels();

    // Where the tray most likely is when the tray does not say (StatusNotifierItem hosts tell only
    // where a click was): the right end of the widest horizontal panel, a square of the panel's
    // height (trays sit at a panel's right end), or the bottom end of a vertical one. None without a
    // panel.
    static std::optional<QRect> likelyTrayArea();
    // The same from a list of panels.
    static std::optional<QRect> likelyTrayArea(const QList<QRect>& panels);

    // The mapped top-level tooltip windows (_NET_WM_WINDOW_TYPE_TOOLTIP) of other programs.
    static int foreignToolTips();
    // Unmaps those tooltips; returns how many. A panel shows its tooltip while the pointer is over
    // its item and hides it when the pointer leaves; a popup of ours that grabs the pointer keeps that
    // leave from it, and its tooltip would stay above our window for good.
    static int hideForeignToolTips();
};
