// SPDX-License-Identifier: MIT
#pragma once

// A window described as fixed data: the window's own properties and its
// controls, each with a name, a kind, a text, a rectangle and the few settings
// that differ from the kind's defaults. Units are those of the original
// design: twips for geometry (15 twips to a logical pixel), points for font
// sizes, stored colours for colours. The run-time turns a description into a
// window; nothing here depends on a toolkit.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace forms {

// Left, top, width and height in twips, relative to the container's client area.
struct TwipsRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// 0x00BBGGRR, or with the highest bit set a reference to the system colour
// whose index is in the low bits (see system_colours.h).
using StoredColour = std::uint32_t;

inline constexpr StoredColour systemColour(std::uint32_t index)
{
    return 0x80000000u | index;
}

struct FontSpec
{
    std::string_view face{};
    double points = 8.25;
    int weight = 400; // 400 regular, 700 bold
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 0; // 0: Western

    friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// A picture named independently of any toolkit; each back end finds the
// picture of that name among its own resources.
using PictureId = std::string_view;

enum class ControlKind
{
    Label,
    Frame,
    OptionButton,
    TextBox,
    CommandButton,
    Image,      // stretches its picture to its rectangle
    PictureBox, // sizes itself to its picture
    Line,       // horizontal line: rect.left/top is the start, width the length, height the pen width
};

enum class Alignment
{
    Left,
    Right,
    Centre
};

struct ControlDescription
{
    std::string_view name{};
    ControlKind kind = ControlKind::Label;
    std::string_view container{}; // empty: the window itself
    std::string_view text{};      // an '&' marks the access key of command buttons and option buttons
    TwipsRect rect{};
    std::optional<FontSpec> font{}; // none: the window's font
    Alignment alignment = Alignment::Left;
    std::optional<StoredColour> foreColour{};
    std::optional<StoredColour> backColour{};
    bool autoSize = false;             // the control's size follows its text or picture
    int tabIndex = -1;                 // -1: the control has none
    bool isDefault = false;            // takes Enter
    bool isCancel = false;             // takes Escape
    bool sunken = false;               // 3-D sunken border
    PictureId picture{};               // the picture of images and picture boxes
    int index = -1;                    // element number of a control array; -1 for a control of its own
    std::string_view accessibleName{}; // what a screen reader calls a control that shows no text
};

enum class WindowBorder
{
    Sizable,     // title bar with system menu, minimize, maximize and close
    FixedDialog, // fixed dialog frame; title bar only with a caption or close box
};

enum class StartPosition
{
    Manual,
    CentreScreen
};

struct WindowDescription
{
    std::string_view name{};
    std::string_view caption{};
    int clientWidth = 0;  // twips
    int clientHeight = 0; // twips
    WindowBorder border = WindowBorder::Sizable;
    bool controlBox = true; // system menu and close box
    bool minButton = true;
    bool maxButton = true;
    StartPosition startPosition = StartPosition::Manual;
    int left = 0; // twips from the screen's left edge to the client area (Manual)
    int top = 0;
    bool showInTaskbar = true;
    bool keyPreview = false;
    FontSpec font{};
    std::optional<StoredColour> backColour{};
    PictureId icon{}; // the window's icon in its title bar
    // The control whose text describes the window to a screen reader (the
    // splash's request to press a key); empty for none.
    std::string_view describedBy{};
    std::vector<ControlDescription> controls{};

    // A control by its name; an element of a control array (several controls
    // of one name) by its name and element number.
    const ControlDescription* find(std::string_view controlName, int index = -1) const
    {
        for (const ControlDescription& control : controls)
            if (control.name == controlName && control.index == index)
                return &control;
        return nullptr;
    }
};

} // namespace forms
