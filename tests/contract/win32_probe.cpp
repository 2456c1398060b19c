// SPDX-License-Identifier: MIT
// The contract test's probe for the Win32 back end: controls read back
// through the Win32 API, clicks and keys given as messages the way the
// system gives them. Runs under Wine in the Windows lane.

#include "backend_probe.h"
#include "units.h"
#include "win32_runtime.h"
#include "win32_text.h"

#include <gtest/gtest.h>
#include <windows.h>

// The interface identifiers are defined here: Wine's oleacc answers only to
// IID_IAccessible's true value, which MinGW's import library lacks.
#include <initguid.h>
#include <oleacc.h>

#include <cstdio>
#include <functional>
#include <string>
#include <utility>

namespace {

using forms::toUtf8;

std::wstring windowText(HWND handle)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(handle)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(handle, text.data(), static_cast<int>(text.size()))));
    return text;
}

class Win32Probe final : public BackendProbe
{
public:
    Win32Probe() : m_runtime("Gradolux", GetModuleHandleW(nullptr))
    {
        // The quit message of a run that ended before is not this run's end.
        MSG quit{};
        while (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        }
    }
    ~Win32Probe() override
    {
        if (m_boxWatch)
            KillTimer(nullptr, m_boxWatch);
        if (m_listener)
            UnhookWinEvent(m_listener);
        s_during = nullptr;
    }
    Win32Probe(const Win32Probe&) = delete;
    Win32Probe& operator=(const Win32Probe&) = delete;

    forms::Runtime& runtime() override { return m_runtime; }
    int dpi() const override { return m_dpi ? m_dpi : m_runtime.dpi(); }
    std::vector<int> exitCodes() const override
    {
        // The message loop ends on the quit message, which carries the code.
        MSG quit{};
        if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            return {static_cast<int>(quit.wParam)};
        return {};
    }

