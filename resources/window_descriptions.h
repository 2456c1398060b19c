// SPDX-License-Identifier: MIT
#pragma once

// The fixed descriptions of Gradolux's windows: geometry in twips, fonts in
// points, stored colours, texts. The option captions come from the risk scales.

#include "window_description.h"

namespace resources {

// Resource paths of the application icon's raster sizes.
inline constexpr std::string_view kIcon16 = ":/icons/gradolux-16.png";
inline constexpr std::string_view kIcon32 = ":/icons/gradolux-32.png";

const forms::WindowDescription& form1Description();
const forms::WindowDescription& splashDescription();
const forms::WindowDescription& aboutDescription();

} // namespace resources
