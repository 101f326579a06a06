#include "platform/X11IdleSource.h"

#include "platform/XcbReply.h"

#include <xcb/screensaver.h>

X11IdleSource::X11IdleSource() {
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_root = screen ? screen->root : XCB_WINDOW_NONE;
}

X11IdleSource::~X11IdleSource() {
    if (m_connection) {
        xcb_disconnect(m_connection);
    }
}

double X11IdleSource::idleSeconds() {
    if (!m_connection || m_root == XCB_WINDOW_NONE || xcb_connection_has_error(m_connection)) {
        return 0;
    }
    const auto reply = ownReply(xcb_screensaver_query_info_reply(
        m_connection, xcb_screensaver_query_info(m_connection, m_root), nullptr));
    if (!reply) {
        return 0;
    }
    return double(reply->ms_since_user_input) / 1000.0;
}
