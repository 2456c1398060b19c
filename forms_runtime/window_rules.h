// SPDX-License-Identifier: MIT
#pragma once

// What a window description means beyond its numbers, the same on every
// toolkit: which controls take the focus and in which order, which swallow
// the clicks on them, which label names a text box, and whether a window has
// a title bar or is a bare bordered box. A back end builds what these say.

#include "window_description.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace forms {

// Command buttons, option buttons, text boxes and picture boxes take the
// keyboard focus; labels, frames, images and lines never do.
bool takesFocus(ControlKind kind);

// A control the Tab key stops at: one that takes the focus and has a tab
// index. (Of an option group, the group's one stop is decided by
// leadsOptionGroup on top of this.)
bool isTabStop(const ControlDescription& control);

// Command buttons and option buttons mark their access key in their
// captions with "&" ("&&" stands for a plain "&"); labels and frames show
// their text as it is, "&" included.
bool marksAccessKey(ControlKind kind);

// A label wraps its text at word boundaries within its width, unless its
// size follows its text: then it shows the text on one line, whatever its
// alignment.
bool wrapsText(const ControlDescription& label);

// Labels, frames, images, picture boxes and lines keep the clicks on them to
// themselves: a click on a label inside a frame is no click on the frame.
bool swallowsClicks(ControlKind kind);

// The controls that take the focus, in the order of their tab index (equal
// indexes in the order of the description); controls without a tab index
// are left out.
std::vector<const ControlDescription*> tabOrder(const WindowDescription& window);

// The option button that leads its group, the option buttons of one
// container: the first by tab index. It starts the group, and before any
// choice it is the group's one Tab stop; once an option is chosen, the
// chosen one is. Arrows move within the group.
bool leadsOptionGroup(const WindowDescription& window, const ControlDescription& option);

// The option of `option`'s group that Tab and Shift+Tab stop at, from
// either side: the chosen one, before any choice the group's leader.
// `chosen` tells whether an option is chosen now.
const ControlDescription& optionGroupStop(const WindowDescription& window, const ControlDescription& option,
                                          const std::function<bool(const ControlDescription&)>& chosen);

// The label that names a text box for screen readers: the label whose tab
// index comes right before the text box's, as the platform's readers take
// it. nullptr when there is none.
const ControlDescription* labelOf(const WindowDescription& window, const ControlDescription& textBox);

// A window has a title bar when it is sizable, has a close box or has a
// caption; otherwise it is a bare box with a dialog border.
bool hasTitleBar(const WindowDescription& window);

// What kind of window a description means; each back end shows a kind in
// its platform's way.
enum class WindowKind
{
    Main,   // a window of the program's own, with a title bar and a taskbar entry (the calculator)
    Dialog, // a title bar and no taskbar entry: it belongs to the program's other windows (About)
    Splash, // no title bar and no taskbar entry: a bare box with a raised border (the splash)
};
// A window without a title bar is a splash, whether or not it asks for a
// taskbar entry; one with a title bar and without a taskbar entry is a dialog.
WindowKind windowKind(const WindowDescription& window);

// What a screen reader calls a window: its caption, or the application
// title for a window without one (the splash), which shows no title bar.
std::string_view accessibleName(const WindowDescription& window, std::string_view applicationTitle);

// The text that describes a window to a screen reader: the design text of
// the control its description names; empty for none.
std::string_view accessibleDescription(const WindowDescription& window);

// The face a font is drawn with: a leading "@" asks for a face's
// vertical-writing variant, whose glyphs lie on their side; the text is shown
// upright in the same face instead.
std::string_view shownFace(std::string_view face);

// A fixed dialog frame with a close box is announced as a dialog, any other
// window as a window.
bool isDialog(const WindowDescription& window);

// Characters a window will draw in one of its fonts.
struct TextSample
{
    FontSpec font;
    std::u32string text;
};

// What a window will draw, font by font, for a back end to get its fonts and
// glyphs ready before the window is first shown: every font its controls use
// (the window's own for those without one), each with the distinct
// characters the controls show in it, "&" marks left out. A label or text
// box without a design text shows texts set later, not known here: for it,
// every printable character of Latin-1 and the euro sign. The characters of
// a font come in pieces of at most `pieceLength`, fonts in the order of the
// controls.
std::vector<TextSample> textSamples(const WindowDescription& window, std::size_t pieceLength);

} // namespace forms
