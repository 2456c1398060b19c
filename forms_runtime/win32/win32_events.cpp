// SPDX-License-Identifier: MIT
// The events: every message of the program's windows, and the keys before
// the dialog manager sees them, reported to the run-time as raw events.
#include "keyboard.h"
#include "win32_runtime.h"
#include "win32_window.h"
#include "window_rules.h"

namespace forms {

using win32::kIdleTimer;

namespace {

// An arrow key as the run-time names it; Key::Other for any other key.
KeyStroke::Key arrow(WPARAM virtualKey)
{
    switch (virtualKey) {
    case VK_UP:
        return KeyStroke::Key::Up;
    case VK_DOWN:
        return KeyStroke::Key::Down;
    case VK_LEFT:
        return KeyStroke::Key::Left;
    case VK_RIGHT:
        return KeyStroke::Key::Right;
    default:
        return KeyStroke::Key::Other;
    }
}

bool held(int virtualKey)
{
    return (GetKeyState(virtualKey) & 0x8000) != 0;
}

} // namespace

// Keys before the dialog manager sees them, reported to the run-time, which
// decides: typed characters (a window with key preview takes them, letters
// are access keys with Alt or without) and the arrows within an option
// group. The dialog manager's own ideas (pressing the first of two buttons
// that share a letter, moving by its own order) never come into play.
bool Win32Runtime::preview(const MSG& message)
{
    if (message.message != WM_CHAR && message.message != WM_SYSCHAR && message.message != WM_KEYDOWN)
        return false;
    Window* window = windowOf(GetAncestor(message.hwnd, GA_ROOT));
    if (!window)
        return false;
    if (message.message != WM_KEYDOWN)
        return unitTyped(*window->form, static_cast<char16_t>(message.wParam), message.message == WM_SYSCHAR);
    if (window->form->description().keyPreview) {
        // A window with key preview gets every character, Enter, Escape and
        // Tab included, which the dialog manager would otherwise take.
        TranslateMessage(&message);
        DispatchMessageW(&message);
        return true;
    }
    const KeyStroke::Key key = arrow(message.wParam);
    return key != KeyStroke::Key::Other &&
           keyPressed(*window->form, {.key = key, .shift = held(VK_SHIFT), .control = held(VK_CONTROL)});
}

LRESULT CALLBACK Win32Runtime::windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* runtime = reinterpret_cast<Win32Runtime*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (runtime && handle == runtime->m_owner && message == WM_TIMER && wParam == kIdleTimer) {
        runtime->idleTurn();
        return 0;
    }
    Window* window = runtime ? runtime->windowOf(handle) : nullptr;
    if (!window)
        return DefWindowProcW(handle, message, wParam, lParam);
    // No exception may unwind through the system's code: one that escapes
    // (out of memory while laying a window out anew, say) is reported and
    // ends the program, as an error in a handler does.
    try {
        return runtime->handle(*window, message, wParam, lParam);
    } catch (...) {
        runtime->failWithCurrentException();
        return 0;
    }
}

// A control's notification: a command button's click goes to its handler;
// Enter and Escape, which the dialog manager sends as IDOK and IDCANCEL, go
// to the run-time as the keys they are.
LRESULT Win32Runtime::command(Window& window, WPARAM wParam, LPARAM lParam)
{
    const int id = LOWORD(wParam);
    const ControlDescription* control = controlOf(*window.form, reinterpret_cast<HWND>(lParam));
    if (id == IDOK || id == IDCANCEL) {
        // Enter and Escape, as the dialog manager found them: the run-time
        // decides which button they press.
        keyPressed(*window.form, {.key = id == IDOK ? KeyStroke::Key::Return : KeyStroke::Key::Escape});
        return 0;
    }
    if (control && control->kind == ControlKind::CommandButton && HIWORD(wParam) == BN_CLICKED)
        window.form->click(control->name);
    // A press on a label or a picture, which keep their clicks to
    // themselves: the run-time forgets any press before it, so that a
    // release on the frame's surface after it is no click.
    else if (control && swallowsClicks(control->kind) && HIWORD(wParam) == STN_CLICKED)
        pointerPressed(*window.form, control);
    return 0;
}

void Win32Runtime::frameClick(Window& window, UINT message, LPARAM lParam)
{
    // The window's surface within a frame is the frame's (a frame lets the
    // mouse through to its window), unless a label or picture inside it,
    // which keeps its clicks to itself, lies there. The press and the
    // release go to the run-time, which decides what is a click; the window
    // holds the mouse from the press on, so it sees the release wherever it
    // happens.
    const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    const auto contains = [&](const ControlDescription& control) {
        const HWND handle = nativeControl(*window.form, control);
        RECT rect{};
        GetWindowRect(handle, &rect);
        MapWindowPoints(nullptr, window.top, reinterpret_cast<POINT*>(&rect), 2);
        return IsWindowVisible(handle) && PtInRect(&rect, point);
    };
    const ControlDescription* under = nullptr;
    for (const ControlDescription& control : window.form->description().controls) {
        if (!contains(control))
            continue;
        if (control.kind != ControlKind::Frame && swallowsClicks(control.kind)) {
            under = nullptr;
            break;
        }
        if (control.kind == ControlKind::Frame)
            under = &control;
    }
    if (message == WM_LBUTTONDOWN) {
        SetCapture(window.top);
        pointerPressed(*window.form, under);
        return;
    }
    // Released first: losing the capture forgets the press.
    Form& form = *window.form;
    if (GetCapture() == window.top) {
        window.releasing = true;
        ReleaseCapture();
        window.releasing = false;
    }
    pointerReleased(form, under);
}

// The dialog manager asks which button shows the default border and takes
// Enter; the run-time's rule answers.
LRESULT Win32Runtime::defaultButtonId(Window& window)
{
    const ControlDescription* button = currentDefaultButton(*window.form);
    return button ? MAKELRESULT(GetDlgCtrlID(nativeControl(*window.form, *button)), DC_HASDEFID) : 0;
}

// The window procedure of every window: each message to its handler, the
// rest to the system's default.
LRESULT Win32Runtime::handle(Window& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND:
        return command(window, wParam, lParam);
    case DM_GETDEFID:
        return defaultButtonId(window);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
        frameClick(window, message, lParam);
        return 0;
    case WM_CAPTURECHANGED:
        if (!window.releasing)
            pointerLost(*window.form);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
        return controlColour(window, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        drawPicture(window, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_ERASEBKGND: {
        RECT rect{};
        GetClientRect(window.top, &rect);
        auto* const dc = reinterpret_cast<HDC>(wParam);
        SetDCBrushColor(dc, surfaceOf(*window.form));
        FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        return 1;
    }
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // A contrast theme turned on or off: every colour is looked up anew.
        refreshContrast();
        break;
    case WM_ACTIVATE:
        // Where the focus goes is the run-time's rule, not the system's.
        if (LOWORD(wParam) == WA_INACTIVE)
            windowDeactivated(*window.form);
        else
            windowActivated(*window.form);
        return 0;
    case WM_CLOSE:
        closeRequested(*window.form);
        return 0;
    case WM_DPICHANGED:
        // Moved to a screen of another resolution: laid out anew for it, in
        // the place and size the system suggests.
        changeResolution(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window.top, message, wParam, lParam);
}

} // namespace forms
