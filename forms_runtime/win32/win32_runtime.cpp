// SPDX-License-Identifier: MIT
#include "win32_runtime.h"

#include "keyboard.h"
#include "placement.h"
#include "system_colours.h"
#include "units.h"
#include "win32_text.h"
#include "window_rules.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace forms {
namespace {

constexpr wchar_t kWindowClass[] = L"GradoluxWindow";
// Control ids start above IDOK (1) and IDCANCEL (2), which the dialog
// manager sends for Enter and Escape.
constexpr int kFirstControlId = 100;
// The pictures the windows name, by their icon resources in the executable.
struct PictureResource
{
    PictureId picture;
    int resourceId;
};
constexpr PictureResource kPictures[] = {{"application-icon", 1}};

// A picture at a size, shared: the system keeps one copy per size and frees
// it at the end, however often windows show it.
HICON loadPicture(HINSTANCE instance, PictureId picture, int size)
{
    for (const PictureResource& known : kPictures) {
        if (known.picture == picture)
            return static_cast<HICON>(
                LoadImageW(instance, MAKEINTRESOURCEW(known.resourceId), IMAGE_ICON, size, size, LR_SHARED));
    }
    throw Error("Das Bild „" + std::string(picture) + "“ gibt es nicht.");
}

COLORREF toColorRef(StoredColour colour)
{
    if (colour & 0x80000000u)
        return GetSysColor(static_cast<int>(colour & 0xFFu));
    const Rgb rgb = resolveColour(colour);
    return RGB(rgb.red, rgb.green, rgb.blue);
}

HFONT makeFont(const FontSpec& design, int dpi)
{
    std::wstring face = toWide(design.face);
    // A leading "@" asks for a vertical-writing face; the text is shown upright.
    if (!face.empty() && face.front() == L'@')
        face.erase(0, 1);
    return CreateFontW(-pointsToPixels(design.points, dpi), 0, 0, 0, design.weight, design.italic,
                       design.underline, design.strikeOut, static_cast<DWORD>(design.charset),
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       face.c_str());
}

DWORD windowStyle(const WindowDescription& description)
{
    if (!hasTitleBar(description))
        return WS_POPUP | WS_DLGFRAME;
    if (description.border == WindowBorder::Sizable)
        return WS_OVERLAPPEDWINDOW;
    DWORD style = WS_POPUP | WS_CAPTION | WS_DLGFRAME;
    if (description.controlBox)
        style |= WS_SYSMENU;
    if (description.minButton)
        style |= WS_MINIMIZEBOX;
    if (description.maxButton)
        style |= WS_MAXIMIZEBOX;
    return style;
}

DWORD windowExStyle(const WindowDescription& description)
{
    return hasTitleBar(description) && description.border == WindowBorder::FixedDialog ? WS_EX_DLGMODALFRAME
                                                                                       : 0;
}

// Where a control goes in its window's client area at a resolution; a
// control inside a frame is placed relative to the frame.
RECT controlPlace(const WindowDescription& description, const ControlDescription& control, int dpi)
{
    TwipsRect rect = control.rect;
    if (const ControlDescription* container = description.find(control.container)) {
        rect.left += container->rect.left;
        rect.top += container->rect.top;
    }
    const int left = twipsToPixels(rect.left, dpi);
    const int top = twipsToPixels(rect.top, dpi);
    return {left, top, left + twipsToPixels(rect.width, dpi), top + twipsToPixels(rect.height, dpi)};
}

// A self-sizing label takes the size of its text, keeping the edge its
// alignment names.
void fitToText(HWND handle, const ControlDescription& control)
{
    const int length = GetWindowTextLengthW(handle);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle, text.data(), length + 1)));
    const HDC dc = GetDC(handle);
    const auto old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(handle, dc);
    RECT rect{};
    GetWindowRect(handle, &rect);
    MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&rect), 2);
    const PixelRect after = autoSizedRect(
        control, {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}, size.cx, size.cy);
    MoveWindow(handle, after.left, after.top, after.width, after.height, TRUE);
}

} // namespace

struct Win32Runtime::Window
{
    Form* form = nullptr;
    HWND top = nullptr;
    std::map<HWND, const ControlDescription*> byHandle;
    std::map<const ControlDescription*, HWND> handles;
    std::vector<HFONT> fonts;
    HFONT windowFont = nullptr;
    HBRUSH background = nullptr; // the window's own colour, when it has one
    int dpi = 96;                // the resolution it is laid out at
    bool shownBefore = false;
    HWND lastFocus = nullptr;

