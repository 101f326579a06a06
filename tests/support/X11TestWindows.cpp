#include "X11TestWindows.h"

#include "platform/X11Windows.h"
#include "platform/XcbReply.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <cstring>

namespace X11TestWindows {
namespace {
XcbReply<xcb_get_property_reply_t> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t name,
                                            xcb_atom_t type) {
    return ownReply(xcb_get_property_reply(c, xcb_get_property(c, 0, window, name, type, 0, 1024), nullptr));
}

QString atomName(xcb_connection_t* c, xcb_atom_t atom) {
    auto reply = ownReply(xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr));
    if (!reply) {
        return {};
    }
    return QString::fromLatin1(xcb_get_atom_name_name(reply.get()),
                               xcb_get_atom_name_name_length(reply.get()));
}

QString title(xcb_connection_t* c, xcb_window_t window) {
    auto name = property(c, window, X11Windows::atom("_NET_WM_NAME"), X11Windows::atom("UTF8_STRING"));
    if (!name || xcb_get_property_value_length(name.get()) == 0) {
        name = property(c, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY);
    }
    if (!name) {
        return {};
    }
    return QString::fromUtf8(static_cast<const char*>(xcb_get_property_value(name.get())),
                             xcb_get_property_value_length(name.get()));
}

WindowInfo describe(xcb_connection_t* c, xcb_window_t window) {
    WindowInfo info;
    info.id = window;
    info.title = title(c, window);
    if (auto geometry = ownReply(xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr))) {
        auto translated = ownReply(xcb_translate_coordinates_reply(
            c, xcb_translate_coordinates(c, window, X11Windows::rootWindow(c), 0, 0), nullptr));
        const QPoint origin =
            translated ? QPoint(translated->dst_x, translated->dst_y) : QPoint(geometry->x, geometry->y);
        info.geometry = QRect(origin, QSize(geometry->width, geometry->height));
    }
    if (auto states = property(c, window, X11Windows::atom("_NET_WM_STATE"), XCB_ATOM_ATOM)) {
        const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(states.get()));
        for (int i = 0; i < xcb_get_property_value_length(states.get()) / 4; ++i) {
            info.states << atomName(c, atoms[i]);
        }
    }
    // WM_SIZE_HINTS: flags, x, y, width, height, min_width, min_height, ...; PMinSize is 1 << 4.
    if (auto hints = property(c, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS)) {
        if (xcb_get_property_value_length(hints.get()) >= 7 * 4) {
            const auto* values = static_cast<const uint32_t*>(xcb_get_property_value(hints.get()));
            if (values[0] & (1u << 4)) {
                info.minimumSize = QSize(int(values[5]), int(values[6]));
            }
        }
    }
    return info;
}
} // namespace

QList<WindowInfo> viewableWindowsOf(qint64 pid) {
    QList<WindowInfo> windows;
    xcb_connection_t* c = X11Windows::connection();
    if (!c) {
        return windows;
    }
    auto tree = ownReply(xcb_query_tree_reply(c, xcb_query_tree(c, X11Windows::rootWindow(c)), nullptr));
    if (!tree) {
        return windows;
    }
    const xcb_atom_t pidAtom = X11Windows::atom("_NET_WM_PID");
    const auto* children = xcb_query_tree_children(tree.get());
    for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
        const xcb_window_t window = children[i];
        auto owner = property(c, window, pidAtom, XCB_ATOM_CARDINAL);
        if (!owner || xcb_get_property_value_length(owner.get()) != 4 ||
            *static_cast<const uint32_t*>(xcb_get_property_value(owner.get())) != uint32_t(pid)) {
            continue;
        }
        auto attributes =
            ownReply(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) {
            windows << describe(c, window);
        }
    }
    return windows;
}

void requestClose(xcb_window_t window) {
    xcb_connection_t* c = X11Windows::connection();
    if (!c) {
        return;
    }
    xcb_client_message_event_t event;
    std::memset(&event, 0, sizeof(event));
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = X11Windows::atom("WM_PROTOCOLS");
    event.data.data32[0] = X11Windows::atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(c);
}

namespace {
// The state letter and the parent of a process, from /proc/<pid>/stat.
bool readStat(qint64 pid, char* state, qint64* parent) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray text = file.readAll();
    // "<pid> (<name>) <state> <ppid> ...": the name may hold spaces and parentheses.
    const qsizetype close = text.lastIndexOf(')');
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    if (close < 0 || fields.size() < 2) {
        return false;
    }
    *state = fields[0].isEmpty() ? '?' : fields[0][0];
    *parent = fields[1].toLongLong();
    return true;
}
} // namespace

bool processAlive(qint64 pid) {
    char state = 0;
    qint64 parent = 0;
    return pid > 0 && readStat(pid, &state, &parent) && state != 'Z' && state != 'X';
}

QList<qint64> descendantsOf(qint64 pid) {
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        bool isNumber = false;
        const qint64 candidate = entry.toLongLong(&isNumber);
        char state = 0;
        qint64 parent = 0;
        if (isNumber && readStat(candidate, &state, &parent)) {
            children[parent] << candidate;
        }
    }
    QList<qint64> found;
    QList<qint64> pending{pid};
    while (!pending.isEmpty()) {
        const qint64 next = pending.takeFirst();
        for (const qint64 child : children.value(next)) {
            found << child;
            pending << child;
        }
    }
    return found;
}
} // namespace X11TestWindows
