// SPDX-License-Identifier: MIT
#pragma once

// The frame that the window manager puts around an ordinary window with a
// title bar, known before such a window is first shown, so that the run-time
// can centre the whole window without moving it after it has appeared.
//
// On X11 the window manager is asked (_NET_REQUEST_FRAME_EXTENTS) about an
// unmapped stand-in window once the first window has been painted, so that
// the question never delays it; the answer, a property on the stand-in, is
// long there when the user opens the first window that needs it. Elsewhere,
// or when the window manager cannot tell, the frame counts as empty.

#include "placement.h"

#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace forms {

class AnnouncedFrame
{
public:
    // Needs a QGuiApplication.
    AnnouncedFrame();
    ~AnnouncedFrame();
    AnnouncedFrame(const AnnouncedFrame&) = delete;
    AnnouncedFrame& operator=(const AnnouncedFrame&) = delete;

    // Sends the question and returns at once; asks only once.
    void ask();
    // The frame in device pixels. Asks if that has not been done, and waits
    // briefly for the answer if it has not come yet.
    FrameMargins margins();

private:
    xcb_connection_t* m_connection = nullptr;
    std::uint32_t m_root = 0;
    std::uint32_t m_window = 0;        // the stand-in
    std::uint32_t m_request = 0;       // _NET_REQUEST_FRAME_EXTENTS
    std::uint32_t m_extents = 0;       // _NET_FRAME_EXTENTS
    std::uint32_t m_supportedList = 0; // _NET_SUPPORTED
    std::optional<FrameMargins> m_margins;
};

} // namespace forms
