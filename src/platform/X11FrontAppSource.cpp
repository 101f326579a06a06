#include "platform/X11FrontAppSource.h"

#include "platform/DesktopEntry.h"
#include "platform/X11Windows.h"
#include "platform/XcbReply.h"

#include <QCoreApplication>

#include <cstring>

#include <unistd.h>

X11FrontAppSource::X11FrontAppSource(QObject* parent)
    : FrontAppSource(parent) {
    m_connection = X11Windows::openOwnConnection();
    if (!m_connection) {
        return;
    }
    m_root = X11Windows::rootWindow(m_connection);
    m_activeAtom = atom("_NET_ACTIVE_WINDOW");
    m_notifier =
        std::make_unique<QSocketNotifier>(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &X11FrontAppSource::readEvents);
}

X11FrontAppSource::~X11FrontAppSource() {
    m_notifier.reset();
    if (m_connection) {
        xcb_disconnect(m_connection);
    }
}

bool X11FrontAppSource::canReadWindowTitles() const {
    return m_connection != nullptr && m_root != XCB_WINDOW_NONE;
}

xcb_atom_t X11FrontAppSource::atom(const char* name) {
    const QByteArray key(name);
    if (const auto found = m_atoms.constFind(key); found != m_atoms.cend()) {
        return *found;
    }
    const auto reply = ownReply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 0, uint16_t(key.size()), key.constData()), nullptr));
    takeQueuedEvents();
    const xcb_atom_t value = reply ? reply->atom : XCB_ATOM_NONE;
    m_atoms.insert(key, value);
    return value;
}

void X11FrontAppSource::startObserving() {
    if (!m_connection || m_root == XCB_WINDOW_NONE) {
        return;
    }
    m_observing = true;
    m_lastReported = frontmostWindow();
    // Other clients may also listen on the root window; our own mask only adds property changes.
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

void X11FrontAppSource::stopObserving() {
    m_observing = false;
    if (!m_connection || m_root == XCB_WINDOW_NONE) {
        return;
    }
    const uint32_t mask = XCB_EVENT_MASK_NO_EVENT;
    xcb_change_window_attributes(m_connection, m_root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(m_connection);
}

void X11FrontAppSource::noteEvent(xcb_generic_event_t* event) {
    if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
        const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event);
        if (notify->window == m_root && notify->atom == m_activeAtom && m_activeAtom != XCB_ATOM_NONE) {
            m_activeChanged = true;
        }
    }
    std::free(event); // errors of unchecked requests arrive here too
}

void X11FrontAppSource::takeQueuedEvents() {
    // A request with a reply lets libxcb read whatever arrived meanwhile into its own queue; the socket
    // is then empty and the notifier stays silent, so those events are taken here, after every reply.
    while (xcb_generic_event_t* event = xcb_poll_for_queued_event(m_connection)) {
        noteEvent(event);
    }
    if (m_activeChanged && !m_reading && !m_readScheduled) {
        // A look-up made from outside (a title for the tracker) found a switch: handle it next turn.
        m_readScheduled = true;
        QMetaObject::invokeMethod(this, &X11FrontAppSource::readEvents, Qt::QueuedConnection);
    }
}

void X11FrontAppSource::readEvents() {
    m_readScheduled = false;
    if (!m_connection) {
        return;
    }
    m_reading = true;
    while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection)) {
        noteEvent(event);
    }
    if (xcb_connection_has_error(m_connection)) {
        m_reading = false;
        m_notifier->setEnabled(false);
        return;
    }
    // Each look-up may bring the next switch into the queue; report until none came in.
    while (m_activeChanged && m_observing) {
        m_activeChanged = false;
        reportFront();
    }
    m_activeChanged = false;
    m_reading = false;
}

void X11FrontAppSource::reportFront() {
    const std::optional<FrontWindow> front = frontmostWindow();
    if (!front) {
        return; // nothing in front, one of our own windows, or a window that is gone
    }
    const bool sameApplication = m_lastReported && m_lastReported->processId == front->processId &&
                                 m_lastReported->wmClassClass == front->wmClassClass &&
                                 m_lastReported->gtkApplicationId == front->gtkApplicationId;
    m_lastReported = front;
    if (!sameApplication) {
        Q_EMIT activated(*front);
    }
}

