// SPDX-License-Identifier: MIT
#include "system_colours.h"

#include <array>

namespace forms {
namespace {

constexpr std::array<Rgb, 25> kSystemColours{{
    {212, 208, 200}, // 0 scroll bar
    {58, 110, 165},  // 1 desktop
    {10, 36, 106},   // 2 active caption
    {128, 128, 128}, // 3 inactive caption
    {212, 208, 200}, // 4 menu
    {255, 255, 255}, // 5 window
    {0, 0, 0},       // 6 window frame
    {0, 0, 0},       // 7 menu text
    {0, 0, 0},       // 8 window text
    {255, 255, 255}, // 9 caption text
    {212, 208, 200}, // 10 active border
    {212, 208, 200}, // 11 inactive border
    {128, 128, 128}, // 12 application workspace
    {10, 36, 106},   // 13 highlight
    {255, 255, 255}, // 14 highlight text
    {212, 208, 200}, // 15 button face
    {128, 128, 128}, // 16 button shadow
    {128, 128, 128}, // 17 grey text
    {0, 0, 0},       // 18 button text
    {212, 208, 200}, // 19 inactive caption text
    {255, 255, 255}, // 20 button highlight
    {64, 64, 64},    // 21 3-D dark shadow
    {212, 208, 200}, // 22 3-D light
    {0, 0, 0},       // 23 tooltip text
    {255, 255, 225}, // 24 tooltip background
}};

} // namespace

Rgb resolveColour(StoredColour colour)
{
    if (colour & 0x80000000u) {
        const std::uint32_t index = colour & 0x7FFFFFFFu;
        return index < kSystemColours.size() ? kSystemColours[index] : Rgb{};
    }
    return {static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>((colour >> 8) & 0xFF),
            static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
}

StoredColour contrastColour(StoredColour colour, ColourUse use)
{
    if (colour & 0x80000000u)
        return colour;
    switch (use) {
    case ColourUse::Surface:
        return systemColour(sys::ButtonFace);
    case ColourUse::Text:
        return systemColour(sys::ButtonText);
    case ColourUse::TextInBox:
        return systemColour(sys::WindowText);
    case ColourUse::Line: {
        const Rgb rgb = resolveColour(colour);
        const int brightness = rgb.red + rgb.green + rgb.blue;
        return systemColour(brightness < 3 * 192 ? sys::ButtonShadow : sys::ButtonHighlight);
    }
    }
    return colour;
}

ControlColours controlColours(const ControlDescription& control, bool contrast)
{
    const auto take = [contrast](StoredColour colour, ColourUse use) {
        return contrast ? contrastColour(colour, use) : colour;
    };
    switch (control.kind) {
    case ControlKind::TextBox:
        return {.surface = take(systemColour(sys::Window), ColourUse::Surface),
                .text =
                    take(control.foreColour.value_or(systemColour(sys::WindowText)), ColourUse::TextInBox)};
    case ControlKind::CommandButton:
        return {.surface = systemColour(sys::ButtonFace),
                .text = take(control.foreColour.value_or(systemColour(sys::ButtonText)), ColourUse::Text)};
    case ControlKind::Line: {
        const StoredColour line =
            take(control.backColour.value_or(systemColour(sys::WindowText)), ColourUse::Line);
        return {.surface = line, .text = line};
    }
    default:
        return {.surface =
                    take(control.backColour.value_or(systemColour(sys::ButtonFace)), ColourUse::Surface),
                .text = take(control.foreColour.value_or(systemColour(sys::ButtonText)), ColourUse::Text)};
    }
}

StoredColour windowSurface(const WindowDescription& window, bool contrast)
{
    const StoredColour surface = window.backColour.value_or(systemColour(sys::ButtonFace));
    return contrast ? contrastColour(surface, ColourUse::Surface) : surface;
}

} // namespace forms
