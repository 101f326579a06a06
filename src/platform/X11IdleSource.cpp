#include "platform/X11IdleSource.h"

#include "platform/X11Windows.h"
#include "platform/XcbReply.h"

#include <xcb/screensaver.h>

#include <cstdlib>

X11IdleSource::X11IdleSource() {
    m_connection = X11Windows::openOwnConnection();
    if (!m_connection) {
        return;
    }
    m_root = X11Windows::rootWindow(m_connection);
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
    // This connection selects no events, but the errors of failed requests are queued as events:
    // take them, or they pile up in libxcb's queue for the life of the process.
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(m_connection)) {
        std::free(event);
    }
    if (!reply) {
        return 0;
    }
    return double(reply->ms_since_user_input) / 1000.0;
}