    forms::PixelRect controlRect(const forms::Form& form, std::string_view name, int index) override
    {
        const HWND handle = m_runtime.controlNamed(form, name, index);
        if (!handle)
            return {};
        RECT rect{};
        GetWindowRect(handle, &rect);
        MapWindowPoints(nullptr, m_runtime.window(form), reinterpret_cast<POINT*>(&rect), 2);
        // A control inside a frame is placed relative to the frame.
        const forms::ControlDescription* control = form.description().find(name, index);
        if (const HWND frame = control && !control->container.empty()
                                   ? m_runtime.controlNamed(form, control->container)
                                   : nullptr) {
            RECT outer{};
            GetWindowRect(frame, &outer);
            MapWindowPoints(nullptr, m_runtime.window(form), reinterpret_cast<POINT*>(&outer), 2);
            OffsetRect(&rect, -outer.left, -outer.top);
        }
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }
    forms::PixelRect clientRect(const forms::Form& form) override
    {
        RECT rect{};
        GetClientRect(m_runtime.window(form), &rect);
        return {0, 0, rect.right, rect.bottom};
    }
    ShownFont font(const forms::Form& form, std::string_view name) override
    {
        LOGFONTW font{};
        const auto handle =
            reinterpret_cast<HFONT>(SendMessageW(m_runtime.controlNamed(form, name), WM_GETFONT, 0, 0));
        GetObjectW(handle, sizeof font, &font);
        return {static_cast<int>(font.lfHeight < 0 ? -font.lfHeight : font.lfHeight),
                static_cast<int>(font.lfWeight)};
    }
    std::string text(const forms::Form& form, std::string_view name) override
    {
        const HWND handle = m_runtime.controlNamed(form, name);
        std::wstring text = windowText(handle);
        wchar_t className[16] = {};
        GetClassNameW(handle, className, 16);
        if (std::wstring(className) == L"Edit" ||
            (std::wstring(className) == L"Static" && (GetWindowLongW(handle, GWL_STYLE) & SS_NOPREFIX)))
            return toUtf8(text);
        // The access key's mark is not shown; "&&" shows one "&".
        std::wstring shown;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'&' && i + 1 < text.size())
                ++i;
            else if (text[i] == L'&')
                continue;
            shown += text[i];
        }
        return toUtf8(shown);
    }
    std::string windowCaption(const forms::Form& form) override
    {
        return toUtf8(windowText(m_runtime.window(form)));
    }
    bool visible(const forms::Form& form) override
    {
        const HWND top = m_runtime.window(form);
        return top && IsWindowVisible(top);
    }
    void click(const forms::Form& form, std::string_view name) override
    {
        // The left button goes down and comes up in the middle of the
        // control, as the system posts a mouse's messages.
        key(form, forms::KeyStroke::Key::Other, "");
        const HWND control = m_runtime.controlNamed(form, name);
        RECT rect{};
        GetClientRect(control, &rect);
        const LPARAM middle = MAKELPARAM(rect.right / 2, rect.bottom / 2);
        PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, middle);
        PostMessageW(control, WM_LBUTTONUP, 0, middle);
        m_runtime.processPendingMessages();
    }
    void space(const forms::Form& form, std::string_view focus) override
    {
        key(form, forms::KeyStroke::Key::Other, focus);
        const HWND target = GetFocus();
        const LPARAM scanCode = MapVirtualKeyW(VK_SPACE, MAPVK_VK_TO_VSC) << 16;
        PostMessageW(target, WM_KEYDOWN, VK_SPACE, 1 | scanCode);
        PostMessageW(target, WM_KEYUP, VK_SPACE, 1 | scanCode | (3L << 30));
        m_runtime.processPendingMessages();
    }
    void key(const forms::Form& form, forms::KeyStroke::Key key, std::string_view focus) override
    {
        // A person types into the window that is active and has the focus;
        // the window manager makes it active in its own time. A focus event
        // of an earlier switch that the X server delivers late can put the
        // window switched from in front again: then the person clicks the
        // window once more, and so does the probe.
        const HWND top = m_runtime.window(form);
        SetForegroundWindow(top);
        if (!waitUntil([top] {
                if (GetActiveWindow() == top)
                    return true;
                if (GetForegroundWindow() != top)
                    SetForegroundWindow(top);
                return false;
            }))
            ADD_FAILURE() << "the window did not become active";
        if (!focus.empty()) {
            const HWND wanted = m_runtime.controlNamed(form, focus);
            SetFocus(wanted);
            if (!waitUntil([wanted] { return GetFocus() == wanted; }))
                ADD_FAILURE() << "the focus did not move to " << focus;
        }
        if (key == forms::KeyStroke::Key::Other)
            return;
        WPARAM virtualKey = VK_RETURN;
        LPARAM extended = 0;
        switch (key) {
        case forms::KeyStroke::Key::Enter:
            extended = 1L << 24; // the keypad's Enter is the extended Return
            break;
        case forms::KeyStroke::Key::Escape:
            virtualKey = VK_ESCAPE;
            break;
        case forms::KeyStroke::Key::Delete:
            virtualKey = VK_DELETE;
            break;
        case forms::KeyStroke::Key::Up:
            virtualKey = VK_UP;
            break;
        case forms::KeyStroke::Key::Down:
            virtualKey = VK_DOWN;
            break;
        case forms::KeyStroke::Key::Left:
            virtualKey = VK_LEFT;
            break;
        case forms::KeyStroke::Key::Right:
            virtualKey = VK_RIGHT;
            break;
        default:
            break;
        }
        const HWND target = GetFocus() ? GetFocus() : top;
        PostMessageW(target, WM_KEYDOWN, virtualKey, 1 | extended);
        PostMessageW(target, WM_KEYUP, virtualKey, 1 | extended | (3L << 30));
        m_runtime.processPendingMessages();
    }

    void mouseAt(const forms::Form& form, int leftTwips, int topTwips, bool down) override
    {
        // The mouse's message goes to the window under the point, as the
        // system finds it (a frame lets it through to the window beneath).
        const HWND top = m_runtime.window(form);
        const int dpi = m_runtime.dpi(form);
        POINT point{forms::twipsToPixels(leftTwips, dpi), forms::twipsToPixels(topTwips, dpi)};
        ClientToScreen(top, &point);
        const HWND target = WindowFromPoint(point);
        ScreenToClient(target, &point);
        PostMessageW(target, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0,
                     MAKELPARAM(point.x, point.y));
        m_runtime.processPendingMessages();
    }
    void typeText(const forms::Form& form, std::u32string_view text) override
    {
        key(form, forms::KeyStroke::Key::Other, "");
        const HWND target = GetFocus() ? GetFocus() : m_runtime.window(form);
        for (const char32_t character : text) {
            // Beyond the basic plane, a character comes in two halves.
            if (character >= 0x10000) {
                PostMessageW(target, WM_CHAR, 0xD800 + ((character - 0x10000) >> 10), 1);
                PostMessageW(target, WM_CHAR, 0xDC00 + ((character - 0x10000) & 0x3FF), 1);
            } else {
                PostMessageW(target, WM_CHAR, character, 1);
            }
        }
        m_runtime.processPendingMessages();
    }
    void closeFrame(const forms::Form& form) override
    {
        PostMessageW(m_runtime.window(form), WM_SYSCOMMAND, SC_CLOSE, 0);
        m_runtime.processPendingMessages();
    }
    forms::PixelRect outerRect(const forms::Form& form) override
    {
        RECT rect{};
        GetWindowRect(m_runtime.window(form), &rect);
        return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
    }
    forms::PixelRect screenRect() override
    {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    forms::PixelPoint clientOrigin(const forms::Form& form) override
    {
        POINT origin{0, 0};
        ClientToScreen(m_runtime.window(form), &origin);
        return {origin.x, origin.y};
    }
    bool hasTitleBar(const forms::Form& form) override
    {
        return (GetWindowLongW(m_runtime.window(form), GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    }
    bool hasTaskbarEntry(const forms::Form& form) override
    {
        // The taskbar lists a window without owner that is no tool window,
        // and any window that asks for an entry.
        const HWND top = m_runtime.window(form);
        const LONG exStyle = GetWindowLongW(top, GWL_EXSTYLE);
        return (exStyle & WS_EX_APPWINDOW) || (!(exStyle & WS_EX_TOOLWINDOW) && !GetWindow(top, GW_OWNER));
    }
    void typeLetter(const forms::Form& form, char32_t letter, bool alt, std::string_view focus) override
    {
        key(form, forms::KeyStroke::Key::Other, focus);
        // What the system's translation of the key makes of it.
        PostMessageW(GetFocus(), alt ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(letter), alt ? 1L << 29 : 1);
        m_runtime.processPendingMessages();
    }
    void tab(const forms::Form& /*form*/) override
    {
        PostMessageW(GetFocus(), WM_KEYDOWN, VK_TAB, 1);
        PostMessageW(GetFocus(), WM_KEYUP, VK_TAB, 1 | (3L << 30));
        m_runtime.processPendingMessages();
    }
    void backTab(const forms::Form& form) override
    {
        // The dialog manager reads Shift from the keyboard state, as it is
        // while the message is handled.
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        const BYTE shift = keys[VK_SHIFT];
        keys[VK_SHIFT] = 0x80;
        SetKeyboardState(keys);
        tab(form);
        keys[VK_SHIFT] = shift;
        SetKeyboardState(keys);
    }
    std::string focused(const forms::Form& form) override
    {
        const HWND focus = GetFocus();
        for (const forms::ControlDescription& control : form.description().controls)
            if (focus && m_runtime.controlNamed(form, control.name, control.index) == focus)
                return std::string(control.name);
        return {};
    }
    bool active(const forms::Form& form) override
    {
        const HWND top = m_runtime.window(form);
        return waitUntil([top] { return GetActiveWindow() == top; });
    }
    bool takesInput(const forms::Form& form) override { return IsWindowEnabled(m_runtime.window(form)); }
    std::function<bool()> watchNativeWindow(const forms::Form& form) override
    {
        const HWND top = m_runtime.window(form);
        return [top] { return IsWindow(top) != FALSE; };
    }
    std::string accessibleName(const forms::Form& form, std::string_view control) override
    {
        const HWND handle = control.empty() ? m_runtime.window(form) : m_runtime.controlNamed(form, control);
        IAccessible* object = nullptr;
        if (FAILED(AccessibleObjectFromWindow(handle, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                              reinterpret_cast<void**>(&object))) ||
            !object)
            return {};
        VARIANT self{};
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR name = nullptr;
        std::string text;
        if (SUCCEEDED(object->get_accName(self, &name)) && name)
            text = toUtf8(name);
        SysFreeString(name);
        object->Release();
        return text;
    }
    void listenForAnnouncements() override
    {
        s_heard.clear();
        if (!m_listener)
            m_listener =
                SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr,
                                liveRegionChanged, GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    }
    std::vector<std::string> heardAnnouncements() override
    {
        // The hook's calls come with the thread's messages.
        m_runtime.processPendingMessages();
        return s_heard;
    }
    std::string userNumber() override
    {
        wchar_t number[32] = {};
        GetNumberFormatW(LOCALE_USER_DEFAULT, 0, L"1.5", nullptr, number, 32);
        return toUtf8(number);
    }
    void duringNextMessageBox(std::function<void()> during) override
    {
        // The box runs a message loop of its own, which calls the timer.
        s_during = std::move(during);
        m_boxWatch = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
            HWND box = nullptr;
            EnumThreadWindows(
                GetCurrentThreadId(),
                [](HWND window, LPARAM found) {
                    wchar_t name[16] = {};
                    GetClassNameW(window, name, 16);
                    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window))
                        return TRUE;
                    *reinterpret_cast<HWND*>(found) = window;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&box));
            if (!box)
                return;
            KillTimer(nullptr, timer);
            if (s_during)
                std::exchange(s_during, nullptr)();
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
    }
    TextMeasure measureText(const forms::Form& form, std::string_view name) override
    {
        const HWND handle = m_runtime.controlNamed(form, name);
        std::wstring text = windowText(handle);
        RECT room{};
        GetClientRect(handle, &room);
        wchar_t className[16] = {};
        GetClassNameW(handle, className, 16);
        const LONG style = GetWindowLongW(handle, GWL_STYLE);
        const int dpi = m_runtime.dpi(form);
        // An option's caption stands beside its mark: 12 pixels and one at
        // 96 dpi, scaled, and 4 pixels apart.
        if (std::wstring(className) == L"Button" && (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
            room.left += 12 * dpi / 96 + 1 + 4;
        const HDC dc = GetDC(handle);
        const auto old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(handle, WM_GETFONT, 0, 0)));
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        RECT one{0, 0, 0, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &one, DT_CALCRECT | DT_SINGLELINE);
        RECT wrapped{0, 0, room.right - room.left, 0};
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped, DT_CALCRECT | DT_WORDBREAK);
        SelectObject(dc, old);
        ReleaseDC(handle, dc);
        return {.width = one.right - one.left,
                .lines =
                    text.empty() ? 0 : static_cast<int>((wrapped.bottom - wrapped.top) / metrics.tmHeight),
                .lineHeight = static_cast<int>(metrics.tmHeight),
                .roomWidth = room.right - room.left,
                .roomHeight = room.bottom - room.top};
    }

    bool setHighContrast(bool on) override
    {
        m_runtime.setContrastQuery([on] { return on; });
        return true;
    }
    ShownColours colours(const forms::Form& form, std::string_view name, int index) override
    {
        // The colours the window hands the control when it paints, asked as
        // the control asks: its text colour and the brush it fills with.
        const HWND control = m_runtime.controlNamed(form, name, index);
        wchar_t className[16] = {};
        GetClassNameW(control, className, 16);
        const bool pushButton = std::wstring(className) == L"Button" &&
                                (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
        const UINT message = std::wstring(className) == L"Edit" ? WM_CTLCOLOREDIT
                             : pushButton                       ? WM_CTLCOLORBTN
                                                                : WM_CTLCOLORSTATIC;
        const HDC dc = GetDC(control);
        const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(m_runtime.window(form), message,
                                                                 reinterpret_cast<WPARAM>(dc),
                                                                 reinterpret_cast<LPARAM>(control)));
        ShownColours shown{.surface = 0, .text = GetTextColor(dc)};
        LOGBRUSH fill{};
        if (brush == GetStockObject(DC_BRUSH))
            shown.surface = GetDCBrushColor(dc);
        else if (brush && GetObjectW(brush, sizeof fill, &fill))
            shown.surface = fill.lbColor;
        ReleaseDC(control, dc);
        return shown;
    }

    std::uint32_t systemColourValue(std::uint32_t index) override
    {
        return GetSysColor(static_cast<int>(index));
    }

    bool changeResolution(const forms::Form& form, int dpi) override
    {
        // The system suggests the place and the outer size that keep the
        // client area's size in twips at the new resolution.
        const HWND top = m_runtime.window(form);
        RECT outer{0, 0, forms::twipsToPixels(form.description().clientWidth, dpi),
                   forms::twipsToPixels(form.description().clientHeight, dpi)};
        AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongW(top, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(top, GWL_EXSTYLE)));
        RECT now{};
        GetWindowRect(top, &now);
        RECT suggested{now.left, now.top, now.left + outer.right - outer.left,
                       now.top + outer.bottom - outer.top};
        SendMessageW(top, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        m_runtime.processPendingMessages();
        m_dpi = m_runtime.dpi(form);
        return true;
    }

