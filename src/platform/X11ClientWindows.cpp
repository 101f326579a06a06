#include "platform/X11ClientWindows.h"

#include "platform/X11Windows.h"
#include "platform/XcbReply.h"

#include <cstring>

namespace {
// Longest property read, in 32-bit units: enough for thousands of windows or a long title.
constexpr uint32_t maxLength = 16384;

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    auto reply =
        ownReply(xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

XcbReply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                            xcb_atom_t type) {
    xcb_generic_error_t* error = nullptr;
    auto reply =
        ownReply(xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, maxLength), &error));
    std::free(error);
    if (reply && reply->type == XCB_ATOM_NONE) {
        return ownReply<xcb_get_property_reply_t>(nullptr);
    }
    return reply;
}

QByteArray bytesOf(const xcb_get_property_reply_t& reply) {
    return QByteArray(static_cast<const char*>(xcb_get_property_value(&reply)),
                      xcb_get_property_value_length(&reply));
}

QList<xcb_window_t> windowList(xcb_connection_t* c, xcb_window_t root, xcb_atom_t name) {
    QList<xcb_window_t> windows;
    auto reply = property(c, root, name, XCB_ATOM_WINDOW);
    if (!reply || reply->format != 32) {
        return windows;
    }
    const auto* ids = static_cast<const xcb_window_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / int(sizeof(xcb_window_t));
    for (int i = 0; i < count; ++i) {
        windows.append(ids[i]);
    }
    return windows;
}
} // namespace

QList<ClientWindow> X11ClientWindows::clientWindowsByStacking() const {
    xcb_connection_t* c = X11Windows::connection();
    return c ? read(c) : QList<ClientWindow>();
}

QList<ClientWindow> X11ClientWindows::read(xcb_connection_t* c) {
    QList<ClientWindow> result;
    const xcb_window_t root = X11Windows::rootWindow(c);
    if (root == XCB_WINDOW_NONE) {
        return result;
    }
    QList<xcb_window_t> ids = windowList(c, root, internAtom(c, "_NET_CLIENT_LIST_STACKING"));
    if (ids.isEmpty()) {
        ids = windowList(c, root, internAtom(c, "_NET_CLIENT_LIST"));
    }
    const xcb_atom_t netWmName = internAtom(c, "_NET_WM_NAME");
    const xcb_atom_t utf8String = internAtom(c, "UTF8_STRING");
    for (const xcb_window_t id : ids) {
        auto wmClass = property(c, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING);
        if (!wmClass) {
            // Gone, or a window without a class: nothing to recognise it by.
            continue;
        }
        ClientWindow window;
        window.id = id;
        const QList<QByteArray> parts = bytesOf(*wmClass).split('\0');
        window.instanceName = QString::fromLocal8Bit(parts.value(0));
        window.className = QString::fromLocal8Bit(parts.value(1));
        if (auto name = property(c, id, netWmName, utf8String)) {
            window.title = QString::fromUtf8(bytesOf(*name));
        } else if (auto legacy = property(c, id, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY)) {
            window.title = QString::fromLatin1(bytesOf(*legacy));
        }
        result.append(window);
    }
    return result;
}
