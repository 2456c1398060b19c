// SPDX-License-Identifier: MIT
// A barrier for end-to-end tests: asks a program's window to answer the
// window manager's ping (_NET_WM_PING) COUNT times, one after the other. A
// program answers a ping only once it has read every X event sent to it
// before, and each answer comes from a later turn of its event loop than the
// one before; after three answers it has handled the input sent before the
// first ping, and every window that input made is known to the X server.
//   x_ping WINDOW [COUNT]       exit code 0 when answered, 1 when not within 30 s

#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

constexpr auto kDeadline = std::chrono::seconds(30);

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Waits for the answer to ping `serial`: the ping sent back to the root window.
bool waitForAnswer(xcb_connection_t* connection, xcb_atom_t ping, std::uint32_t serial,
                   std::chrono::steady_clock::time_point deadline)
{
    while (std::chrono::steady_clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> owned(event, &std::free);
            if ((event->response_type & 0x7F) != XCB_CLIENT_MESSAGE)
                continue;
            const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
            if (message->format == 32 && message->data.data32[0] == ping && message->data.data32[1] == serial)
                return true;
        }
        if (xcb_connection_has_error(connection))
            return false;
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        ::poll(&descriptor, 1, static_cast<int>(std::max<long long>(left.count(), 0)));
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: x_ping WINDOW [COUNT]\n");
        return 2;
    }
    const auto window = static_cast<xcb_window_t>(std::stoul(argv[1], nullptr, 0));
    const int count = argc == 3 ? std::atoi(argv[2]) : 3;

    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "x_ping: cannot open the display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    // Toolkits send the answer to the root window for structure or substructure listeners.
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &mask);

    const xcb_atom_t protocols = atom(connection, "WM_PROTOCOLS");
    const xcb_atom_t ping = atom(connection, "_NET_WM_PING");
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    for (int i = 1; i <= count; ++i) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = protocols;
        message.data.data32[0] = ping;
        message.data.data32[1] = static_cast<std::uint32_t>(i); // the "time stamp" the answer carries back
        message.data.data32[2] = window;
        xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection);
        if (!waitForAnswer(connection, ping, static_cast<std::uint32_t>(i), deadline)) {
            std::fprintf(stderr, "x_ping: window 0x%x did not answer ping %d\n", window, i);
            xcb_disconnect(connection);
            return 1;
        }
    }
    xcb_disconnect(connection);
    return 0;
}
