// SPDX-License-Identifier: MIT
#pragma once

// The forms run-time on plain Win32: each window description becomes a
// top-level window with BUTTON, STATIC and EDIT controls, laid out at the
// resolution of the screen it appears on and anew when it moves to a screen
// of another resolution, and the controls' notifications become the
// windows' events. Functions newer than the oldest supported Windows are
// looked up at run time; where they are missing the program still starts. The run-time's own rules (keyboard,
// placement, window rules) decide; this back end only builds native controls and reports what happens to
// them.

#include "keyboard.h"
#include "runtime.h"
#include "system_colours.h"

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

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

    // The system's resolution, in dots per inch; a window is laid out at that
    // of the screen it appears on.
    int dpi() const { return m_dpi; }
    // The resolution a loaded window is laid out at now.
    int dpi(const Form& form) const;
    // The top-level window of a loaded window, or nullptr.
    HWND window(const Form& form) const;
    // A control of a loaded window by name (and element number), or nullptr.
    HWND controlNamed(const Form& form, std::string_view name, int index = -1) const;

    // Whether the user has turned on a contrast theme; the system's setting
    // unless replaced (tests). Read again when the system's settings change.
    void setContrastQuery(std::function<bool()> query);

protected:
    PixelSize clientSize(const Form& form) override;
    FrameMargins frameMargins(const Form& form) override;
    PixelRect screenArea(const Form& form) override;
    double pixelsPerTwip(const Form& form) override;
    void placeClient(Form& form, PixelPoint clientTopLeft) override;
    void showWindow(Form& form) override;
    void hideWindow(Form& form) override;
    PixelRect controlRect(const Form& form, const ControlDescription& control) override;
    void placeControl(Form& form, const ControlDescription& control, const PixelRect& rect) override;
    PixelSize textSize(const Form& form, const ControlDescription& control) override;
    const ControlDescription* focusedControl(const Form& form) override;
    void focusControl(Form& form, const ControlDescription& control) override;
    void pressControl(Form& form, const ControlDescription& control) override;
    FocusPlace focusPlace() const override;
    void activateWindow(Form& form) override;
    void runMessageBox(std::string_view text, std::string_view title, Form* owner) override;
    void blockInput(Form& form, bool blocked) override;
    void announceStatus(Form& form, const ControlDescription& control, std::string_view text) override;
    std::string localeDecimalSeparator() const override;
    bool hasPicture(PictureId picture) const override;
    bool readSelected(const Form& form, const ControlDescription& control) const override;
    void writeCaption(Form& form, const ControlDescription& control, std::string_view text) override;
    void writeText(Form& form, const ControlDescription& control, std::string_view text) override;
    void writeWindowCaption(Form& form, std::string_view text) override;
    void createWindow(Form& form) override;
    void destroyWindow(Form& form) override;
    void endProcess(int exitCode) override;
    void whenIdle(std::function<void()> step) override;

private:
    struct Window;
    static LRESULT CALLBACK windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam);
    static HWND createOwner(HINSTANCE instance);
    LRESULT handle(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT command(Window& window, WPARAM wParam, LPARAM lParam);
    LRESULT defaultButtonId(Window& window);
    LRESULT controlColour(Window& window, HDC dc, HWND handle) const;
    void frameClick(Window& window, UINT message, LPARAM lParam);
    void drawPicture(Window& window, const DRAWITEMSTRUCT& item);
    bool preview(const MSG& message);
    void idleTurn();
    Window& windowOf(const Form& form) const;
    Window* windowOf(HWND handle) const;
    // The registry's native control of a control, as the handle it is (the
    // other way round, controlOf serves as it is).
    HWND nativeControl(const Form& form, const ControlDescription& control) const;
    void createControl(Window& window, const ControlDescription& control, int order);
    // The font a control shows at its window's resolution (made on demand, owned by the window).
    static HFONT fontFor(Window& window, const ControlDescription& control);
    // The resolution of the screen a window of that description appears on.
    int screenDpi(const WindowDescription& description) const;
    // The title bar's icons at the window's resolution.
    void setWindowIcons(Window& window);
    // A picture box's size at the window's resolution: its picture's and its border.
    void sizePictureBox(Window& window, HWND handle, const ControlDescription& control) const;
    void changeResolution(Window& window, int dpi, const RECT& suggested);
    // Reads the contrast setting again and repaints every window.
    void refreshContrast();
    // The colours of a control and a window's surface, as the run-time's
    // rule gives them under the user's theme now.
    ControlColours coloursOf(const ControlDescription& control) const;
    COLORREF surfaceOf(const Form& form) const;

    HINSTANCE m_instance;
    HWND m_owner = nullptr; // hidden owner of windows without a taskbar entry
    int m_dpi = 96;
    bool m_quit = false;
    int m_exitCode = 0;
    std::function<bool()> m_contrastQuery;
    bool m_highContrast = false;
    std::deque<std::function<void()>> m_idleSteps;
    // Windows whose description screen readers learn in the next idle turn.
    std::vector<std::pair<HWND, std::wstring>> m_undescribed;
};

} // namespace forms
