// SPDX-License-Identifier: MIT
#pragma once

// What the contract test needs of a back end besides the run-time itself:
// the windows as the toolkit shows them, read back through the toolkit, and
// input given the way a user gives it. Each back end has one probe.

#include "keyboard.h"
#include "placement.h"
#include "runtime.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct ShownFont
{
    int pixelHeight = 0; // the font's height in device pixels
    int weight = 0;      // 400 regular, 700 bold
};

// The colours a control shows, as 0x00BBGGRR: its surface (its container's
// where it has none of its own) and its text.
struct ShownColours
{
    std::uint32_t surface = 0;
    std::uint32_t text = 0;
};

// A control's text measured in the control's own font, in device pixels.
struct TextMeasure
{
    int width = 0;      // the text on one line
    int lines = 0;      // the lines it takes when wrapped at roomWidth
    int lineHeight = 0; // the font's line spacing
    int roomWidth = 0;  // the width the control gives its text (without an option's mark)
    int roomHeight = 0;
};

class BackendProbe
{
public:
    virtual ~BackendProbe() = default;

    virtual forms::Runtime& runtime() = 0;
    // The resolution the windows are laid out at, in dots per inch.
    virtual int dpi() const = 0;
    // Exit codes the back end has ended its event loop with, in order, as
    // the platform has them.
    virtual std::vector<int> exitCodes() const = 0;

    // In device pixels: a control's rectangle relative to its container's
    // client area (the window's, or its frame's), and the window's client size.
    virtual forms::PixelRect controlRect(const forms::Form& form, std::string_view name, int index = -1) = 0;
    virtual forms::PixelRect clientRect(const forms::Form& form) = 0;
    virtual ShownFont font(const forms::Form& form, std::string_view name) = 0;
    // The caption or text a control shows, without the access key's "&".
    virtual std::string text(const forms::Form& form, std::string_view name) = 0;
    virtual std::string windowCaption(const forms::Form& form) = 0;
    virtual bool visible(const forms::Form& form) = 0;

    // A click with the mouse in the middle of a control: the button goes
    // down and comes up there, as the platform reports a mouse's.
    virtual void click(const forms::Form& form, std::string_view name) = 0;
    // The space bar pressed and released with the focus on `focus`.
    virtual void space(const forms::Form& form, std::string_view focus) = 0;
    // A key pressed while the window is active, with the focus on `focus`
    // ("" to leave it where it is); Key::Other only activates and focuses.
    virtual void key(const forms::Form& form, forms::KeyStroke::Key key, std::string_view focus) = 0;

    // The left button going down or coming up at a point of the window's
    // client area (twips), given to whatever the platform finds there at
    // that moment, as input that comes faster than the program answers it.
    virtual void mouseAt(const forms::Form& form, int leftTwips, int topTwips, bool down) = 0;
    // A click at a point of the window's client area (twips), on whatever
    // lies there, as the mouse gives it.
    void clickAt(const forms::Form& form, int leftTwips, int topTwips)
    {
        mouseAt(form, leftTwips, topTwips, true);
        mouseAt(form, leftTwips, topTwips, false);
    }
    // Characters typed into the active window, as the keyboard sends them
    // (one outside the Basic Multilingual Plane as the platform sends it).
    virtual void typeText(const forms::Form& form, std::u32string_view text) = 0;
    // The user closes the window through its frame (its close box, Alt+F4).
    virtual void closeFrame(const forms::Form& form) = 0;
    // The window with its frame, and the screen, in the same pixels; where
    // on the screen the client area's top-left corner is.
    virtual forms::PixelRect outerRect(const forms::Form& form) = 0;
    virtual forms::PixelRect screenRect() = 0;
    virtual forms::PixelPoint clientOrigin(const forms::Form& form) = 0;
    // What the window shows the user and the window manager of its kind: a
    // title bar, and an entry of its own in the taskbar.
    virtual bool hasTitleBar(const forms::Form& form) = 0;
    virtual bool hasTaskbarEntry(const forms::Form& form) = 0;
    // A letter typed with the focus on `focus` ("" to leave it), with Alt or without.
    virtual void typeLetter(const forms::Form& form, char32_t letter, bool alt, std::string_view focus) = 0;
    // Tab pressed in the active window, and Shift+Tab.
    virtual void tab(const forms::Form& form) = 0;
    virtual void backTab(const forms::Form& form) = 0;
    // The name of the window's focused control ("" for none) and whether the window is the active one.
    virtual std::string focused(const forms::Form& form) = 0;
    virtual bool active(const forms::Form& form) = 0;
    // Whether the window would take a click or a key now.
    virtual bool takesInput(const forms::Form& form) = 0;
    // Runs `during` while the next message box is open, then closes the box
    // with its button, as a user would.
    virtual void duringNextMessageBox(std::function<void()> during) = 0;
    // Asked now, and answering later: whether the window's native window
    // still exists (it is gone once the window is unloaded).
    virtual std::function<bool()> watchNativeWindow(const forms::Form& form) = 0;
    // What a screen reader calls a control ("" for the window itself),
    // asked through the platform's accessibility interface.
    virtual std::string accessibleName(const forms::Form& form, std::string_view control) = 0;
    // What screen readers are told of the program's status messages from now
    // on, as a reader listening to the platform receives it: each message's
    // words, or the name of the control it is about where the platform
    // sends only that. heardAnnouncements answers what came since.
    virtual void listenForAnnouncements() = 0;
    virtual std::vector<std::string> heardAnnouncements() = 0;
    // The number one and a half as the platform writes it for the user.
    virtual std::string userNumber() = 0;
    // A control's text in its own font and the room the control gives it.
    virtual TextMeasure measureText(const forms::Form& form, std::string_view name) = 0;

    // What a control (not an image or a picture) is painted with, read back
    // from the platform as the control paints.
    virtual ShownColours colours(const forms::Form& form, std::string_view name, int index = -1) = 0;
    // The value the platform gives a system colour now (0x00BBGGRR).
    virtual std::uint32_t systemColourValue(std::uint32_t index) = 0;
    // Turns a contrast theme on or off as the user's setting would. False
    // for a toolkit without such a setting.
    virtual bool setHighContrast(bool /*on*/) { return false; }

    // Tells a window it is now on a screen of another resolution, as the
    // system does when the window moves there; dpi() answers that resolution
    // afterwards. False for a toolkit that scales its windows itself.
    virtual bool changeResolution(const forms::Form& /*form*/, int /*dpi*/) { return false; }
};

// Made by each back end's probe file.
std::unique_ptr<BackendProbe> makeBackendProbe();
