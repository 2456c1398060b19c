// SPDX-License-Identifier: MIT
// The Windows content floor for the benchmark: Gradolux.exe's splash and
// calculator as a plain Win32 program shows them — the same texts, fonts
// (faces, pixel heights, weights), geometry, picture and colours, read from
// the same window descriptions — and nothing of the forms run-time: no
// rules, no registry, no key preview, no screen-reader announcements. A
// character key on the first window opens the calculator; its calculate
// button clears the verdict, evaluates the chosen options and shows R and
// the verdict, as the calculator does.

#include "application_properties.h"
#include "risk_evaluator.h"
#include "units.h"
#include "window_descriptions.h"

#include <windows.h>

#include <map>
#include <string>

namespace {

constexpr wchar_t kSplashClass[] = L"ContentFloorSplash";
constexpr wchar_t kCalculatorClass[] = L"ContentFloorCalculator";
constexpr int kFirstId = 100;

std::wstring wide(std::string_view utf8)
{
    std::wstring text(utf8.size(), L'\0');
    text.resize(static_cast<std::size_t>(MultiByteToWideChar(
        CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string utf8(const wchar_t* text)
{
    std::string bytes(32, '\0');
    bytes.resize(
        static_cast<std::size_t>(WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(),
                                                     static_cast<int>(bytes.size()), nullptr, nullptr) -
                                 1));
    return bytes;
}

HFONT font(const forms::FontSpec& design)
{
    const std::string_view face = design.face.starts_with('@') ? design.face.substr(1) : design.face;
    return CreateFontW(-forms::fontPixels(design.points), 0, 0, 0, design.weight, FALSE, FALSE, FALSE,
                       DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, wide(face).c_str());
}

// A top-level window whose client area has the description's size, centred on the screen.
HWND topLevel(const wchar_t* windowClass, const forms::WindowDescription& description, DWORD style,
              DWORD exStyle)
{
    RECT frame{0, 0, forms::twipsToPixels(description.clientWidth),
               forms::twipsToPixels(description.clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    return CreateWindowExW(exStyle, windowClass, wide(description.caption).c_str(), style,
                           (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
                           (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Every control of a description as a native control of `window`, by name; a
// control inside a frame is placed relative to the frame.
std::map<std::string_view, HWND> buildControls(HWND window, const forms::WindowDescription& description)
{
    std::map<std::string_view, HWND> controls;
    bool groupStarted[3] = {false, false, false};
    int id = kFirstId;
    const HFONT windowFont = font(description.font);
    for (const forms::ControlDescription& control : description.controls) {
        const wchar_t* className = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        std::wstring text = wide(control.text);
        const DWORD aligned = control.alignment == forms::Alignment::Right    ? SS_RIGHT
                              : control.alignment == forms::Alignment::Centre ? SS_CENTER
                                                                              : SS_LEFT;
        switch (control.kind) {
        case forms::ControlKind::Label:
            style |= control.autoSize && aligned == SS_LEFT ? SS_LEFTNOWORDWRAP : aligned;
            break;
        case forms::ControlKind::Frame:
            className = L"BUTTON";
            style |= BS_GROUPBOX;
            break;
        case forms::ControlKind::OptionButton: {
            className = L"BUTTON";
            style |= BS_AUTORADIOBUTTON | BS_MULTILINE;
            bool& started = groupStarted[control.container.back() - '1'];
            if (!started)
                style |= WS_GROUP | WS_TABSTOP;
            started = true;
            break;
        }
        case forms::ControlKind::TextBox:
            className = L"EDIT";
            style |= WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL | ES_CENTER;
            exStyle |= WS_EX_CLIENTEDGE;
            break;
        case forms::ControlKind::CommandButton:
            className = L"BUTTON";
            style |= WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
            break;
        case forms::ControlKind::Image:
        case forms::ControlKind::PictureBox:
            style |= SS_ICON | SS_REALSIZECONTROL;
            text = L"#1";
            break;
        case forms::ControlKind::Line:
            break;
        }
        forms::TwipsRect rect = control.rect;
        if (const forms::ControlDescription* container = description.find(control.container)) {
            rect.left += container->rect.left;
            rect.top += container->rect.top;
        }
        const HWND handle = CreateWindowExW(
            exStyle, className, text.c_str(), style, forms::twipsToPixels(rect.left),
            forms::twipsToPixels(rect.top), forms::twipsToPixels(rect.width),
            forms::twipsToPixels(rect.height), window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id++)),
            GetModuleHandleW(nullptr), nullptr);
        SendMessageW(handle, WM_SETFONT,
                     reinterpret_cast<WPARAM>(control.font ? font(*control.font) : windowFont), FALSE);
        controls[control.name] = handle;
    }
    return controls;
}

// A label that follows its text takes its size; a right-aligned one keeps its right edge.
void fitToText(HWND label, const forms::ControlDescription& control)
{
    wchar_t text[256] = {};
    const int length = GetWindowTextW(label, text, 256);
    const HDC dc = GetDC(label);
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text, length, &size);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    RECT rect{};
    GetWindowRect(label, &rect);
    MapWindowPoints(nullptr, GetParent(label), reinterpret_cast<POINT*>(&rect), 2);
    const int left = control.alignment == forms::Alignment::Right ? rect.right - size.cx : rect.left;
    MoveWindow(label, left, rect.top, size.cx, size.cy, FALSE);
}

struct Calculator
{
    HWND window = nullptr;
    std::map<std::string_view, HWND> controls;
    risk::RiskFactors factors;

    void calculate()
    {
        SetWindowTextW(controls.at("Label2"), L"");
        risk::Selection selection{};
        for (std::size_t i = 0; i < selection.size(); ++i)
            selection[i] =
                SendMessageW(controls.at("Option" + std::to_string(i + 1)), BM_GETCHECK, 0, 0) == BST_CHECKED;
        wchar_t separator[8] = L".";
        GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
        const risk::RiskResult result = risk::RiskEvaluator::evaluate(factors, selection, utf8(separator));
        SetWindowTextW(controls.at("Text1"), wide(result.text).c_str());
        SetWindowTextW(controls.at("Label2"), wide(result.verdict).c_str());
    }
};

Calculator g_calculator;

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
        if (!g_calculator.window) {
            g_calculator.window =
                topLevel(kCalculatorClass, resources::form1Description(), WS_OVERLAPPEDWINDOW, 0);
            g_calculator.controls = buildControls(g_calculator.window, resources::form1Description());
            ShowWindow(g_calculator.window, SW_SHOW);
            SetFocus(g_calculator.controls.at("Command1"));
            ShowWindow(window, SW_HIDE);
        }
        return 0;
    case WM_COMMAND:
        if (g_calculator.window && reinterpret_cast<HWND>(lParam) == g_calculator.controls.at("Command1"))
            g_calculator.calculate();
        else if (g_calculator.window &&
                 reinterpret_cast<HWND>(lParam) == g_calculator.controls.at("Command2"))
            PostQuitMessage(0);
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (g_calculator.window && (reinterpret_cast<HWND>(lParam) == g_calculator.controls.at("Label2") ||
                                    reinterpret_cast<HWND>(lParam) == g_calculator.controls.at("Text1"))) {
            const int surface = message == WM_CTLCOLOREDIT ? COLOR_WINDOW : COLOR_BTNFACE;
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(surface));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(surface));
        }
        break;
    case WM_CLOSE:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass(const wchar_t* name, int background)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(background);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

} // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    registerClass(kSplashClass, COLOR_BTNFACE);
    registerClass(kCalculatorClass, COLOR_SCROLLBAR);

    const forms::WindowDescription& splash = resources::splashDescription();
    const HWND first = topLevel(kSplashClass, splash, WS_POPUP | WS_DLGFRAME, 0);
    const auto controls = buildControls(first, splash);
    SetWindowTextW(controls.at("lblVersion"), wide(resources::versionText()).c_str());
    SetWindowTextW(controls.at("lblProductName"), wide(resources::kApplication.title).c_str());
    for (const forms::ControlDescription& control : splash.controls)
        if (control.kind == forms::ControlKind::Label && control.autoSize)
            fitToText(controls.at(control.name), control);
    ShowWindow(first, SW_SHOW);
    SetForegroundWindow(first);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (g_calculator.window && IsDialogMessageW(g_calculator.window, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
