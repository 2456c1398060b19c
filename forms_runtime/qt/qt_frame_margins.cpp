// SPDX-License-Identifier: MIT
#include "qt_frame_margins.h"

#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QThread>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <memory>
#include <string_view>

namespace forms {
namespace {

// The window manager normally answers within milliseconds of being asked,
// long before the first window is opened; one that has not answered by
// then has no frame to announce.
constexpr int kAnswerDeadlineMs = 250;

// A reply of the X server, freed as the library allocated it.
template <class T> using XcbReply = std::unique_ptr<T, decltype(&std::free)>;

// A window's property, at most `length` 32-bit units of it; null when the
// window or the property is gone.
XcbReply<xcb_get_property_reply_t> property(xcb_connection_t* connection, xcb_window_t window,
                                            xcb_atom_t name, std::uint32_t length)
{
    return {xcb_get_property_reply(
                connection, xcb_get_property(connection, 0, window, name, XCB_ATOM_ANY, 0, length), nullptr),
            &std::free};
}

// Whether the window manager lists `wanted` among the hints it supports
// (_NET_SUPPORTED on the root window).
bool windowManagerSupports(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t supportedList,
                           xcb_atom_t wanted)
{
    const auto supported = property(connection, root, supportedList, 1024);
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

// Only on X11: another platform's windows keep their frames to themselves.
AnnouncedFrame::AnnouncedFrame()
{
    if (auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>())
        m_connection = x11->connection();
}

// Asks once, without waiting: the atoms, then a window that is never
// mapped, whose frame the window manager is asked to announce
// (_NET_REQUEST_FRAME_EXTENTS).
void AnnouncedFrame::ask()
{
    if (!m_connection || m_window)
        return;

    // The three names in one round trip.
    constexpr std::array<std::string_view, 3> names{"_NET_REQUEST_FRAME_EXTENTS", "_NET_FRAME_EXTENTS",
                                                    "_NET_SUPPORTED"};
    std::array<xcb_intern_atom_cookie_t, 3> cookies{};
    for (std::size_t i = 0; i < names.size(); ++i)
        cookies.at(i) = xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(names.at(i).size()),
                                        names.at(i).data());
    std::array<xcb_atom_t, 3> atoms{};
    for (std::size_t i = 0; i < names.size(); ++i) {
        const XcbReply<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(m_connection, cookies.at(i), nullptr), &std::free);
        atoms.at(i) = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    }
    m_request = atoms[0];
    m_extents = atoms[1];
    m_supportedList = atoms[2];

    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    // Its decorations are those of any ordinary window with a title bar.
    m_window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, m_root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = m_window;
    message.type = m_request;
    xcb_send_event(m_connection, 0, m_root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(m_connection);
}

AnnouncedFrame::~AnnouncedFrame()
{
    if (m_connection && m_window) {
        xcb_destroy_window(m_connection, m_window);
        xcb_flush(m_connection);
    }
}

// The answer, read once and kept: the frame's extents as the window manager
// set them on the asking window, or no frame when it does not answer.
FrameMargins AnnouncedFrame::margins()
{
    if (m_margins)
        return *m_margins;
    ask();
    m_margins = FrameMargins{};
    if (!m_connection || !m_window)
        return *m_margins;
    // A window manager that does not understand the question will not answer it.
    if (!windowManagerSupports(m_connection, m_root, m_supportedList, m_request))
        return *m_margins;

    // The toolkit reads the window's events, so ask for the property until it is there.
    const QDeadlineTimer deadline(kAnswerDeadlineMs);
    do {
        const auto reply = property(m_connection, m_window, m_extents, 4);
        if (reply && reply->format == 32 && xcb_get_property_value_length(reply.get()) == 16) {
            const auto* value = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
            // left, right, top, bottom
            m_margins = FrameMargins{static_cast<int>(value[0]), static_cast<int>(value[2]),
                                     static_cast<int>(value[1]), static_cast<int>(value[3])};
            return *m_margins;
        }
        QThread::msleep(1);
    } while (!deadline.hasExpired());
    return *m_margins;
}

} // namespace forms
