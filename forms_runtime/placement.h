// SPDX-License-Identifier: MIT
#pragma once

// Where a window goes at its first show, the same on every toolkit. A
// centred window is centred as a whole, its frame (title bar and borders)
// included, on the whole screen (one larger than the screen keeps its title
// bar on it); a window with a fixed position has its
// client area's top-left corner at the given distance from the screen's.
// The back end reports the frame's size, which only it can know.

#include "window_description.h"

namespace forms {

struct PixelPoint
{
    int x = 0;
    int y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct PixelSize
{
    int width = 0;
    int height = 0;
};

// How far the frame reaches beyond the client area on each side, in pixels.
struct FrameMargins
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Where a label whose size follows its text goes when its text changes and
// it takes the size `width` × `height`: a right-aligned label keeps its right
// edge, any other its left edge; the top edge stays.
PixelRect autoSizedRect(const ControlDescription& label, const PixelRect& before, int width, int height);

// The client area's top-left corner on the screen at the window's first show.
// `clientWidth` and `clientHeight` are the client area's size in the same
// pixels as `screen` and `frame`; `pixelsPerTwip` turns a fixed position
// given in twips into those pixels.
PixelPoint firstShowClientPosition(const WindowDescription& window, int clientWidth, int clientHeight,
                                   const FrameMargins& frame, const PixelRect& screen, double pixelsPerTwip);

} // namespace forms
