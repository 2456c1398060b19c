// SPDX-License-Identifier: MIT
#pragma once

// The forms run-time on plain Win32: each window description becomes a
// top-level window with BUTTON, STATIC and EDIT controls, laid out at the
// system's resolution and anew when a window moves to a screen of another
// resolution, and the controls' notifications become the windows'
// events. The run-time's own rules (keyboard, placement, window rules) decide;
// this back end only builds native controls and reports what happens to them.

#include "runtime.h"

#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace forms {

class Win32Runtime final : public Runtime
{
public:
    Win32Runtime(std::string applicationTitle, HINSTANCE instance);
    ~Win32Runtime() override;
    Win32Runtime(const Win32Runtime&) = delete;
    Win32Runtime& operator=(const Win32Runtime&) = delete;

    // Runs the message loop until the program ends; returns its exit code.
    int run();
    // Handles the messages waiting now, as the loop does, and returns.
    void processPendingMessages();

    // The resolution new windows are laid out at, in dots per inch.
    int dpi() const { return m_dpi; }
    // The resolution a loaded window is laid out at now.
    int dpi(const Form& form) const;
    // The top-level window of a loaded window, or nullptr.
    HWND window(const Form& form) const;
    // A control of a loaded window by name (and element number), or nullptr.
    HWND control(const Form& form, std::string_view name, int index = -1) const;

    void show(Form& form) override;
    void hide(Form& form) override;
    void messageBox(std::string_view text) override;
    std::string decimalSeparator() const override;

protected:
    bool readSelected(const Form& form, const ControlDescription& control) const override;
    void writeCaption(Form& form, const ControlDescription& control, std::string_view text) override;
    void writeText(Form& form, const ControlDescription& control, std::string_view text) override;
    void writeWindowCaption(Form& form, std::string_view text) override;
    void createWindow(Form& form) override;
    void destroyWindow(Form& form) override;
    void endProcess(int exitCode) override;

private:
    struct Window;
    static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
    bool preview(const MSG& message);
    Window& windowOf(const Form& form) const;
    Window* windowOf(HWND handle) const;
    HWND controlOf(const Form& form, const ControlDescription& control) const;
    void createControl(Window& window, const ControlDescription& control, int order);
    // The font a control shows at its window's resolution (made on demand, owned by the window).
    static HFONT fontFor(Window& window, const ControlDescription& control);
    void changeResolution(Window& window, int dpi, const RECT& suggested);

    HINSTANCE m_instance;
    HWND m_owner = nullptr; // hidden owner of windows without a taskbar entry
    std::map<const Form*, std::unique_ptr<Window>> m_windows;
    int m_dpi = 96;
    bool m_quit = false;
    char32_t m_highSurrogate = 0; // the first half of a character typed in two
    int m_exitCode = 0;
};

} // namespace forms
