// SPDX-License-Identifier: MIT
#pragma once

// Stored colours resolved to RGB.
//
// resolveColour takes system colour references through one fixed table,
// the classic Windows standard scheme, so that every window looks the same
// on every desktop theme; a back end whose platform has system colours of
// its own and contrast themes (Win32) reads those instead, and the sys::
// indexes are the platform's numbers there. Index 0 is the scroll-bar
// colour.

#include "window_description.h"

#include <cstdint>

namespace forms {

struct Rgb
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

namespace sys {
inline constexpr std::uint32_t ScrollBar = 0;
inline constexpr std::uint32_t Window = 5;
inline constexpr std::uint32_t WindowText = 8;
inline constexpr std::uint32_t Highlight = 13;
inline constexpr std::uint32_t HighlightText = 14;
inline constexpr std::uint32_t ButtonFace = 15;
inline constexpr std::uint32_t ButtonShadow = 16;
inline constexpr std::uint32_t GrayText = 17;
inline constexpr std::uint32_t ButtonText = 18;
inline constexpr std::uint32_t ButtonHighlight = 20;
inline constexpr std::uint32_t DarkShadow = 21;
inline constexpr std::uint32_t Light = 22;
inline constexpr std::uint32_t InfoText = 23;
inline constexpr std::uint32_t InfoBackground = 24;
} // namespace sys

// The RGB value of a stored colour; an unknown system colour index gives black.
Rgb resolveColour(StoredColour colour);

// What a colour paints, for the choice of its system colour under a contrast theme.
enum class ColourUse
{
    Surface,   // a window's surface
    Text,      // text on the dialog face (labels, buttons)
    TextInBox, // text on a text box's surface
    Line,      // a line drawn on the dialog face
};

// The colour to paint with while the user has turned on a contrast theme:
// every fixed RGB colour gives way to the system colour of its use (a dark
// line is the face's shadow, a light one its highlight); a system colour
// stays, since the theme sets it already.
StoredColour contrastColour(StoredColour colour, ColourUse use);

} // namespace forms
