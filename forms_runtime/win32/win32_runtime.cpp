// SPDX-License-Identifier: MIT
#include "win32_runtime.h"

#include "keyboard.h"
#include "placement.h"
#include "system_colours.h"
#include "units.h"
#include "win32_text.h"
#include "window_rules.h"

// The identifiers of oleacc's annotation service are defined here.
#include <initguid.h>
#include <oleacc.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace forms {
namespace {

constexpr wchar_t kWindowClass[] = L"GradoluxWindow";
// Control ids start above IDOK (1) and IDCANCEL (2), which the dialog
// manager sends for Enter and Escape.
constexpr int kFirstControlId = 100;
// The timer of idle turns: the system sends its message only when no other
// message waits, no input and no window to paint.
constexpr UINT_PTR kIdleTimer = 1;
// The pictures the windows name, by their icon resources in the executable,
// with the size they have at 96 dpi.
struct PictureResource
{
    PictureId picture;
    int resourceId;
    int size;
};
constexpr PictureResource kPictures[] = {{"application-icon", 1, 32}};

// The icon resource of a picture the descriptions name; an unknown name is
// an error of the program, reported like any other.
const PictureResource& pictureResource(PictureId picture)
{
    for (const PictureResource& known : kPictures)
        if (known.picture == picture)
            return known;
    throw unknownPicture(picture);
}

// A function of a system library that older versions of Windows (or Wine)
// may lack, looked up when it is first needed; nullptr where it is missing.
template <class Function> Function* systemFunction(const wchar_t* library, const char* name)
{
    HMODULE module = GetModuleHandleW(library);
    if (!module)
        module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const FARPROC found = module ? GetProcAddress(module, name) : nullptr;
    return found ? std::bit_cast<Function*>(found) : nullptr;
}

// A system metric (an icon's size, a border's width) at a resolution.
int metricAt(int index, int dpi, int systemDpi)
{
    using ForDpi = int WINAPI(int, UINT);
    static auto* const forDpi = systemFunction<ForDpi>(L"user32.dll", "GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, static_cast<UINT>(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, systemDpi);
}

// A stored colour as GDI takes it: a system colour reference resolves
// through the system's colours now (a contrast theme included), an RGB value
// is taken as it is.
// The run-time's system colour indexes are the system's own numbers.
static_assert(sys::ScrollBar == COLOR_SCROLLBAR && sys::Window == COLOR_WINDOW &&
              sys::WindowText == COLOR_WINDOWTEXT && sys::Highlight == COLOR_HIGHLIGHT &&
              sys::HighlightText == COLOR_HIGHLIGHTTEXT && sys::ButtonFace == COLOR_BTNFACE &&
              sys::ButtonShadow == COLOR_BTNSHADOW && sys::GrayText == COLOR_GRAYTEXT &&
              sys::ButtonText == COLOR_BTNTEXT && sys::ButtonHighlight == COLOR_BTNHIGHLIGHT &&
              sys::DarkShadow == COLOR_3DDKSHADOW && sys::Light == COLOR_3DLIGHT &&
              sys::InfoText == COLOR_INFOTEXT && sys::InfoBackground == COLOR_INFOBK);

COLORREF toColorRef(StoredColour colour)
{
    if (colour & 0x80000000u)
        return GetSysColor(static_cast<int>(colour & 0xFFu));
    const Rgb rgb = resolveColour(colour);
    return RGB(rgb.red, rgb.green, rgb.blue);
}

// Gives a window's accessible object a description through oleacc's
// annotations (Windows XP and later), as a screen reader reads it with the
// window's name. Nothing where the service is missing (Wine has no
// annotations).
void describeForScreenReaders(HWND window, const std::wstring& text)
{
    using Initialize = HRESULT WINAPI(void*, DWORD);
    using Create = HRESULT WINAPI(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    static auto* const initialize = systemFunction<Initialize>(L"ole32.dll", "CoInitializeEx");
    static auto* const create = systemFunction<Create>(L"ole32.dll", "CoCreateInstance");
    if (!initialize || !create || FAILED(initialize(nullptr, COINIT_APARTMENTTHREADED)))
        return;
    IAccPropServices* services = nullptr;
    if (FAILED(create(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                      reinterpret_cast<void**>(&services))) ||
        !services)
        return;
    services->SetHwndPropStr(window, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, PROPID_ACC_DESCRIPTION,
                             text.c_str());
    services->Release();
}

// Whether the user has turned on a contrast theme.
bool systemHighContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

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

// One loaded window: what the back end keeps besides the run-time's registry
// of its native window and controls, the GDI objects it owns among them. The
// fonts and icons are released only after the window and its controls are
// gone (destroyWindow), never while a control still uses them.
struct Win32Runtime::Window
{
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window()
    {
        for (HFONT font : fonts)
            DeleteObject(font);
        for (const auto& [size, icon] : icons)
            DestroyIcon(icon);
    }

    // The picture at a size, made once per size for this window.
    HICON icon(HINSTANCE instance, PictureId picture, int width, int height)
    {
        HICON& made = icons[{std::string(picture), width, height}];
        if (!made)
            made =
                static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(pictureResource(picture).resourceId),
                                              IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
        return made;
    }

    Form* form = nullptr;
    HWND top = nullptr;
    std::vector<HFONT> fonts;
    HFONT windowFont = nullptr;
    std::map<std::tuple<std::string, int, int>, HICON> icons;
    int dpi = 96;           // the resolution it is laid out at
    bool releasing = false; // the window lets the mouse go after a release
};

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
    setContrastQuery(systemHighContrast);
    // The first idle turn comes once the first window is painted.
    SetTimer(m_owner, kIdleTimer, USER_TIMER_MINIMUM, nullptr);
}

void Win32Runtime::setContrastQuery(std::function<bool()> query)
{
    m_contrastQuery = std::move(query);
    refreshContrast();
}

void Win32Runtime::refreshContrast()
{
    m_highContrast = m_contrastQuery();
    for (const auto& [form, window] : m_windows)
        InvalidateRect(window->top, nullptr, TRUE);
}

COLORREF Win32Runtime::paint(StoredColour colour, ColourUse use) const
{
    return toColorRef(m_highContrast ? contrastColour(colour, use) : colour);
}

// Destroys the windows still there (the run ended) before their fonts and
// icons go with the map.
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
    const ControlDescription* description = form.description().find(name, index);
    return description ? static_cast<HWND>(nativeControl(form, *description)) : nullptr;
}

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

// The back end's record of a loaded window; a window that is not loaded is
// an error of the run-time's caller, reported in German.
Win32Runtime::Window& Win32Runtime::windowOf(const Form& form) const
{
    const auto it = m_windows.find(&form);
    if (it == m_windows.end())
        throw notLoaded(form.description());
    return *it->second;
}

// The record of the window a top-level handle belongs to, through the
// registry; nullptr for a window of the system's (a message box).
Win32Runtime::Window* Win32Runtime::windowOf(HWND handle) const
{
    const Form* form = formOf(handle);
    const auto it = form ? m_windows.find(form) : m_windows.end();
    return it == m_windows.end() ? nullptr : it->second.get();
}

HWND Win32Runtime::handleOf(const Form& form, const ControlDescription& control) const
{
    return static_cast<HWND>(nativeControl(form, control));
}

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
    registerWindow(form, window->top);
    // The description waits for an idle turn: loading the component
    // libraries it needs takes 15 to 25 ms, which the window's first
    // appearance would otherwise wait for.
    if (const std::string_view described = accessibleDescription(description); !described.empty()) {
        m_undescribed.emplace_back(window->top, toWide(described));
        SetTimer(m_owner, kIdleTimer, USER_TIMER_MINIMUM, nullptr);
    }
    window->windowFont = makeFont(description.font, window->dpi);
    window->fonts.push_back(window->windowFont);
    Window& created = *window;
    m_windows.emplace(&form, std::move(window));
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
        // A label whose size follows its text never wraps; the others wrap at word boundaries.
        native.style |= SS_NOTIFY | (control.alignment == Alignment::Right    ? SS_RIGHT
                                     : control.alignment == Alignment::Centre ? SS_CENTER
                                     : control.autoSize                       ? SS_LEFTNOWORDWRAP
                                                                              : SS_LEFT);
        break;
    case ControlKind::Frame:
        native.className = L"BUTTON";
        native.style |= BS_GROUPBOX;
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
        const HWND handle = handleOf(*window.form, control);
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

// Destroying the top-level window destroys its controls with it.
void Win32Runtime::destroyWindow(Form& form)
{
    const auto it = m_windows.find(&form);
    if (it == m_windows.end())
        return;
    // The window and its controls go first, then the fonts and icons they used.
    DestroyWindow(it->second->top);
    m_windows.erase(it);
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
    const HWND handle = handleOf(form, control);
    RECT rect{};
    GetWindowRect(handle, &rect);
    MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Runtime::placeControl(Form& form, const ControlDescription& control, const PixelRect& rect)
{
    MoveWindow(handleOf(form, control), rect.left, rect.top, rect.width, rect.height, TRUE);
}

// The text as the control shows it, measured in the control's own font.
PixelSize Win32Runtime::textSize(const Form& form, const ControlDescription& control)
{
    const HWND handle = handleOf(form, control);
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
    SetFocus(handleOf(form, control));
}

void Win32Runtime::pressControl(Form& form, const ControlDescription& control)
{
    // As a click would: a button reports it, an option button is chosen.
    SendMessageW(handleOf(form, control), BM_CLICK, 0, 0);
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

// The system's message box. The run-time has disabled every window of the
// program; without an owner, the box disables the thread's windows itself.
void Win32Runtime::runMessageBox(std::string_view text, std::string_view title, Form* owner)
{
    const HWND top = owner ? windowOf(*owner).top : nullptr;
    MessageBoxW(top, toWide(text).c_str(), toWide(title).c_str(),
                MB_OK | (top ? MB_APPLMODAL : MB_TASKMODAL));
}

// A disabled window takes no click or key, and its frame does not close it;
// its controls keep their look.
void Win32Runtime::blockInput(Form& form, bool blocked)
{
    EnableWindow(windowOf(form).top, blocked ? FALSE : TRUE);
}

namespace {

// The UI Automation functions that announcements use (Windows 10 1709 and
// later), looked up once; null where the system lacks them. Loading their
// library takes a millisecond or more, so the back end looks them up in its
// first idle turn (idleTurn), not when the first announcement is due.
struct UiAutomation
{
    using HostProvider = HRESULT WINAPI(HWND, IUnknown**);
    using Raise = HRESULT WINAPI(IUnknown*, int, int, BSTR, BSTR);
    using Allocate = BSTR WINAPI(const OLECHAR*);
    using Free = void WINAPI(BSTR);
    HostProvider* hostProvider =
        systemFunction<HostProvider>(L"uiautomationcore.dll", "UiaHostProviderFromHwnd");
    Raise* raise = systemFunction<Raise>(L"uiautomationcore.dll", "UiaRaiseNotificationEvent");
    Allocate* allocate = systemFunction<Allocate>(L"oleaut32.dll", "SysAllocString");
    Free* freeString = systemFunction<Free>(L"oleaut32.dll", "SysFreeString");
};

const UiAutomation& uiAutomation()
{
    static const UiAutomation functions;
    return functions;
}

// Hands a status message to the screen readers that listen to UI
// Automation (Windows 10 1709 and later). False where the system lacks it.
bool raiseNotification(HWND control, const std::wstring& text)
{
    const UiAutomation& automation = uiAutomation();
    if (!automation.hostProvider || !automation.raise || !automation.allocate || !automation.freeString)
        return false;
    IUnknown* provider = nullptr;
    if (FAILED(automation.hostProvider(control, &provider)) || !provider)
        return false;
    const BSTR display = automation.allocate(text.c_str());
    const BSTR activity = automation.allocate(L"Gradolux.Status");
    constexpr int kActionCompleted = 2; // NotificationKind_ActionCompleted
    constexpr int kMostRecent = 3;      // NotificationProcessing_MostRecent: polite, the latest wins
    const bool raised =
        display && activity &&
        SUCCEEDED(automation.raise(provider, kActionCompleted, kMostRecent, display, activity));
    automation.freeString(display);
    automation.freeString(activity);
    provider->Release();
    return raised;
}

} // namespace

void Win32Runtime::announceStatus(Form& form, const ControlDescription& control, std::string_view text)
{
    const HWND handle = handleOf(form, control);
    if (raiseNotification(handle, toWide(text)))
        return;
    // Without UI Automation's notifications, screen readers read the
    // control again as a live region whose content changed.
    NotifyWinEvent(EVENT_OBJECT_LIVEREGIONCHANGED, handle, OBJID_CLIENT, CHILDID_SELF);
}

void Win32Runtime::whenIdle(std::function<void()> step)
{
    m_idleSteps.push_back(std::move(step));
    SetTimer(m_owner, kIdleTimer, USER_TIMER_MINIMUM, nullptr);
}

// One idle turn: screen readers learn the descriptions of the windows built
// since the last, announcements' functions are looked up (once); then the
// next step waiting for a turn runs, and another turn is asked for while
// more wait.
void Win32Runtime::idleTurn()
{
    KillTimer(m_owner, kIdleTimer);
    for (const auto& [window, text] : std::exchange(m_undescribed, {})) {
        if (!IsWindow(window))
            continue;
        describeForScreenReaders(window, text);
        // A screen reader that has read the window already reads it again.
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, window, OBJID_CLIENT, CHILDID_SELF);
    }
    uiAutomation();
    if (m_idleSteps.empty())
        return;
    const std::function<void()> step = std::move(m_idleSteps.front());
    m_idleSteps.pop_front();
    if (!m_idleSteps.empty())
        SetTimer(m_owner, kIdleTimer, USER_TIMER_MINIMUM, nullptr);
    step();
}

// The user's decimal separator from the user's locale settings, whole
// whatever its length; a point where the setting cannot be read.
std::string Win32Runtime::localeDecimalSeparator() const
{
    wchar_t separator[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8) <= 1)
        return ".";
    return toUtf8(separator);
}

// Texts and states through the controls' own messages; every text is UTF-16.
bool Win32Runtime::readSelected(const Form& form, const ControlDescription& control) const
{
    return SendMessageW(handleOf(form, control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32Runtime::writeCaption(Form& form, const ControlDescription& control, std::string_view text)
{
    SetWindowTextW(handleOf(form, control), toWide(text).c_str());
}

void Win32Runtime::writeText(Form& form, const ControlDescription& control, std::string_view text)
{
    SetWindowTextW(handleOf(form, control), toWide(text).c_str());
}

void Win32Runtime::writeWindowCaption(Form& form, std::string_view text)
{
    SetWindowTextW(windowOf(form).top, toWide(text).c_str());
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
        const HWND handle = handleOf(*window.form, control);
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

// The colours a control paints with, asked by the control before it paints:
// its text colour and, for a line, its own colour; the surface is the
// dialog face (a text box's the window colour).
LRESULT Win32Runtime::controlColour(Window& window, UINT message, HDC dc, HWND handle) const
{
    const ControlDescription* control = controlOf(*window.form, handle);
    const bool box = message == WM_CTLCOLOREDIT;
    if (control && control->foreColour)
        SetTextColor(dc, paint(*control->foreColour, box ? ColourUse::TextInBox : ColourUse::Text));
    if (control && control->kind == ControlKind::Line && control->backColour) {
        SetDCBrushColor(dc, paint(*control->backColour, ColourUse::Line));
        return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    const int colour = box ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(colour));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(colour));
}

// Draws an image or a picture box, which are owner-drawn statics, at the
// window's resolution from the icon's own images.
void Win32Runtime::drawPicture(Window& window, const DRAWITEMSTRUCT& item)
{
    const ControlDescription* described = controlOf(*window.form, item.hwndItem);
    if (!described)
        return;
    const ControlDescription& control = *described;
    const RECT& area = item.rcItem;
    FillRect(item.hDC, &area, GetSysColorBrush(COLOR_BTNFACE));
    // An image stretches its picture over its rectangle; a picture box shows
    // it at its own size, scaled with the window.
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (control.kind == ControlKind::PictureBox)
        width = height = MulDiv(pictureResource(control.picture).size, window.dpi, kReferenceDpi);
    DrawIconEx(item.hDC, area.left, area.top, window.icon(m_instance, control.picture, width, height), width,
               height, 0, nullptr, DI_NORMAL);
}

// The dialog manager asks which button shows the default border and takes
// Enter; the run-time's rule answers.
LRESULT Win32Runtime::defaultButtonId(Window& window) const
{
    const ControlDescription* focused = controlOf(*window.form, GetFocus());
    const ControlDescription* button =
        defaultButton(window.form->description(), focused ? focused->name : std::string_view());
    return button ? MAKELRESULT(GetDlgCtrlID(handleOf(*window.form, *button)), DC_HASDEFID) : 0;
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
        return controlColour(window, message, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DRAWITEM:
        drawPicture(window, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_ERASEBKGND:
        if (const auto& colour = window.form->description().backColour) {
            RECT rect{};
            GetClientRect(window.top, &rect);
            auto* const dc = reinterpret_cast<HDC>(wParam);
            SetDCBrushColor(dc, paint(*colour, ColourUse::Surface));
            FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
            return 1;
        }
        break;
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
