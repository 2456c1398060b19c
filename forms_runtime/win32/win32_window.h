// SPDX-License-Identifier: MIT
#pragma once

// What the files of the Win32 back end share: the record of a loaded
// window, the pictures of the executable, and the system functions that
// are looked up at run time.

#include "win32_runtime.h"

#include <windows.h>

#include <bit>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace forms::win32 {

constexpr wchar_t kWindowClass[] = L"GradoluxWindow";
// Control ids start above IDOK (1) and IDCANCEL (2), which the dialog
// manager sends for Enter and Escape.
constexpr int kFirstControlId = 100;
// The timer of idle turns: the system sends its message only when no other
// message waits, no input and no window to paint.
constexpr UINT_PTR kIdleTimer = 1;

// The pictures the windows name, by their icon resources in the executable,
// with the size they have at 96 dpi; an unknown name is an error of the
// program, reported like any other.
struct PictureResource
{
    PictureId picture;
    int resourceId;
    int size;
};
const PictureResource* findPicture(PictureId picture); // nullptr for none
const PictureResource& pictureResource(PictureId picture);

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
int metricAt(int index, int dpi, int systemDpi);

// Whether the user has turned on a contrast theme.
bool systemHighContrast();

} // namespace forms::win32

namespace forms {

// One loaded window: the back end's record of it in the run-time's registry,
// beside its native window and controls, with the GDI objects it owns. The
// fonts and icons are released only after the window and its controls are
// gone (destroyWindow), never while a control still uses them.
struct Win32Runtime::Window final : Runtime::WindowRecord
{
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    ~Window() override
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
            made = static_cast<HICON>(LoadImageW(instance,
                                                 MAKEINTRESOURCEW(win32::pictureResource(picture).resourceId),
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

} // namespace forms
