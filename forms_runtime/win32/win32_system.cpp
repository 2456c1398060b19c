// SPDX-License-Identifier: MIT
// The system's services: its colours and contrast theme, the pictures drawn
// at a window's resolution, screen readers, the message box and the user's
// locale.
#include "system_colours.h"
#include "units.h"
#include "win32_runtime.h"
#include "win32_text.h"
#include "win32_window.h"

// The identifiers of oleacc's annotation service are defined here.
#include <initguid.h>
#include <oleacc.h>

#include <functional>
#include <string>
#include <utility>

namespace forms {
namespace win32 {

// Whether the user has turned on a contrast theme.
bool systemHighContrast()
{
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

} // namespace win32

using win32::kIdleTimer;
using win32::pictureResource;
using win32::systemFunction;

namespace {

// The run-time's system colour indexes are the system's own numbers.
static_assert(sys::ScrollBar == COLOR_SCROLLBAR && sys::Window == COLOR_WINDOW &&
              sys::WindowText == COLOR_WINDOWTEXT && sys::Highlight == COLOR_HIGHLIGHT &&
              sys::HighlightText == COLOR_HIGHLIGHTTEXT && sys::ButtonFace == COLOR_BTNFACE &&
              sys::ButtonShadow == COLOR_BTNSHADOW && sys::GrayText == COLOR_GRAYTEXT &&
              sys::ButtonText == COLOR_BTNTEXT && sys::ButtonHighlight == COLOR_BTNHIGHLIGHT &&
              sys::DarkShadow == COLOR_3DDKSHADOW && sys::Light == COLOR_3DLIGHT &&
              sys::InfoText == COLOR_INFOTEXT && sys::InfoBackground == COLOR_INFOBK);

// A stored colour as GDI takes it: a system colour reference resolves
// through the system's colours now (a contrast theme included), an RGB value
// is taken as it is.
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

} // namespace

void Win32Runtime::setContrastQuery(std::function<bool()> query)
{
    m_contrastQuery = std::move(query);
    refreshContrast();
}

void Win32Runtime::refreshContrast()
{
    m_highContrast = m_contrastQuery();
    for (const Form* form : loadedForms())
        InvalidateRect(windowOf(*form).top, nullptr, TRUE);
}

// What a control paints with, as the run-time's colour rule gives it under
// the user's theme now.
ControlColours Win32Runtime::coloursOf(const ControlDescription& control) const
{
    return controlColours(control, m_highContrast);
}

COLORREF Win32Runtime::surfaceOf(const Form& form) const
{
    return toColorRef(windowSurface(form.description(), m_highContrast));
}

// The colours a control paints with, asked by the control before it paints:
// its text colour, and its surface as the background and the brush.
LRESULT Win32Runtime::controlColour(Window& window, HDC dc, HWND handle) const
{
    const ControlDescription* control = controlOf(*window.form, handle);
    if (!control)
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    const ControlColours colours = coloursOf(*control);
    const COLORREF surface = toColorRef(colours.surface);
    SetTextColor(dc, toColorRef(colours.text));
    SetBkColor(dc, surface);
    SetDCBrushColor(dc, surface);
    return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
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
    SetDCBrushColor(item.hDC, toColorRef(coloursOf(control).surface));
    FillRect(item.hDC, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    // An image stretches its picture over its rectangle; a picture box shows
    // it at its own size, scaled with the window.
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    if (control.kind == ControlKind::PictureBox)
        width = height = MulDiv(pictureResource(control.picture).size, window.dpi, kReferenceDpi);
    DrawIconEx(item.hDC, area.left, area.top, window.icon(m_instance, control.picture, width, height), width,
               height, 0, nullptr, DI_NORMAL);
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
    const HWND handle = nativeControl(form, control);
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

} // namespace forms
