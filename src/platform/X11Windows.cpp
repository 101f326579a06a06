#include "platform/X11Windows.h"

#include "platform/XcbReply.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

#include <cstring>

namespace {
void sendToRoot(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t type,
                const uint32_t (&data)[5]) {
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = type;
    std::memcpy(event.data.data32, data, sizeof(data));
    xcb_send_event(connection, 0, X11Windows::rootWindow(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
}
} // namespace

xcb_connection_t* X11Windows::connection() {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_window_t X11Windows::rootWindow(xcb_connection_t* connection) {
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    return screens.rem > 0 ? screens.data->root : xcb_window_t(XCB_WINDOW_NONE);
}

xcb_connection_t* X11Windows::openOwnConnection() {
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return connection;
}

xcb_atom_t X11Windows::atom(const char* name) {
    xcb_connection_t* c = connection();
    if (!c) {
        return XCB_ATOM_NONE;
    }
    auto reply =
        ownReply(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

void X11Windows::makeSticky(QWindow* window) {
    xcb_connection_t* c = connection();
    if (!c || !window) {
        return;
    }
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t desktop = atom("_NET_WM_DESKTOP");
    const xcb_atom_t state = atom("_NET_WM_STATE");
    const xcb_atom_t sticky = atom("_NET_WM_STATE_STICKY");
    const uint32_t allDesktops = 0xFFFFFFFF;
    if (!window->isVisible()) {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
        // Keep the states already asked for (Qt adds its own when it maps the window).
        auto current = ownReply(
            xcb_get_property_reply(c, xcb_get_property(c, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr));
        bool present = false;
        if (current && current->format == 32) {
            const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(current.get()));
            const int count = xcb_get_property_value_length(current.get()) / 4;
            for (int i = 0; i < count; ++i) {
                present = present || atoms[i] == sticky;
            }
        }
        if (!present) {
            xcb_change_property(c, XCB_PROP_MODE_APPEND, id, state, XCB_ATOM_ATOM, 32, 1, &sticky);
        }
    } else {
        const uint32_t add = 1;
        sendToRoot(c, id, desktop, {allDesktops, 1, 0, 0, 0});
        sendToRoot(c, id, state, {add, sticky, 0, 1, 0});
    }
    xcb_flush(c);
}

bool X11Windows::compositingActive() {
    xcb_connection_t* c = connection();
    if (!c) {
        return true;
    }
    int screen = 0;
    if (const char* display = std::getenv("DISPLAY")) {
        if (const char* dot = std::strrchr(display, '.'); dot && std::strchr(display, ':') < dot) {
            screen = std::atoi(dot + 1);
        }
    }
    const QByteArray name = "_NET_WM_CM_S" + QByteArray::number(screen);
    const xcb_atom_t selection = atom(name.constData());
    if (selection == XCB_ATOM_NONE) {
        return false;
    }
    auto owner = ownReply(xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, selection), nullptr));
    return owner && owner->owner != XCB_WINDOW_NONE;
}

std::optional<QRect> X11Windows::topLevelGeometryAt(const QPoint& point) {
    xcb_connection_t* c = connection();
    if (!c) {
        return std::nullopt;
    }
    const xcb_window_t root = rootWindow(c);
    if (root == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    // X counts device pixels; Qt's screen coordinates are scaled by the device pixel ratio.
    QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen ? screen->devicePixelRatio() : 1.0;
    const auto x = int16_t(qRound(point.x() * ratio));
    const auto y = int16_t(qRound(point.y() * ratio));
    auto translated =
        ownReply(xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, root, root, x, y), nullptr));
    if (!translated || translated->child == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    const xcb_window_t child = translated->child;
    auto geometry = ownReply(xcb_get_geometry_reply(c, xcb_get_geometry(c, child), nullptr));
    if (!geometry) {
        return std::nullopt;
    }
    // A top-level window's position is relative to the root, its parent.
    const QRect device(geometry->x, geometry->y, geometry->width + 2 * geometry->border_width,
                       geometry->height + 2 * geometry->border_width);
    if (qFuzzyCompare(ratio, 1.0)) {
        return device;
    }
    return QRect(QPoint(qFloor(device.x() / ratio), qFloor(device.y() / ratio)),
                 QPoint(qCeil((device.right() + 1) / ratio) - 1, qCeil((device.bottom() + 1) / ratio) - 1));
}
