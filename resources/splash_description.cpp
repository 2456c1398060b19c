// SPDX-License-Identifier: MIT
#include "window_descriptions.h"

namespace resources {
namespace {

using forms::Alignment;
using forms::ControlKind;
using forms::FontSpec;

constexpr FontSpec kArial825{.face = "Arial", .points = 8.25};

forms::WindowDescription makeSplash()
{
    return {
        .name = "frmSplash",
        .caption = "",
        .clientWidth = 7380,
        .clientHeight = 4245,
        .border = forms::WindowBorder::FixedDialog,
        .controlBox = false,
        .minButton = false,
        .maxButton = false,
        .startPosition = forms::StartPosition::CentreScreen,
        .showInTaskbar = false,
        .keyPreview = true,
        .font = kArial825,
        .icon = kApplicationIcon,
        .describedBy = "lblWarning",
        .controls =
            {
                {.name = "Frame1", .kind = ControlKind::Frame, .rect = {150, 60, 7080, 4050}, .tabIndex = 0},
                {.name = "lblLicenseTo",
                 .container = "Frame1",
                 .rect = {120, 240, 6855, 255},
                 .font = kArial825,
                 .alignment = Alignment::Right,
                 .tabIndex = 1},
                {.name = "lblProductName",
                 .container = "Frame1",
                 .text = "Produkt",
                 .rect = {2040, 600, 1785, 555},
                 .font = FontSpec{.face = "Arial", .points = 24, .weight = 700},
                 .autoSize = true,
                 .tabIndex = 8},
                {.name = "lblCompanyProduct",
                 .container = "Frame1",
                 .rect = {1680, 720, 105, 435},
                 .font = FontSpec{.face = "Arial", .points = 18, .weight = 700},
                 .autoSize = true,
                 .tabIndex = 7},
                {.name = "Image1",
                 .kind = ControlKind::Image,
                 .container = "Frame1",
                 .rect = {480, 1440, 1440, 1320},
                 .picture = kApplicationIcon},
                {.name = "lblPlatform",
                 .container = "Frame1",
                 .text = "für Win 98/2000/XP",
                 .rect = {2880, 1800, 2865, 360},
                 .font = FontSpec{.face = "Arial", .points = 15.75, .weight = 700},
                 .alignment = Alignment::Right,
                 .autoSize = true,
                 .tabIndex = 6},
                {.name = "lblVersion",
                 .container = "Frame1",
                 .text = "Version",
                 .rect = {2880, 2280, 2805, 285},
                 .font = FontSpec{.face = "Arial", .points = 12, .weight = 700},
                 .alignment = Alignment::Right,
                 .autoSize = true,
                 .tabIndex = 5},
                {.name = "lblCopyright",
                 .container = "Frame1",
                 .text = "© 2026 Die Gradolux-Entwickler",
                 .rect = {2760, 2760, 3255, 255},
                 .font = kArial825,
                 .tabIndex = 4},
                {.name = "lblCompany",
                 .container = "Frame1",
                 .text = "Gradolux-Team",
                 .rect = {3480, 3120, 1215, 255},
                 .font = kArial825,
                 .tabIndex = 3},
                {.name = "lblWarning",
                 .container = "Frame1",
                 .text = "Bitte eine Taste Drücken um zum Programm zu gelangen!",
                 .rect = {150, 3660, 6855, 195},
                 .font = kArial825,
                 .alignment = Alignment::Centre,
                 .tabIndex = 2},
            },
    };
}

} // namespace

const forms::WindowDescription& splashDescription()
{
    static const forms::WindowDescription description = makeSplash();
    return description;
}

} // namespace resources
