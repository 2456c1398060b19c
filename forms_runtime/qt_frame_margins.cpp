// SPDX-License-Identifier: MIT
#include "qt_frame_margins.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string_view>

namespace forms {
namespace {

// The window manager normally answers within a millisecond; one that has
// not answered by then has no frame to announce.
constexpr int kAnswerDeadlineMs = 250;

template <class T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atom(xcb_connection_t* connection, std::string_view name)
{
    const XcbReply<xcb_intern_atom_reply_t> reply(
        xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr),
        &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

XcbReply<xcb_get_property_reply_t> property(xcb_connection_t* connection, xcb_window_t window,
                                            xcb_atom_t name, std::uint32_t length)
{
    return {xcb_get_property_reply(
                connection, xcb_get_property(connection, 0, window, name, XCB_ATOM_ANY, 0, length), nullptr),
            &std::free};
}

bool windowManagerSupports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t wanted)
{
    const auto supported = property(connection, root, atom(connection, "_NET_SUPPORTED"), 1024);
    if (!supported || supported->format != 32)
        return false;
    const auto* atoms = static_cast<const xcb_atom_t*>(xcb_get_property_value(supported.get()));
    const int count = xcb_get_property_value_length(supported.get()) / 4;
    for (int i = 0; i < count; ++i)
        if (atoms[i] == wanted)
            return true;
    return false;
}

} // namespace

FrameMargins announcedFrameMargins(QWidget& top)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return {};
    xcb_connection_t* connection = x11->connection();
    const auto window = static_cast<xcb_window_t>(top.winId());

    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr), &std::free);
    if (!geometry)
        return {};
    const xcb_window_t root = geometry->root;
    const xcb_atom_t request = atom(connection, "_NET_REQUEST_FRAME_EXTENTS");
    if (!windowManagerSupports(connection, root, request))
        return {};

    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = request;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);

    // The answer is a property on the window; the toolkit reads the window's
    // events, so ask for the property until it is there.
    const xcb_atom_t extents = atom(connection, "_NET_FRAME_EXTENTS");
    const QDeadlineTimer deadline(kAnswerDeadlineMs);
    do {
        const auto reply = property(connection, window, extents, 4);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == 16) {
            const auto* value = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
            // left, right, top, bottom
            return {static_cast<int>(value[0]), static_cast<int>(value[2]), static_cast<int>(value[1]),
                    static_cast<int>(value[3])};
        }
        QThread::msleep(1);
    } while (!deadline.hasExpired());
    return {};
}

} // namespace forms
