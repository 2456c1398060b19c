// SPDX-License-Identifier: MIT
// Reads what Gradolux's windows show through the Win32 API, for the
// end-to-end tests under Wine; never through a hook inside Gradolux.
//   win_reader text TITLE      the text of the window's text box (R)
//   win_reader labels TITLE    the texts of its labels, one a line
//   win_reader checked TITLE   the captions of its checked option buttons
//   win_reader controls TITLE  every control, one a line: class (lower case),
//                              left, top, width, height in the window's client
//                              area, and text, separated by |
//   win_reader frame TITLE     the window's kind of frame: the styles that
//                              decide its title bar, border and buttons, whether
//                              it has an owner (no taskbar entry)
//   win_reader place TITLE     the window's client area on the screen: left,
//                              top, width, height, separated by |
//   win_reader focus           class and text of the focused control
//   win_reader names TITLE     what a screen reader reads through MSAA
//                              (oleacc): the window's name, then each
//                              control's role and name, one a line, |-separated
//   win_reader listen SECONDS  for that long, the name of every object that
//                              raises EVENT_OBJECT_LIVEREGIONCHANGED, one a line,
//                              as a screen reader's event hook receives them
// Exit code 1 when there is no such window.

#include "win32_text.h"

#include <windows.h>

// The interface identifiers are defined here: Wine's oleacc answers only to
// IID_IAccessible's true value, which MinGW's import library lacks.
#include <initguid.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

namespace {

using forms::toUtf8;
using forms::toWide;

// WM_GETTEXT works across processes, GetWindowText does not for edit controls.
std::wstring textOf(HWND window)
{
    const auto length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::wstring classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

std::vector<HWND> children(HWND parent)
{
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring lowerCase(std::wstring text)
{
    for (wchar_t& c : text)
        c = towlower(c);
    return text;
}

// Where a control lies within its window's client area, in pixels.
std::wstring placeOf(HWND control, HWND window)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    return std::to_wstring(rect.left) + L"|" + std::to_wstring(rect.top) + L"|" +
           std::to_wstring(rect.right - rect.left) + L"|" + std::to_wstring(rect.bottom - rect.top);
}

std::wstring frameOf(HWND window)
{
    const auto style = static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE));
    struct Flag
    {
        bool set;
        const wchar_t* name;
    };
    const Flag flags[] = {
        {(style & WS_CAPTION) == WS_CAPTION, L"caption"},
        {(style & WS_CAPTION) == WS_DLGFRAME, L"dlgframe"},
        {(style & WS_CAPTION) == WS_BORDER, L"border"},
        {(style & WS_THICKFRAME) != 0, L"thickframe"},
        {(style & WS_SYSMENU) != 0, L"sysmenu"},
        {(style & WS_MINIMIZEBOX) != 0, L"minimizebox"},
        {(style & WS_MAXIMIZEBOX) != 0, L"maximizebox"},
        {(exStyle & WS_EX_DLGMODALFRAME) != 0, L"dlgmodalframe"},
        {(exStyle & WS_EX_TOOLWINDOW) != 0, L"toolwindow"},
        {(exStyle & WS_EX_APPWINDOW) != 0, L"appwindow"},
        {GetWindow(window, GW_OWNER) != nullptr, L"owned"},
    };
    std::wstring text;
    for (const Flag& flag : flags) {
        if (flag.set)
            text += (text.empty() ? L"" : L" ") + std::wstring(flag.name);
    }
    return text;
}

void print(const std::wstring& line)
{
    std::printf("%s\n", toUtf8(line).c_str());
    std::fflush(stdout);
}

// The MSAA name of an accessible object, as a screen reader asks for it.
std::wstring nameOf(IAccessible* object, VARIANT child)
{
    BSTR name = nullptr;
    std::wstring text;
    if (SUCCEEDED(object->get_accName(child, &name)) && name)
        text = name;
    SysFreeString(name);
    return text;
}

std::wstring accessibleName(HWND window, std::wstring* role = nullptr)
{
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))) ||
        !object)
        return L"";
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    const std::wstring name = nameOf(object, self);
    if (role) {
        VARIANT value{};
        wchar_t text[64] = {};
        if (SUCCEEDED(object->get_accRole(self, &value)) && value.vt == VT_I4)
            GetRoleTextW(static_cast<DWORD>(value.lVal), text, 64);
        *role = text;
    }
    object->Release();
    return name;
}

void CALLBACK liveRegionChanged(HWINEVENTHOOK /*hook*/, DWORD /*event*/, HWND window, LONG object, LONG child,
                                DWORD /*thread*/, DWORD /*time*/)
{
    IAccessible* accessible = nullptr;
    VARIANT which{};
    if (FAILED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child),
                                         &accessible, &which)) ||
        !accessible)
        return;
    print(classOf(window) + L"|" + nameOf(accessible, which));
    accessible->Release();
}

int listen(int seconds)
{
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_LIVEREGIONCHANGED, EVENT_OBJECT_LIVEREGIONCHANGED,
                                               nullptr, liveRegionChanged, 0, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook)
        return 1;
    print(L"listening");
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    MSG message{};
    while (GetTickCount64() < end) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&message);
    }
    UnhookWinEvent(hook);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    CoInitialize(nullptr);
    if (argc == 3 && std::string(argv[1]) == "listen")
        return listen(std::atoi(argv[2]));
    if (argc == 2 && std::string(argv[1]) == "focus") {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        if (!GetGUIThreadInfo(0, &info) || !info.hwndFocus)
            return 1;
        print(classOf(info.hwndFocus) + L"|" + textOf(info.hwndFocus));
        return 0;
    }
    if (argc != 3)
        return 2;
    const std::string what = argv[1];
    const HWND window = FindWindowW(L"GradoluxWindow", toWide(argv[2]).c_str());
    if (!window)
        return 1;
    if (what == "frame") {
        print(frameOf(window));
        return 0;
    }
    if (what == "names") {
        print(accessibleName(window));
        for (HWND child : children(window)) {
            std::wstring role;
            const std::wstring name = accessibleName(child, &role);
            print(role + L"|" + name);
        }
        return 0;
    }
    if (what == "place") {
        RECT client{};
        GetClientRect(window, &client);
        MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
        print(std::to_wstring(client.left) + L"|" + std::to_wstring(client.top) + L"|" +
              std::to_wstring(client.right - client.left) + L"|" +
              std::to_wstring(client.bottom - client.top));
        return 0;
    }
    for (HWND child : children(window)) {
        const std::wstring type = classOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (what == "controls")
            print(lowerCase(type) + L"|" + placeOf(child, window) + L"|" + textOf(child));
        else if (what == "text" && _wcsicmp(type.c_str(), L"Edit") == 0)
            print(textOf(child));
        else if (what == "labels" && _wcsicmp(type.c_str(), L"Static") == 0 &&
                 (style & SS_TYPEMASK) != SS_ICON && (style & SS_TYPEMASK) != SS_OWNERDRAW)
            print(textOf(child));
        else if (what == "checked" && _wcsicmp(type.c_str(), L"Button") == 0 &&
                 (style & BS_TYPEMASK) == BS_AUTORADIOBUTTON &&
                 SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED)
            print(textOf(child));
    }
    return 0;
}
