// SPDX-License-Identifier: MIT
// The back end's life, its message loop, and the primitives that place,
// show, focus and write: the rest of the back end is in win32_build.cpp
// (building the windows), win32_events.cpp (the events) and
// win32_system.cpp (the system's services).
#include "win32_runtime.h"

#include "win32_text.h"
#include "win32_window.h"

#include <string>
#include <utility>

namespace forms {

using win32::kIdleTimer;
using win32::kWindowClass;

namespace {

// The system's resolution, in dots per inch.
int systemDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

} // namespace

// The one window class every window of the program has (its messages go to
// windowProcedure), registered once, and the hidden owner of windows without
// a taskbar entry, which is never shown and also receives the idle timer.
HWND Win32Runtime::createOwner(HINSTANCE instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    return CreateWindowExW(0, kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
}

// Registers the window class, makes the owner and reads the contrast setting.
Win32Runtime::Win32Runtime(std::string applicationTitle, HINSTANCE instance)
    : Runtime(std::move(applicationTitle)), m_instance(instance), m_owner(createOwner(instance)),
      m_dpi(systemDpi())
{
    SetWindowLongPtrW(m_owner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    setContrastQuery(win32::systemHighContrast);
    // The first idle turn comes once the first window is painted.
    SetTimer(m_owner, kIdleTimer, USER_TIMER_MINIMUM, nullptr);
}

// Destroys the windows still there (the run ended) before their fonts and
// icons go with the registry.
Win32Runtime::~Win32Runtime()
{
    forEachWindowRecord([](WindowRecord& record) { DestroyWindow(static_cast<Window&>(record).top); });
    DestroyWindow(m_owner);
}

namespace {

void dispatch(MSG message)
{
    // The dialog manager: Tab, arrows in option groups, Enter and Escape.
    const HWND active = GetActiveWindow();
    if (active && IsDialogMessageW(active, &message))
        return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

} // namespace

// The program's message loop: every message passes the run-time's key
// preview first, then the dialog manager of the active window.
int Win32Runtime::run()
{
    MSG message{};
    while (!m_quit && GetMessageW(&message, nullptr, 0, 0) > 0)
        if (!preview(message))
            dispatch(message);
    return m_exitCode;
}

// The same for the messages already waiting, without blocking (tests).
void Win32Runtime::processPendingMessages()
{
    MSG message{};
    while (!m_quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT && !preview(message))
            dispatch(message);
}

HWND Win32Runtime::window(const Form& form) const
{
    const auto* window = static_cast<const Window*>(windowRecord(form));
    return window ? window->top : nullptr;
}

int Win32Runtime::dpi(const Form& form) const
{
    const auto* window = static_cast<const Window*>(windowRecord(form));
    return window ? window->dpi : m_dpi;
}

HWND Win32Runtime::controlNamed(const Form& form, std::string_view name, int index) const
{
    const ControlDescription* description = form.description().find(name, index);
    return description ? static_cast<HWND>(nativeControl(form, *description)) : nullptr;
}

// The back end's record of a loaded window; a window that is not loaded is
// an error of the run-time's caller, reported in German.
Win32Runtime::Window& Win32Runtime::windowOf(const Form& form) const
{
    auto* window = static_cast<Window*>(windowRecord(form));
    if (!window)
        throw notLoaded(form.description());
    return *window;
}

// The record of the window a top-level handle belongs to, through the
// registry; nullptr for a window of the system's (a message box).
Win32Runtime::Window* Win32Runtime::windowOf(HWND handle) const
{
    const Form* form = formOf(handle);
    return form ? static_cast<Window*>(windowRecord(*form)) : nullptr;
}

HWND Win32Runtime::nativeControl(const Form& form, const ControlDescription& control) const
{
    return static_cast<HWND>(Runtime::nativeControl(form, control));
}

// Leaves the message loop: run() returns the exit code.
void Win32Runtime::endProcess(int exitCode)
{
    m_exitCode = exitCode;
    m_quit = true;
    PostQuitMessage(exitCode);
}

// The first show's measures, in the device pixels of the window's
// resolution: the frame is what the window's rectangle has beyond its client
// area; the screen is the primary one, where a centred window appears.
PixelSize Win32Runtime::clientSize(const Form& form)
{
    RECT client{};
    GetClientRect(windowOf(form).top, &client);
    return {client.right, client.bottom};
}

namespace {

// How far the frame reaches beyond the client area on each side.
FrameMargins marginsOf(HWND top)
{
    RECT client{};
    GetClientRect(top, &client);
    RECT outer{};
    GetWindowRect(top, &outer);
    POINT origin{0, 0};
    ClientToScreen(top, &origin);
    return {origin.x - outer.left, origin.y - outer.top, outer.right - origin.x - client.right,
            outer.bottom - origin.y - client.bottom};
}

} // namespace

FrameMargins Win32Runtime::frameMargins(const Form& form)
{
    return marginsOf(windowOf(form).top);
}

PixelRect Win32Runtime::screenArea(const Form& /*form*/)
{
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

double Win32Runtime::pixelsPerTwip(const Form& form)
{
    return static_cast<double>(windowOf(form).dpi) / 1440.0;
}

// Windows places a window by its frame's corner: the frame's margin is taken
// off the client area's place.
void Win32Runtime::placeClient(Form& form, PixelPoint clientTopLeft)
{
    const HWND top = windowOf(form).top;
    const FrameMargins frame = marginsOf(top);
    SetWindowPos(top, nullptr, clientTopLeft.x - frame.left, clientTopLeft.y - frame.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Runtime::showWindow(Form& form)
{
    const HWND top = windowOf(form).top;
    ShowWindow(top, SW_SHOW);
    SetForegroundWindow(top);
    SetActiveWindow(top);
}

// Controls are children of the top-level window (a frame is a sibling drawn
// behind them), so their rectangles are in its client area.
PixelRect Win32Runtime::controlRect(const Form& form, const ControlDescription& control)
{
    const HWND handle = nativeControl(form, control);
    RECT rect{};
    GetWindowRect(handle, &rect);
    MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Runtime::placeControl(Form& form, const ControlDescription& control, const PixelRect& rect)
{
    MoveWindow(nativeControl(form, control), rect.left, rect.top, rect.width, rect.height, TRUE);
}

// The text as the control shows it, measured in the control's own font.
PixelSize Win32Runtime::textSize(const Form& form, const ControlDescription& control)
{
    const HWND handle = nativeControl(form, control);
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle, text.data(), length + 1)));
    const HDC dc = GetDC(handle);
    auto* const old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(handle, dc);
    return {size.cx, size.cy};
}

void Win32Runtime::hideWindow(Form& form)
{
    ShowWindow(windowOf(form).top, SW_HIDE);
}

// The focus as the system has it, named through the registry.
const ControlDescription* Win32Runtime::focusedControl(const Form& form)
{
    const Window& window = windowOf(form);
    return controlOf(*window.form, GetFocus());
}

void Win32Runtime::focusControl(Form& form, const ControlDescription& control)
{
    SetFocus(nativeControl(form, control));
}

void Win32Runtime::pressControl(Form& form, const ControlDescription& control)
{
    // As a click would: a button reports it, an option button is chosen.
    SendMessageW(nativeControl(form, control), BM_CLICK, 0, 0);
}

// The active window of this thread and its focused control.
Runtime::FocusPlace Win32Runtime::focusPlace() const
{
    Window* active = windowOf(GetActiveWindow());
    if (!active)
        return {};
    return {active->form, controlOf(*active->form, GetFocus())};
}

void Win32Runtime::activateWindow(Form& form)
{
    const HWND top = windowOf(form).top;
    SetForegroundWindow(top);
    SetActiveWindow(top);
}

// Texts and states through the controls' own messages; every text is UTF-16.
bool Win32Runtime::readSelected(const Form& form, const ControlDescription& control) const
{
    return SendMessageW(nativeControl(form, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Runtime::writeCaption(Form& form, const ControlDescription& control, std::string_view text)
{
    // Labels do not take "&" for a mark (SS_NOPREFIX); a frame's group box does.
    SetWindowTextW(nativeControl(form, control), control.kind == ControlKind::Frame
                                                     ? shownAsIs(toWide(text)).c_str()
                                                     : toWide(text).c_str());
}

void Win32Runtime::writeText(Form& form, const ControlDescription& control, std::string_view text)
{
    SetWindowTextW(nativeControl(form, control), toWide(text).c_str());
}

void Win32Runtime::writeWindowCaption(Form& form, std::string_view text)
{
    SetWindowTextW(windowOf(form).top, toWide(text).c_str());
}

} // namespace forms