    ~Window()
    {
        for (HFONT font : fonts)
            DeleteObject(font);
        if (background)
            DeleteObject(background);
    }
};

Win32Runtime::Win32Runtime(std::string applicationTitle, HINSTANCE instance)
    : Runtime(std::move(applicationTitle)), m_instance(instance)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    // Owned windows get no taskbar entry; this owner is never shown.
    m_owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    const HDC screen = GetDC(nullptr);
    m_dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
}

Win32Runtime::~Win32Runtime()
{
    for (auto& [form, window] : m_windows)
        DestroyWindow(window->top);
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

int Win32Runtime::run()
{
    MSG message{};
    while (!m_quit && GetMessageW(&message, nullptr, 0, 0) > 0)
        if (!preview(message))
            dispatch(message);
    return m_exitCode;
}

void Win32Runtime::processPendingMessages()
{
    MSG message{};
    while (!m_quit && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
        if (message.message != WM_QUIT && !preview(message))
            dispatch(message);
}

HWND Win32Runtime::window(const Form& form) const
{
    const auto it = m_windows.find(&form);
    return it == m_windows.end() ? nullptr : it->second->top;
}

int Win32Runtime::dpi(const Form& form) const
{
    const auto it = m_windows.find(&form);
    return it == m_windows.end() ? m_dpi : it->second->dpi;
}

HWND Win32Runtime::control(const Form& form, std::string_view name, int index) const
{
    const auto it = m_windows.find(&form);
    const ControlDescription* description = form.description().find(name, index);
    if (it == m_windows.end() || !description)
        return nullptr;
    const auto handle = it->second->handles.find(description);
    return handle == it->second->handles.end() ? nullptr : handle->second;
}

// Keys before the dialog manager sees them: a character typed into a window
// with key preview, and Alt with a letter under the run-time's access-key rule.
bool Win32Runtime::preview(const MSG& message)
{
    if (message.message != WM_CHAR && message.message != WM_SYSCHAR && message.message != WM_KEYDOWN)
        return false;
    const HWND root = GetAncestor(message.hwnd, GA_ROOT);
    Window* window = windowOf(root);
    if (!window)
        return false;
    const bool keyPreview = window->form->description().keyPreview;
    if (message.message == WM_KEYDOWN) {
        // A window with key preview gets every character, Enter, Escape and
        // Tab included, which the dialog manager would otherwise take.
        if (!keyPreview)
            return false;
        TranslateMessage(&message);
        DispatchMessageW(&message);
        return true;
    }
    const auto unit = static_cast<char32_t>(message.wParam);
    if (message.message == WM_CHAR && keyPreview) {
        // A character beyond the basic plane comes as two halves.
        if (unit >= 0xD800 && unit < 0xDC00) {
            m_highSurrogate = unit;
            return true;
        }
        char32_t character = unit;
        if (unit >= 0xDC00 && unit < 0xE000 && m_highSurrogate) {
            character = 0x10000 + ((m_highSurrogate - 0xD800) << 10) + (unit - 0xDC00);
            m_highSurrogate = 0;
        }
        window->form->keyPress(character);
        return true;
    }
    if (message.message == WM_SYSCHAR) {
        // Alt with a letter: the run-time's access-key rule, never the dialog
        // manager's, which would press the first of two buttons sharing it.
        const ControlDescription* focused = nullptr;
        if (const auto it = window->byHandle.find(GetFocus()); it != window->byHandle.end())
            focused = it->second;
        const AccessKeyAction action =
            accessKeyAction(window->form->description(), unit, focused ? focused->name : std::string_view());
        if (!action.control)
            return false;
        const HWND control = window->handles.at(action.control);
        SetFocus(control);
        if (action.press)
            SendMessageW(control, BM_CLICK, 0, 0);
        return true;
    }
    return false;
}

Win32Runtime::Window& Win32Runtime::windowOf(const Form& form) const
{
    const auto it = m_windows.find(&form);
    if (it == m_windows.end())
        throw Error("Das Fenster " + std::string(form.description().name) + " ist nicht geladen.");
    return *it->second;
}

Win32Runtime::Window* Win32Runtime::windowOf(HWND handle) const
{
    for (const auto& [form, window] : m_windows)
        if (window->top == handle)
            return window.get();
    return nullptr;
}

HWND Win32Runtime::controlOf(const Form& form, const ControlDescription& control) const
{
    return windowOf(form).handles.at(&control);
}

void Win32Runtime::createWindow(Form& form)
{
    const WindowDescription& description = form.description();
    auto window = std::make_unique<Window>();
    window->form = &form;
    const DWORD style = windowStyle(description);
    const DWORD exStyle = windowExStyle(description);
    window->dpi = m_dpi;
    RECT frame{0, 0, twipsToPixels(description.clientWidth, window->dpi),
               twipsToPixels(description.clientHeight, window->dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const HWND owner = description.showInTaskbar ? nullptr : m_owner;
    window->top = CreateWindowExW(exStyle, kWindowClass, toWide(description.caption).c_str(), style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, owner, nullptr, m_instance, nullptr);
    if (!window->top)
        throw Error("Das Fenster " + std::string(description.name) + " lässt sich nicht anlegen.");
    SetWindowLongPtrW(window->top, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (!description.icon.empty() && hasTitleBar(description)) {
        // The title bar's small icon and the large one of task switching.
        SendMessageW(window->top, WM_SETICON, ICON_SMALL,
                     reinterpret_cast<LPARAM>(
                         loadPicture(m_instance, description.icon, GetSystemMetrics(SM_CXSMICON))));
        SendMessageW(
            window->top, WM_SETICON, ICON_BIG,
            reinterpret_cast<LPARAM>(loadPicture(m_instance, description.icon, GetSystemMetrics(SM_CXICON))));
    }
    window->windowFont = makeFont(description.font, window->dpi);
    window->fonts.push_back(window->windowFont);
    if (description.backColour)
        window->background = CreateSolidBrush(toColorRef(*description.backColour));
    Window& created = *window;
    m_windows.emplace(&form, std::move(window));

    // Created in tab order, so that Tab and the option groups follow it,
    // each text box right after the label that names it (screen readers take
    // a text box's name from the label before it); the other controls last.
    std::vector<const ControlDescription*> order;
    for (const ControlDescription* control : tabOrder(description)) {
        if (control->kind == ControlKind::TextBox)
            if (const ControlDescription* label = labelOf(description, *control))
                order.push_back(label);
        order.push_back(control);
    }
    for (const ControlDescription& control : description.controls)
        if (std::find(order.begin(), order.end(), &control) == order.end())
            order.push_back(&control);
    for (std::size_t i = 0; i < order.size(); ++i)
        createControl(created, *order[i], static_cast<int>(i));
    if (const auto first = tabOrder(description); !first.empty())
        created.lastFocus = created.handles.at(first.front());
}

void Win32Runtime::createControl(Window& window, const ControlDescription& control, int order)
{
    const WindowDescription& description = window.form->description();
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    std::wstring text = toWide(control.text);
    switch (control.kind) {
    case ControlKind::Label:
        // A label whose size follows its text never wraps; the others wrap at word boundaries.
        style |= SS_NOTIFY | (control.alignment == Alignment::Right    ? SS_RIGHT
                              : control.alignment == Alignment::Centre ? SS_CENTER
                              : control.autoSize                       ? SS_LEFTNOWORDWRAP
                                                                       : SS_LEFT);
        break;
    case ControlKind::Frame:
        className = L"BUTTON";
        style |= BS_GROUPBOX;
        break;
    case ControlKind::OptionButton: {
        className = L"BUTTON";
        style |= BS_AUTORADIOBUTTON | BS_MULTILINE | WS_TABSTOP;
        // An option group begins at the first option of each frame.
        const auto& controls = description.controls;
        const auto first =
            std::find_if(controls.begin(), controls.end(), [&](const ControlDescription& other) {
                return other.kind == ControlKind::OptionButton && other.container == control.container &&
                       other.tabIndex < control.tabIndex;
            });
        if (first == controls.end())
            style |= WS_GROUP;
        break;
    }
    case ControlKind::TextBox:
        className = L"EDIT";
        style |=
            WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | (control.alignment == Alignment::Centre ? ES_CENTER : 0);
        exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::CommandButton:
        className = L"BUTTON";
        style |= WS_TABSTOP | WS_GROUP | (control.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    case ControlKind::Image:
    case ControlKind::PictureBox:
        // An image stretches its picture; a picture box takes the picture's size.
        style |= SS_NOTIFY | SS_ICON | (control.kind == ControlKind::Image ? SS_REALSIZECONTROL : 0) |
                 (takesFocus(control.kind) ? WS_TABSTOP | WS_GROUP : 0);
        if (control.sunken)
            exStyle |= WS_EX_CLIENTEDGE;
        text.clear();
        break;
    case ControlKind::Line:
        style |= SS_NOTIFY;
        text.clear();
        break;
    }
    const RECT place = controlPlace(description, control, window.dpi);
    const HWND handle = CreateWindowExW(
        exStyle, className, text.c_str(), style, place.left, place.top, place.right - place.left,
        place.bottom - place.top, window.top,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + order)), m_instance, nullptr);
    if (!handle)
        throw Error(std::string(control.name) + " lässt sich nicht anlegen.");
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(window, control)), FALSE);
    if (control.kind == ControlKind::Image || control.kind == ControlKind::PictureBox) {
        SendMessageW(handle, STM_SETICON,
                     reinterpret_cast<WPARAM>(loadPicture(m_instance, control.picture, 32)), 0);
    }
    window.byHandle[handle] = &control;
    window.handles[&control] = handle;
}

HFONT Win32Runtime::fontFor(Window& window, const ControlDescription& control)
{
    if (!control.font)
        return window.windowFont;
    const HFONT font = makeFont(*control.font, window.dpi);
    window.fonts.push_back(font);
    return font;
}

void Win32Runtime::changeResolution(Window& window, int dpi, const RECT& suggested)
{
    const WindowDescription& description = window.form->description();
    window.dpi = dpi;
    // Fonts at the new resolution; the old ones go once no control uses them.
    const std::vector<HFONT> old = std::exchange(window.fonts, {});
    window.windowFont = makeFont(description.font, dpi);
    window.fonts.push_back(window.windowFont);
    for (const auto& [control, handle] : window.handles) {
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(window, *control)), FALSE);
        const RECT place = controlPlace(description, *control, dpi);
        MoveWindow(handle, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
        if (control->kind == ControlKind::Label && control->autoSize)
            fitToText(handle, *control);
    }
    for (HFONT font : old)
        DeleteObject(font);
    SetWindowPos(window.top, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window.top, nullptr, TRUE);
}

void Win32Runtime::destroyWindow(Form& form)
{
    const auto it = m_windows.find(&form);
    if (it == m_windows.end())
        return;
    const HWND top = it->second->top;
    m_windows.erase(it);
    DestroyWindow(top);
    releaseUnloaded();
}

void Win32Runtime::endProcess(int exitCode)
{
    for (auto& [form, window] : m_windows)
        ShowWindow(window->top, SW_HIDE);
    m_exitCode = exitCode;
    m_quit = true;
    PostQuitMessage(exitCode);
}

void Win32Runtime::show(Form& form)
{
    Window& window = windowOf(form);
    if (!window.shownBefore) {
        window.shownBefore = true;
        const WindowDescription& description = form.description();
        RECT client{};
        GetClientRect(window.top, &client);
        RECT outer{};
        GetWindowRect(window.top, &outer);
        POINT origin{0, 0};
        ClientToScreen(window.top, &origin);
        const FrameMargins frame{origin.x - outer.left, origin.y - outer.top,
                                 outer.right - origin.x - client.right,
                                 outer.bottom - origin.y - client.bottom};
        const RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        const PixelPoint position =
            firstShowClientPosition(description, client.right, client.bottom, frame,
                                    {work.left, work.top, work.right - work.left, work.bottom - work.top},
                                    static_cast<double>(window.dpi) / 1440.0);
        SetWindowPos(window.top, nullptr, position.x - frame.left, position.y - frame.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(window.top, SW_SHOW);
    SetForegroundWindow(window.top);
    SetActiveWindow(window.top);
    if (window.lastFocus)
        SetFocus(window.lastFocus);
}

void Win32Runtime::hide(Form& form)
{
    ShowWindow(windowOf(form).top, SW_HIDE);
}

void Win32Runtime::messageBox(std::string_view text)
{
    const HWND active = GetActiveWindow();
    const HWND focus = GetFocus();
    MessageBoxW(active, toWide(text).c_str(), toWide(applicationTitle()).c_str(), MB_OK | MB_TASKMODAL);
    if (active && IsWindow(active)) {
        SetActiveWindow(active);
        if (focus && IsWindow(focus))
            SetFocus(focus);
    }
}

std::string Win32Runtime::decimalSeparator() const
{
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1)
        return ".";
    return toUtf8(separator);
}

bool Win32Runtime::readSelected(const Form& form, const ControlDescription& control) const
{
    return SendMessageW(controlOf(form, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Runtime::writeCaption(Form& form, const ControlDescription& control, std::string_view text)
{
    const HWND handle = controlOf(form, control);
    SetWindowTextW(handle, toWide(text).c_str());
    if (control.kind == ControlKind::Label && control.autoSize)
        fitToText(handle, control);
}

void Win32Runtime::writeText(Form& form, const ControlDescription& control, std::string_view text)
{
    SetWindowTextW(controlOf(form, control), toWide(text).c_str());
}

void Win32Runtime::writeWindowCaption(Form& form, std::string_view text)
{
    SetWindowTextW(windowOf(form).top, toWide(text).c_str());
}

LRESULT CALLBACK Win32Runtime::windowProcedure(HWND handle, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* runtime = reinterpret_cast<Win32Runtime*>(GetWindowLongPtrW(handle, GWLP_USERDATA));
    if (runtime)
        if (Window* window = runtime->windowOf(handle))
            return runtime->handle(*window, message, wParam, lParam);
    return DefWindowProcW(handle, message, wParam, lParam);
}

LRESULT Win32Runtime::handle(Window& window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Form& form = *window.form;
    const WindowDescription& description = form.description();
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const auto sender = reinterpret_cast<HWND>(lParam);
        const ControlDescription* control = nullptr;
        if (const auto it = window.byHandle.find(sender); it != window.byHandle.end())
            control = it->second;
        if (id == IDOK || id == IDCANCEL) {
            // Enter and Escape from the dialog manager.
            const KeyStroke key{.key = id == IDOK ? KeyStroke::Key::Return : KeyStroke::Key::Escape};
            const auto focused = window.byHandle.find(GetFocus());
            control =
                buttonForKey(description, key,
                             focused == window.byHandle.end() ? std::string_view() : focused->second->name);
        }
        if (control && control->kind == ControlKind::CommandButton &&
            (HIWORD(wParam) == BN_CLICKED || id == IDOK || id == IDCANCEL))
            form.click(control->name);
        return 0;
    }
    case DM_GETDEFID: {
        // The dialog manager asks which button Enter presses; the run-time's rule answers.
        const auto focused = window.byHandle.find(GetFocus());
        const ControlDescription* button = defaultButton(
            description, focused == window.byHandle.end() ? std::string_view() : focused->second->name);
        if (!button)
            return 0;
        return MAKELRESULT(GetDlgCtrlID(window.handles.at(button)), DC_HASDEFID);
    }
    case WM_LBUTTONUP: {
        // A click on the window's surface: on a frame's empty surface, it is the frame's.
        const POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        for (const ControlDescription& control : description.controls) {
            if (control.kind != ControlKind::Frame)
                continue;
            RECT rect{};
            GetWindowRect(window.handles.at(&control), &rect);
            MapWindowPoints(nullptr, window.top, reinterpret_cast<POINT*>(&rect), 2);
            if (PtInRect(&rect, point))
                form.click(control.name);
        }
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: {
        const auto dc = reinterpret_cast<HDC>(wParam);
        const auto it = window.byHandle.find(reinterpret_cast<HWND>(lParam));
        const ControlDescription* control = it == window.byHandle.end() ? nullptr : it->second;
        if (control && control->foreColour)
            SetTextColor(dc, toColorRef(*control->foreColour));
        if (control && control->kind == ControlKind::Line && control->backColour) {
            SetDCBrushColor(dc, toColorRef(*control->backColour));
            return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
        }
        const int colour = message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
        SetBkColor(dc, GetSysColor(colour));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(colour));
    }
    case WM_ERASEBKGND:
        if (window.background) {
            RECT rect{};
            GetClientRect(window.top, &rect);
            FillRect(reinterpret_cast<HDC>(wParam), &rect, window.background);
            return 1;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE)
            window.lastFocus = GetFocus();
        else if (window.lastFocus && IsWindow(window.lastFocus))
            SetFocus(window.lastFocus);
        return 0;
    case WM_CLOSE:
        closeRequested(form);
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
