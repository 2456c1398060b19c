// SPDX-License-Identifier: MIT
// Building the windows: each description becomes a top-level window with
// BUTTON, STATIC and EDIT controls, at the resolution of the screen it
// appears on, and is laid out anew when it moves to another resolution.
#include "units.h"
#include "win32_runtime.h"
#include "win32_text.h"
#include "win32_window.h"
#include "window_rules.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace forms {
namespace win32 {
namespace {

constexpr PictureResource kPictures[] = {{"application-icon", 1, 32}};

} // namespace

const PictureResource* findPicture(PictureId picture)
{
    for (const PictureResource& known : kPictures)
        if (known.picture == picture)
            return &known;
    return nullptr;
}

const PictureResource& pictureResource(PictureId picture)
{
    if (const PictureResource* known = findPicture(picture))
        return *known;
    throw unknownPicture(picture);
}

int metricAt(int index, int dpi, int systemDpi)
{
    using ForDpi = int WINAPI(int, UINT);
    static auto* const forDpi = systemFunction<ForDpi>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, systemDpi);
}

} // namespace win32

bool Win32Runtime::hasPicture(PictureId picture) const
{
    return win32::findPicture(picture) != nullptr;
}

using win32::kFirstControlId;
using win32::kIdleTimer;
using win32::kWindowClass;
using win32::metricAt;
using win32::pictureResource;
using win32::systemFunction;

namespace {

// A font of the design at a resolution: the face as the run-time shows it,
// the height scaled with the geometry (fontPixels), the character set of the
// design. The caller owns it.
HFONT makeFont(const FontSpec& design, int dpi)
{
    const std::wstring face = toWide(shownFace(design.face));
    return CreateFontW(-fontPixels(design.points, dpi), 0, 0, 0, design.weight, design.italic,
                       design.underline, design.strikeOut, static_cast<DWORD>(design.charset),
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       face.c_str());
}

// The window styles that give a description's frame: a bare box with a
// dialog border, the sizable window with every title-bar button, or a fixed
// dialog frame with only the buttons the description names.
DWORD windowStyle(const WindowDescription& description)
{
    if (windowKind(description) == WindowKind::Splash)
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

// A fixed dialog frame with a title bar has the dialog's modal frame, as the
// platform draws dialog boxes.
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

} // namespace

int Win32Runtime::screenDpi(const WindowDescription& description) const
{
    // A centred window appears on the primary screen, a window at a fixed
    // place on the screen that holds that place.
    POINT where{0, 0};
    if (description.startPosition == StartPosition::Manual)
        where = {twipsToPixels(description.left, m_dpi), twipsToPixels(description.top, m_dpi)};
    using ForMonitor = HRESULT WINAPI(HMONITOR, int, UINT*, UINT*);
    static auto* const forMonitor = systemFunction<ForMonitor>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI
    if (forMonitor &&
        SUCCEEDED(forMonitor(MonitorFromPoint(where, MONITOR_DEFAULTTOPRIMARY), kEffectiveDpi, &x, &y)) &&
        y > 0)
        return static_cast<int>(y);
    return m_dpi;
}

// Builds the top-level window at its screen's resolution, invisible, with
// its description's frame, icon and font, then every control; registers
// them all with the run-time.
void Win32Runtime::createWindow(Form& form)
{
    const WindowDescription& description = form.description();
    auto window = std::make_unique<Window>();
    window->form = &form;
    const DWORD style = windowStyle(description);
    const DWORD exStyle = windowExStyle(description);
    window->dpi = screenDpi(description);
    RECT frame{0, 0, twipsToPixels(description.clientWidth, window->dpi),
               twipsToPixels(description.clientHeight, window->dpi)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    // Only a main window has a taskbar entry: the others belong to the hidden owner.
    const HWND owner = windowKind(description) == WindowKind::Main ? nullptr : m_owner;
    // A window without a caption shows no title bar; its text is only the
    // name a screen reader gives it.
    window->top = CreateWindowExW(exStyle, kWindowClass,
                                  toWide(accessibleName(description, applicationTitle())).c_str(), style,
                                  CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                  frame.bottom - frame.top, owner, nullptr, m_instance, nullptr);
    if (!window->top)
        throw notBuilt(description);
    SetWindowLongPtrW(window->top, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Window& created = *window;
    registerWindow(form, created.top, std::move(window));
    // The description waits for an idle turn: loading the component
    // libraries it needs takes 15 to 25 ms, which the window's first
    // appearance would otherwise wait for.
    if (const std::string_view described = accessibleDescription(description); !described.empty()) {
        m_undescribed.emplace_back(created.top, toWide(described));
        SetTimer(m_owner, kIdleTimer, USER_TIMER_MINIMUM, nullptr);
    }
    created.windowFont = makeFont(description.font, created.dpi);
    created.fonts.push_back(created.windowFont);
    setWindowIcons(created);

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
}

void Win32Runtime::setWindowIcons(Window& window)
{
    const WindowDescription& description = window.form->description();
    if (description.icon.empty() || !hasTitleBar(description))
        return;
    // The title bar's small icon and the large one of task switching, drawn
    // at the window's resolution.
    const int small = metricAt(SM_CXSMICON, window.dpi, m_dpi);
    const int large = metricAt(SM_CXICON, window.dpi, m_dpi);
    SendMessageW(window.top, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(window.icon(m_instance, description.icon, small, small)));
    SendMessageW(window.top, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(window.icon(m_instance, description.icon, large, large)));
}

namespace {

// The class and styles of the native control that shows a control of the description.
struct NativeControl
{
    const wchar_t* className = L"STATIC";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    std::wstring text;
};

NativeControl nativeControlFor(const WindowDescription& description, const ControlDescription& control)
{
    NativeControl native{.text = toWide(control.text)};
    switch (control.kind) {
    case ControlKind::Label:
        // A label that does not wrap is one whose size follows its text: the
        // run-time fits it to its text on one line, so a right or centred one
        // (the system has no such style without wrapping) has nothing to wrap.
        native.style |= SS_NOTIFY | SS_NOPREFIX |
                        (control.alignment == Alignment::Right    ? SS_RIGHT
                         : control.alignment == Alignment::Centre ? SS_CENTER
                         : wrapsText(control)                     ? SS_LEFT
                                                                  : SS_LEFTNOWORDWRAP);
        break;
    case ControlKind::Frame:
        // A group box takes "&" for an access key's mark; a frame has none.
        native.className = L"BUTTON";
        native.style |= BS_GROUPBOX;
        native.text = shownAsIs(std::move(native.text));
        break;
    case ControlKind::OptionButton:
        // The leader starts its group and is its one Tab stop until an option
        // is chosen; from then on the button control keeps the Tab stop on
        // the chosen option.
        native.className = L"BUTTON";
        native.style |= BS_AUTORADIOBUTTON | BS_MULTILINE;
        if (leadsOptionGroup(description, control))
            native.style |= WS_GROUP | (isTabStop(control) ? WS_TABSTOP : 0);
        break;
    case ControlKind::TextBox:
        native.className = L"EDIT";
        native.style |= (isTabStop(control) ? WS_TABSTOP : 0) | WS_GROUP | ES_AUTOHSCROLL |
                        (control.alignment == Alignment::Right    ? ES_RIGHT
                         : control.alignment == Alignment::Centre ? ES_CENTER
                                                                  : ES_LEFT);
        native.exStyle |= WS_EX_CLIENTEDGE;
        break;
    case ControlKind::CommandButton:
        native.className = L"BUTTON";
        native.style |= (isTabStop(control) ? WS_TABSTOP : 0) | WS_GROUP |
                        (control.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        break;
    case ControlKind::Image:
    case ControlKind::PictureBox:
        // Pictures are drawn by the window at its resolution. The text is
        // never shown; it is the name screen readers give the picture.
        native.style |= SS_NOTIFY | SS_OWNERDRAW | (isTabStop(control) ? WS_TABSTOP | WS_GROUP : 0);
        if (control.sunken)
            native.exStyle |= WS_EX_CLIENTEDGE;
        native.text = toWide(control.accessibleName);
        break;
    case ControlKind::Line:
        native.style |= SS_NOTIFY;
        native.text.clear();
        break;
    }
    return native;
}

} // namespace

// One native control at its place for the window's resolution, with its
// font; the control id is its place in the creation order (the dialog
// manager's Tab order), above IDOK and IDCANCEL.
void Win32Runtime::createControl(Window& window, const ControlDescription& control, int order)
{
    const WindowDescription& description = window.form->description();
    const NativeControl native = nativeControlFor(description, control);
    const RECT place = controlPlace(description, control, window.dpi);
    const HWND handle = CreateWindowExW(
        native.exStyle, native.className, native.text.c_str(), native.style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, window.top,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + order)), m_instance, nullptr);
    if (!handle)
        throw notBuilt(control);
    registerControl(*window.form, control, handle);
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(window, control)), FALSE);
    if (control.kind == ControlKind::PictureBox && control.autoSize)
        sizePictureBox(window, handle, control);
}

