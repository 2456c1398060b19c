// SPDX-License-Identifier: MIT
#pragma once

// The keyboard rules of the run-time, the same on every toolkit: which key
// presses count as typing a character (for windows with key preview), which
// button Enter and Escape press, and which button shows itself as the
// default. A back end reports the key and the focused control; these
// functions decide.

#include "window_description.h"

#include <string>

namespace forms {

// A key press as the back end saw it.
struct KeyStroke
{
    enum class Key
    {
        Other,
        Return, // the main keyboard's Enter
        Enter,  // the keypad's Enter
        Escape,
        Delete,
        Up, // the arrows: Up and Left go back, Down and Right on
        Down,
        Left,
        Right,
    };
    Key key = Key::Other;
    std::u32string text{}; // what the platform says the key types; empty for none
    bool shift = false;
    bool control = false;
    bool alt = false;
};

// True when the key types a character: letters, digits, space, Enter,
// Escape, Backspace, Tab, Control combinations and characters typed with
// AltGr (which Windows reports as Control+Alt). Modifier keys alone, arrows,
// function keys and Delete type nothing, and Alt combinations are access
// keys, not characters.
bool typesCharacter(const KeyStroke& key);

// The command button that shows the default border and takes Enter: the
// focused command button if there is one, otherwise the window's default
// button. `focused` is the focused control's name ("" for none).
const ControlDescription* defaultButton(const WindowDescription& window, std::string_view focused);

// The letter a caption marks as its access key ("B&erechnen": 'e'), in lower
// case; 0 for none. "&&" stands for a plain "&".
char32_t accessKey(std::string_view caption);

// What Alt with a letter does: the command or option button whose caption marks that letter
// gets the focus; when no other control of the window shares the letter it
// is also pressed. When several share it, each press moves the focus to the
// next of them in the tab order after the focused control, and none is
// pressed, so a shared access key can never end the program by itself.
struct AccessKeyAction
{
    const ControlDescription* control = nullptr; // nullptr: the letter marks nothing
    bool press = false;
};
AccessKeyAction accessKeyAction(const WindowDescription& window, char32_t letter, std::string_view focused);

// What a letter typed without Alt does. In a text box it is typed; anywhere
// else a letter that marks an access key acts like Alt with that letter (the
// platform's dialogs treat it so), and a shared one only moves the focus,
// never presses. Nothing for a letter that marks no access key.
AccessKeyAction plainLetterAction(const WindowDescription& window, char32_t letter, std::string_view focused);

// Where an arrow moves from an option button: to the next option of its
// group (the option buttons of its container) by tab index, Down and Right
// forward and Up and Left back, wrapping within the group; the option it
// reaches is chosen. nullptr for any other key or control.
const ControlDescription* optionForArrow(const WindowDescription& window, const KeyStroke& key,
                                         std::string_view focused);

// The button a key presses when the focused control does not take it
// itself: every Enter (Return or keypad Enter, with or without Shift or
// Control) the default button, Escape the cancel button; nullptr otherwise.
// Alt combinations belong to the window manager and to access keys.
const ControlDescription* buttonForKey(const WindowDescription& window, const KeyStroke& key,
                                       std::string_view focused);

} // namespace forms
