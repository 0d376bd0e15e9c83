// Asks an X window to close the way a window manager's close box does: a WM_DELETE_WINDOW
// client message. With --destroy it destroys the window instead, as another client (or
// `xdotool windowclose`) may, which skips the application's close handling altogether. Used by
// the real-window tests under Xvfb, where no window manager runs.
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    if (reply == nullptr) {
        return XCB_ATOM_NONE;
    }
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

} // namespace

int main(int argc, char** argv)
{
    const bool destroy = argc == 3 && std::strcmp(argv[1], "--destroy") == 0;
    if (argc != 2 && !destroy) {
        std::fprintf(stderr, "usage: wmclose [--destroy] <window id>\n");
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[argc - 1], nullptr, 0));
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection) != 0) {
        std::fprintf(stderr, "wmclose: cannot connect to the X display\n");
        return 1;
    }
    if (destroy) {
        xcb_generic_error_t* error = xcb_request_check(connection, xcb_destroy_window_checked(connection, window));
        xcb_disconnect(connection);
        if (error != nullptr) {
            std::fprintf(stderr, "wmclose: the X server refused to destroy the window (error %d)\n",
                         error->error_code);
            std::free(error);
            return 1;
        }
        return 0;
    }
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom(connection, "WM_PROTOCOLS");
    message.data.data32[0] = Atom(connection, "WM_DELETE_WINDOW");
    message.data.data32[1] = XCB_CURRENT_TIME;
    char event[32]{};
    static_assert(sizeof message == sizeof event);
    std::memcpy(event, &message, sizeof event);
    xcb_generic_error_t* error = xcb_request_check(
        connection, xcb_send_event_checked(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, event));
    // A round trip, so the server has handled the message before this client goes away.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    xcb_disconnect(connection);
    if (error != nullptr) {
        std::fprintf(stderr, "wmclose: the X server refused the message (error %d)\n", error->error_code);
        std::free(error);
        return 1;
    }
    return 0;
}