void Win32Runtime::sizePictureBox(Window& window, HWND handle, const ControlDescription& control) const
{
    const int picture = MulDiv(pictureResource(control.picture).size, window.dpi, kReferenceDpi);
    const int border = control.sunken ? 2 * metricAt(SM_CXEDGE, window.dpi, m_dpi) : 0;
    SetWindowPos(handle, nullptr, 0, 0, picture + border, picture + border,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HFONT Win32Runtime::fontFor(Window& window, const ControlDescription& control)
{
    if (!control.font)
        return window.windowFont;
    const HFONT font = makeFont(*control.font, window.dpi);
    window.fonts.push_back(font);
    return font;
}

// Lays a window out anew at another resolution: fonts, every control's place,
// picture boxes, self-sizing labels (the run-time's rule), title-bar icons,
// then the window in the place and size the system suggests.
void Win32Runtime::changeResolution(Window& window, int dpi, const RECT& suggested)
{
    const WindowDescription& description = window.form->description();
    window.dpi = dpi;
    // Fonts at the new resolution; the old ones go once no control uses them.
    const std::vector<HFONT> old = std::exchange(window.fonts, {});
    window.windowFont = makeFont(description.font, dpi);
    window.fonts.push_back(window.windowFont);
    for (const ControlDescription& control : description.controls) {
        const HWND handle = nativeControl(*window.form, control);
        SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(fontFor(window, control)), FALSE);
        const RECT place = controlPlace(description, control, dpi);
        MoveWindow(handle, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
        if (control.kind == ControlKind::PictureBox && control.autoSize)
            sizePictureBox(window, handle, control);
    }
    fitSelfSizingLabels(*window.form);
    for (HFONT font : old)
        DeleteObject(font);
    setWindowIcons(window);
    SetWindowPos(window.top, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window.top, nullptr, TRUE);
}

// Destroying the top-level window destroys its controls with it; the fonts
// and icons they used go after, with the record the registry releases.
void Win32Runtime::destroyWindow(Form& form)
{
    if (const Window* window = static_cast<Window*>(windowRecord(form)))
        DestroyWindow(window->top);
}

} // namespace forms