private:
    // A reader's event hook: the name of the object whose live region changed.
    static void CALLBACK liveRegionChanged(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND window, LONG object,
                                           LONG child, DWORD /*thread*/, DWORD /*time*/)
    {
        IAccessible* accessible = nullptr;
        VARIANT which{};
        if (FAILED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child),
                                             &accessible, &which)) ||
            !accessible)
            return;
        BSTR name = nullptr;
        if (SUCCEEDED(accessible->get_accName(which, &name)) && name)
            s_heard.push_back(toUtf8(name));
        SysFreeString(name);
        accessible->Release();
    }

    // Handles the program's messages until `done` holds, for at most 30 s.
    bool waitUntil(const std::function<bool()>& done)
    {
        const ULONGLONG deadline = GetTickCount64() + 30000;
        while (GetTickCount64() < deadline) {
            m_runtime.processPendingMessages();
            if (done())
                return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return false;
    }

    static inline std::vector<std::string> s_heard; // the announcements a reader received
    HWINEVENTHOOK m_listener = nullptr;
    forms::Win32Runtime m_runtime;
    int m_dpi = 0;           // the resolution after a change, 0 before
    UINT_PTR m_boxWatch = 0; // the timer that waits for the next message box
    static inline std::function<void()> s_during;
};

} // namespace

std::unique_ptr<BackendProbe> makeBackendProbe()
{
    return std::make_unique<Win32Probe>();
}

int main(int argc, char* argv[])
{
    testing::InitGoogleTest(&argc, argv);
    std::printf("the windows are laid out at %d dpi\n", makeBackendProbe()->dpi());
    return RUN_ALL_TESTS();
}