QByteArray X11FrontAppSource::property(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                       quint32 maxBytes, bool* ok) {
    if (ok) {
        *ok = false;
    }
    if (!m_connection || window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) {
        return {};
    }
    const auto reply = ownReply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, property, type, 0, (maxBytes + 3) / 4),
        nullptr));
    takeQueuedEvents();
    if (!reply || reply->type == XCB_ATOM_NONE) {
        return {};
    }
    if (ok) {
        *ok = true;
    }
    const int length = xcb_get_property_value_length(reply.get());
    const int bytes = reply->format == 8 ? length : length * (reply->format / 8);
    return QByteArray(static_cast<const char*>(xcb_get_property_value(reply.get())),
                      qMin<int>(qMax(bytes, 0), int(maxBytes)));
}

std::optional<FrontWindow> X11FrontAppSource::frontmostWindow() {
    if (!m_connection || m_root == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    const QByteArray active = property(m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 4);
    if (active.size() < 4) {
        return std::nullopt;
    }
    xcb_window_t window = 0;
    std::memcpy(&window, active.constData(), 4);
    if (window == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    return describe(window);
}

std::optional<FrontWindow> X11FrontAppSource::describe(xcb_window_t window) {
    FrontWindow front;
    front.windowId = window;
    bool exists = false;
    const QByteArray pid = property(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 4, &exists);
    if (pid.size() == 4) {
        quint32 value = 0;
        std::memcpy(&value, pid.constData(), 4);
        front.processId = value;
    }
    if (front.processId == qint64(::getpid())) {
        return std::nullopt; // our own popover or alert
    }
    const QByteArray wmClass = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 1024);
    const QList<QByteArray> classParts = wmClass.split('\0');
    front.wmClassInstance = classParts.size() > 0 ? QString::fromLocal8Bit(classParts[0]) : QString();
    front.wmClassClass = classParts.size() > 1 ? QString::fromLocal8Bit(classParts[1]) : QString();
    front.gtkApplicationId =
        QString::fromUtf8(property(window, atom("_GTK_APPLICATION_ID"), atom("UTF8_STRING"), 1024));
    if (front.wmClassInstance.isEmpty() && front.wmClassClass.isEmpty() && front.gtkApplicationId.isEmpty() &&
        front.processId == 0) {
        // A window that is gone, or one that names nothing: no session for it.
        const auto geometry =
            ownReply(xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr));
        takeQueuedEvents();
        if (!geometry) {
            return std::nullopt;
        }
    }
    const Names names = namesFor(front.gtkApplicationId, front.wmClassInstance, front.wmClassClass);
    front.desktopFileId = names.desktopFileId;
    front.name = names.name;
    return front;
}

X11FrontAppSource::Names X11FrontAppSource::namesFor(const QString& gtkApplicationId, const QString& instance,
                                                     const QString& windowClass) {
    const QString key = gtkApplicationId + QLatin1Char('\n') + instance + QLatin1Char('\n') + windowClass;
    if (const auto found = m_namesCache.constFind(key); found != m_namesCache.cend()) {
        return *found;
    }
    std::optional<DesktopEntry> entry = DesktopEntry::find(gtkApplicationId);
    if (!entry) {
        entry = DesktopEntry::findByWindowClass(windowClass);
    }
    if (!entry && !instance.isEmpty()) {
        entry = DesktopEntry::findByWindowClass(instance);
    }
    Names names;
    if (entry) {
        names.desktopFileId = entry->id;
        names.name = entry->name;
    }
    if (names.name.isEmpty()) {
        names.name = !windowClass.isEmpty() ? windowClass : instance;
    }
    m_namesCache.insert(key, names);
    return names;
}

std::optional<QString> X11FrontAppSource::windowTitle(quint32 windowId) {
    if (!m_connection || windowId == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    QByteArray bytes = property(windowId, atom("_NET_WM_NAME"), atom("UTF8_STRING"), maximumTitleBytes);
    QString title = QString::fromUtf8(bytes);
    if (title.isEmpty()) {
        bytes = property(windowId, XCB_ATOM_WM_NAME, XCB_ATOM_ANY, maximumTitleBytes);
        title = QString::fromLatin1(bytes);
    }
    title = title.trimmed();
    if (title.isEmpty()) {
        return std::nullopt;
    }
    return title;
}
