#include "platform/X11DesktopPanels.h"

#include "platform/X11Windows.h"
#include "platform/XcbReply.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QWindow>

#include <algorithm>
#include <utility>
#include <vector>

namespace {
struct TopLevel {
    xcb_window_t window;
    QRect geometry;
};

qreal deviceRatio() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->devicePixelRatio() : 1.0;
}

// The windows a window manager manages (_NET_CLIENT_LIST): a reparenting one puts them inside frames
// of its own, so they are no children of the root.
std::vector<xcb_window_t> managedClients(xcb_connection_t* c, xcb_window_t root) {
    std::vector<xcb_window_t> result;
    const xcb_atom_t list = X11Windows::atom("_NET_CLIENT_LIST");
    if (list == XCB_ATOM_NONE) {
        return result;
    }
    auto reply = ownReply(
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, list, XCB_ATOM_WINDOW, 0, 4096), nullptr));
    if (!reply || reply->format != 32) {
        return result;
    }
    const auto* windows = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    result.assign(windows, windows + xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_window_t)));
    return result;
}

// The mapped top-level windows (children of the root, or clients the window manager manages) whose
// _NET_WM_WINDOW_TYPE includes the type, with their place on the screen. Every request goes out
// before the first answer is awaited.
std::vector<TopLevel> mappedOfType(const char* typeName) {
    std::vector<TopLevel> result;
    xcb_connection_t* c = X11Windows::connection();
    if (!c) {
        return result;
    }
    const xcb_window_t root = X11Windows::rootWindow(c);
    const xcb_atom_t typeProperty = X11Windows::atom("_NET_WM_WINDOW_TYPE");
    const xcb_atom_t wanted = X11Windows::atom(typeName);
    if (root == XCB_WINDOW_NONE || typeProperty == XCB_ATOM_NONE || wanted == XCB_ATOM_NONE) {
        return result;
    }
    auto tree = ownReply(xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr));
    if (!tree) {
        return result;
    }
    std::vector<xcb_window_t> windows(xcb_query_tree_children(tree.get()),
                                      xcb_query_tree_children(tree.get()) +
                                          xcb_query_tree_children_length(tree.get()));
    for (const xcb_window_t client : managedClients(c, root)) {
        if (std::find(windows.begin(), windows.end(), client) == windows.end()) {
            windows.push_back(client);
        }
    }
    const xcb_window_t* children = windows.data();
    const int count = int(windows.size());
    std::vector<xcb_get_property_cookie_t> types;
    std::vector<xcb_get_window_attributes_cookie_t> attributes;
    std::vector<xcb_get_geometry_cookie_t> geometries;
    std::vector<xcb_translate_coordinates_cookie_t> origins;
    types.reserve(size_t(count));
    attributes.reserve(size_t(count));
    geometries.reserve(size_t(count));
    origins.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        types.push_back(xcb_get_property(c, 0, children[i], typeProperty, XCB_ATOM_ATOM, 0, 16));
        attributes.push_back(xcb_get_window_attributes(c, children[i]));
        geometries.push_back(xcb_get_geometry(c, children[i]));
        origins.push_back(xcb_translate_coordinates(c, children[i], root, 0, 0));
    }
    const qreal ratio = deviceRatio();
    for (int i = 0; i < count; ++i) {
        auto type = ownReply(xcb_get_property_reply(c, types[size_t(i)], nullptr));
        auto attribute = ownReply(xcb_get_window_attributes_reply(c, attributes[size_t(i)], nullptr));
        auto geometry = ownReply(xcb_get_geometry_reply(c, geometries[size_t(i)], nullptr));
        auto origin = ownReply(xcb_translate_coordinates_reply(c, origins[size_t(i)], nullptr));
        if (!type || !attribute || !geometry || !origin || attribute->map_state != XCB_MAP_STATE_VIEWABLE ||
            type->format != 32) {
            continue;
        }
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(type.get()));
        const int atomCount = xcb_get_property_value_length(type.get()) / int(sizeof(xcb_atom_t));
        bool matches = false;
        for (int k = 0; k < atomCount && !matches; ++k) {
            matches = atoms[k] == wanted;
        }
        if (matches) {
            const QRect device(origin->dst_x, origin->dst_y, geometry->width, geometry->height);
            result.push_back(
                {children[i], QRect(QPoint(qRound(device.x() / ratio), qRound(device.y() / ratio)),
                                    QSize(qRound(device.width() / ratio), qRound(device.height() / ratio)))});
        }
    }
    return result;
}

std::vector<xcb_window_t> foreignToolTipWindows() {
    QSet<xcb_window_t> own;
    for (const QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle()) {
            own.insert(xcb_window_t(window->winId()));
        }
    }
    std::vector<xcb_window_t> result;
    for (const TopLevel& toolTip : mappedOfType("_NET_WM_WINDOW_TYPE_TOOLTIP")) {
        if (!own.contains(toolTip.window)) {
            result.push_back(toolTip.window);
        }
    }
    return result;
}
} // namespace

QList<QRect> X11DesktopPanels::panels() {
    QList<QRect> result;
    for (const TopLevel& dock : mappedOfType("_NET_WM_WINDOW_TYPE_DOCK")) {
        result.append(dock.geometry);
    }
    return result;
}

std::optional<QRect> X11DesktopPanels::likelyTrayArea() {
    return likelyTrayArea(panels());
}

std::optional<QRect> X11DesktopPanels::likelyTrayArea(const QList<QRect>& panels) {
    // A horizontal panel before a vertical one; the longest of its kind.
    const auto rank = [](const QRect& panel) {
        const bool horizontal = panel.width() > panel.height();
        return std::pair(horizontal, horizontal ? panel.width() : panel.height());
    };
    std::optional<QRect> widest;
    for (const QRect& panel : panels) {
        if (!panel.isEmpty() && (!widest || rank(panel) > rank(*widest))) {
            widest = panel;
        }
    }
    if (!widest) {
        return std::nullopt;
    }
    if (widest->width() > widest->height()) {
        const int side = widest->height();
        return QRect(widest->right() + 1 - side, widest->top(), side, side);
    }
    const int side = widest->width();
    return QRect(widest->left(), widest->bottom() + 1 - side, side, side);
}

int X11DesktopPanels::foreignToolTips() {
    return int(foreignToolTipWindows().size());
}

int X11DesktopPanels::hideForeignToolTips() {
    xcb_connection_t* c = X11Windows::connection();
    if (!c) {
        return 0;
    }
    const std::vector<xcb_window_t> toolTips = foreignToolTipWindows();
    for (const xcb_window_t window : toolTips) {
        xcb_unmap_window(c, window);
    }
    if (!toolTips.empty()) {
        xcb_flush(c);
    }
    return int(toolTips.size());
}
