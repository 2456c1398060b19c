// SPDX-License-Identifier: MIT
#pragma once

// The fixed descriptions of Gradolux's windows: geometry in twips, fonts in
// points, stored colours, texts. The option captions come from the risk scales.

#include "window_description.h"

namespace resources {

// The application icon, 32 × 32.
inline constexpr forms::PictureId kApplicationIcon = "application-icon";

const forms::WindowDescription& form1Description();
const forms::WindowDescription& splashDescription();
const forms::WindowDescription& aboutDescription();

} // namespace resources
