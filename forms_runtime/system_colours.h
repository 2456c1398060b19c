// SPDX-License-Identifier: MIT
#pragma once

// Stored colours, and which of them each part of a window is painted with.
//
// controlColours and windowSurface decide what every control and window is
// painted with, as stored colours, for every back end alike. A stored
// colour is an RGB value or a reference to one of the system colours below;
// resolveColour takes the references through one fixed table, the classic
// standard scheme, so that every window looks the same on every desktop
// theme. A back end whose platform has a system colour scheme of its own
// and contrast themes resolves the references through that scheme instead
// (it then has to map the sys:: numbers to its own; index 0 is the
// scroll-bar colour).

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

// What a control is painted with: its surface (under its text or picture;
// for a line, the line itself) and its text.
struct ControlColours
{
    StoredColour surface = 0;
    StoredColour text = 0;
    friend bool operator==(const ControlColours&, const ControlColours&) = default;
};

// Every control lies on the dialog face and writes in the button text
// colour unless its description gives colours of its own; a text box's
// surface is the window colour and its text the window text colour; a
// command button keeps the face whatever its description says (a standard
// push button shows no surface colour of its own); a line is drawn in its
// back colour, the window text colour without one. While the user has a
// contrast theme on (`contrast`), each colour gives way as contrastColour says.
ControlColours controlColours(const ControlDescription& control, bool contrast);

// A window's surface: its own back colour, or the dialog face.
StoredColour windowSurface(const WindowDescription& window, bool contrast);

} // namespace forms
