// pendlow-test-window <instance> <class> <title>: makes a top-level window with that WM_CLASS and
// _NET_WM_NAME, puts it in front by setting the root window's _NET_ACTIVE_WINDOW (there is no window
// manager under the tests' Xvfb), prints its id and stays until it is ended.
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {
xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t value = reply ? reply->atom : XCB_ATOM_NONE;
    std::free(reply);
    return value;
}
} // namespace

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <instance> <class> <title>\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 200, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    std::string wmClass = std::string(argv[1]) + '\0' + argv[2] + '\0';
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        uint32_t(wmClass.size()), wmClass.data());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, "_NET_WM_NAME"),
                        atom(connection, "UTF8_STRING"), 8, uint32_t(std::strlen(argv[3])), argv[3]);
    const uint32_t pid = uint32_t(::getpid());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(connection, "_NET_WM_PID"),
                        XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_map_window(connection, window);
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, screen->root,
                        atom(connection, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1, &window);
    xcb_flush(connection);
    std::printf("%u\n", window);
    std::fflush(stdout);
    for (;;) {
        ::pause();
    }
}
