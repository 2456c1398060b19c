// SPDX-License-Identifier: MIT
#pragma once

// The size of the frame that the window manager will put around a top-level
// widget, asked for before the widget is first shown, so that the run-time
// can centre the whole window without moving it after it has appeared.

#include "placement.h"

class QWidget;

namespace forms {

// The frame the window manager announces for `top`, which must not have
// been shown yet. On X11 this asks the window manager
// (_NET_REQUEST_FRAME_EXTENTS) and waits briefly for its answer; where the
// platform or the window manager cannot tell, the frame counts as empty.
FrameMargins announcedFrameMargins(QWidget& top);

} // namespace forms
