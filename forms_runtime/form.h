// SPDX-License-Identifier: MIT
#pragma once

// The base of every window class. A window is one class with a handler per
// control event (`Command1_Click`, `Form_KeyPress`, …) bound by name in its
// constructor; it reaches its controls and the other windows only through the
// Runtime, so it holds no toolkit type and can be driven by a fake run-time.

#include "window_description.h"

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace forms {

class Runtime;

class Form
{
public:
    explicit Form(Runtime& runtime) : m_runtime(runtime) {}
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    virtual const WindowDescription& description() const = 0;

    // Runs once, right after the window and its controls are created.
    virtual void Form_Load() {}
    // Runs when the window is unloaded: by Runtime::unload or through the
    // close control of its frame. Never runs when the program ends.
    virtual void Form_Unload() {}

    // Delivers a click on a control (or "" for the window) to its handler, if
    // it has one, through Runtime::deliver.
    void click(std::string_view control);
    // Delivers a key that produced a character, for windows with key preview,
    // through Runtime::deliver.
    void keyPress(char32_t character);

protected:
    Runtime& runtime() const { return m_runtime; }

    // Binds a click handler; a control the description lacks, or one whose
    // clicks reach no handler, is an error at once (forms::Error).
    void onClick(std::string_view control, std::function<void()> handler);
    void onKeyPress(std::function<void(char32_t)> handler);

    // The window's own controls, by name.
    bool selected(std::string_view control) const;
    void setCaption(std::string_view control, std::string_view text);
    void setText(std::string_view control, std::string_view text);
    void setWindowCaption(std::string_view text);
    // Tells a screen reader what `control` now shows (Runtime::announce).
    void announce(std::string_view control, std::string_view text);

private:
    Runtime& m_runtime;
    std::vector<std::pair<std::string, std::function<void()>>> m_clickHandlers;
    std::function<void(char32_t)> m_keyPressHandler;
};

} // namespace forms
