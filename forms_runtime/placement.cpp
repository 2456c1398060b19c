// SPDX-License-Identifier: MIT
#include "placement.h"

#include <algorithm>
#include <cmath>

namespace forms {

PixelRect autoSizedRect(const ControlDescription& label, const PixelRect& before, int width, int height)
{
    const int left = label.alignment == Alignment::Right ? before.left + before.width - width : before.left;
    return {left, before.top, width, height};
}

PixelPoint firstShowClientPosition(const WindowDescription& window, int clientWidth, int clientHeight,
                                   const FrameMargins& frame, const PixelRect& screen, double pixelsPerTwip)
{
    if (window.startPosition == StartPosition::Manual) {
        return {screen.left + static_cast<int>(std::lround(window.left * pixelsPerTwip)),
                screen.top + static_cast<int>(std::lround(window.top * pixelsPerTwip))};
    }
    const int outerWidth = frame.left + clientWidth + frame.right;
    const int outerHeight = frame.top + clientHeight + frame.bottom;
    // A window larger than the screen keeps its title bar and left edge on it.
    return {screen.left + std::max(0, (screen.width - outerWidth) / 2) + frame.left,
            screen.top + std::max(0, (screen.height - outerHeight) / 2) + frame.top};
}

} // namespace forms
