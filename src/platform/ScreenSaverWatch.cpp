#include "platform/ScreenSaverWatch.h"

#include "platform/X11Windows.h"
#include "platform/XcbReply.h"

#include <QCoreApplication>

#include <xcb/screensaver.h>

namespace {
bool stateIsOn(uint8_t state) {
    return state == XCB_SCREENSAVER_STATE_ON || state == XCB_SCREENSAVER_STATE_CYCLE;
}
} // namespace

ScreenSaverWatch::ScreenSaverWatch(QObject* parent)
    : QObject(parent) {
    xcb_connection_t* c = X11Windows::connection();
    if (!c) {
        return;
    }
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_screensaver_id);
    const xcb_window_t root = X11Windows::rootWindow(c);
    if (!extension || !extension->present || root == XCB_WINDOW_NONE) {
        return;
    }
    m_firstEvent = extension->first_event;
    xcb_screensaver_select_input(c, root, XCB_SCREENSAVER_EVENT_NOTIFY_MASK);
    if (const auto info =
            ownReply(xcb_screensaver_query_info_reply(c, xcb_screensaver_query_info(c, root), nullptr))) {
        m_active = stateIsOn(info->state);
    }
    QCoreApplication::instance()->installNativeEventFilter(this);
    m_watching = true;
}

ScreenSaverWatch::~ScreenSaverWatch() {
    if (m_watching && QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool ScreenSaverWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t") {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) == uint8_t(m_firstEvent + XCB_SCREENSAVER_NOTIFY)) {
        const auto* notify = reinterpret_cast<const xcb_screensaver_notify_event_t*>(event);
        setActive(stateIsOn(notify->state));
    }
    return false;
}

void ScreenSaverWatch::setActive(bool active) {
    if (m_active != active) {
        m_active = active;
        emit activeChanged(active);
    }
}
