#include "core/WindowFrame.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <xcb/xcb.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace velmora {

namespace {

constexpr std::chrono::milliseconds kAnswerWait{500};

template <class Reply> using ReplyPointer = std::unique_ptr<Reply, decltype(&std::free)>;

template <class Reply> ReplyPointer<Reply> Owned(Reply* reply)
{
    return ReplyPointer<Reply>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name)
{
    const auto reply = Owned(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

xcb_window_t RootOf(xcb_connection_t* connection)
{
    return xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
}

// Whether a running window manager says it answers frame-extent requests (a bare server has no
// such list, and then no frame will come).
bool ManagerAnswersFrameRequests(xcb_connection_t* connection)
{
    const xcb_atom_t supported = Atom(connection, "_NET_SUPPORTED");
    const xcb_atom_t request = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    const auto reply = Owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, RootOf(connection), supported, XCB_ATOM_ATOM, 0, 4096),
        nullptr));
    if (!reply || reply->format != 32) {
        return false;
    }
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    return std::find(atoms, atoms + count, request) != atoms + count;
}

// The window's _NET_FRAME_EXTENTS (left, right, top, bottom), once the manager has set it.
std::optional<QMargins> ReadExtents(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t extents)
{
    const auto reply = Owned(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, extents, XCB_ATOM_CARDINAL, 0, 4), nullptr));
    if (!reply || reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16) {
        return std::nullopt;
    }
    const auto* value = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return QMargins(static_cast<int>(value[0]), static_cast<int>(value[2]), static_cast<int>(value[1]),
                    static_cast<int>(value[3]));
}

// Asks the window manager for the frame it will draw around `window` (not yet mapped) and waits
// for its answer on a connection of our own, so that the answer's event is not taken by Qt's.
std::optional<QMargins> RequestFrameExtents(xcb_connection_t* qtConnection, xcb_window_t window)
{
    // Qt may still hold the window's creation in its output buffer; the round trip makes sure
    // the server knows the window before another connection names it.
    xcb_flush(qtConnection);
    std::free(xcb_get_input_focus_reply(qtConnection, xcb_get_input_focus(qtConnection), nullptr));
    if (!ManagerAnswersFrameRequests(qtConnection)) {
        return std::nullopt;
    }

    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> own(xcb_connect(nullptr, nullptr),
                                                                          &xcb_disconnect);
    xcb_connection_t* connection = own.get();
    if (xcb_connection_has_error(connection) != 0) {
        return std::nullopt;
    }
    const xcb_atom_t extents = Atom(connection, "_NET_FRAME_EXTENTS");
    const std::uint32_t propertyChanges = XCB_EVENT_MASK_PROPERTY_CHANGE;
    std::free(xcb_request_check(
        connection, xcb_change_window_attributes_checked(connection, window, XCB_CW_EVENT_MASK, &propertyChanges)));

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = Atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    char event[32]{};
    static_assert(sizeof message == sizeof event);
    std::memcpy(event, &message, sizeof event);
    xcb_send_event(connection, 0, RootOf(connection),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY, event);
    xcb_flush(connection);

    const auto deadline = std::chrono::steady_clock::now() + kAnswerWait;
    pollfd input{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (true) {
        while (auto* next = xcb_poll_for_event(connection)) {
            const auto owned = Owned(next);
            const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(next);
            if ((next->response_type & 0x7F) == XCB_PROPERTY_NOTIFY && change->atom == extents) {
                return ReadExtents(connection, window, extents);
            }
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || xcb_connection_has_error(connection) != 0) {
            // No answer in time: perhaps the frame came before we listened.
            return ReadExtents(connection, window, extents);
        }
        poll(&input, 1, static_cast<int>(left.count()));
    }
}

} // namespace

QMargins ExpectedFrameMargins(QWidget& window)
{
    const auto id = static_cast<xcb_window_t>(window.winId());
    // Asked of every platform, it answers with no connection on those that are not X11.
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 != nullptr && x11->connection() != nullptr) {
        if (const std::optional<QMargins> frame = RequestFrameExtents(x11->connection(), id)) {
            return *frame;
        }
    }
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

} // namespace velmora
