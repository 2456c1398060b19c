// SPDX-License-Identifier: MIT
// The Windows floor for the benchmark: a bare Win32 program with the same
// windows as Gradolux.exe — a borderless first window of the splash's size
// and number of controls; on a character key, a second window of the
// calculator's size and number of controls; a button whose click clears a
// red label, sets a result and then the label's text, as the calculator
// does; the same fonts and texts — and nothing else: no descriptions, no
// run-time, no rules.

#include <windows.h>

namespace {

constexpr wchar_t kClass[] = L"FloorWindow";
constexpr int kCalculate = 100;
constexpr int kQuit = 101;

HWND g_verdict = nullptr;
HWND g_result = nullptr;
HWND g_calculator = nullptr;

HFONT arial(double points, bool bold = false, const wchar_t* face = L"Arial")
{
    return CreateFontW(-static_cast<int>(points * 96 / 72 + 0.5), 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE,
                       FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// A control at x, y with width and height (RECT's right and bottom).
HWND child(HWND parent, const wchar_t* type, const wchar_t* text, DWORD style, RECT r, HFONT font, int id = 0,
           DWORD exStyle = 0)
{
    const HWND handle = CreateWindowExW(
        exStyle, type, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right, r.bottom, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return handle;
}

// A top-level window whose client area has the given size, centred on the screen.
HWND topLevel(const wchar_t* title, DWORD style, int width, int height)
{
    RECT frame{0, 0, width, height};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const int outerWidth = frame.right - frame.left;
    const int outerHeight = frame.bottom - frame.top;
    return CreateWindowExW(0, kClass, title, style, (GetSystemMetrics(SM_CXSCREEN) - outerWidth) / 2,
                           (GetSystemMetrics(SM_CYSCREEN) - outerHeight) / 2, outerWidth, outerHeight,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND makeCalculator()
{
    const HWND window = topLevel(L"Floor calculator", WS_OVERLAPPEDWINDOW, 671, 579);
    const HFONT regular = arial(8.25);
    const HFONT bold = arial(8.25, true);
    const HFONT result = arial(9.75, true);
    const HFONT buttons = arial(8.25, false, L"MS Sans Serif");
    child(window, L"STATIC", L"Bewerten und Beurteilen von Risiken nach der CEL-Methode", SS_CENTER,
          {0, 8, 673, 25}, arial(14.25));
    const RECT frames[] = {{16, 40, 641, 177}, {16, 224, 281, 169}, {304, 224, 353, 169}};
    for (const RECT& frame : frames) {
        child(window, L"BUTTON", L"Skala", BS_GROUPBOX, frame, bold);
        const wchar_t* captions[] = {L"Option 1", L"Option 2", L"Option 3",
                                     L"Option 4", L"Option 5", L"Option 6"};
        for (int i = 0; i < 6; ++i) {
            child(window, L"BUTTON", captions[i], BS_AUTORADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0),
                  {frame.left + 8, frame.top + 24 + 24 * i, 260, 17}, regular);
        }
    }
    child(window, L"STATIC", L"R = A * H * W", SS_CENTER, {16, 408, 281, 25}, arial(15.75, true));
    child(window, L"STATIC", L"Rechnerisches Ergebnis für das Risiko \"R\"", SS_RIGHT, {288, 408, 281, 17},
          result);
    g_result = child(window, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL | ES_CENTER, {576, 400, 73, 25},
                     result, 0, WS_EX_CLIENTEDGE);
    g_verdict = child(window, L"STATIC", L"", SS_CENTER, {16, 448, 641, 57}, result);
    child(window, L"STATIC", L"(c)", SS_CENTER, {56, 520, 177, 17}, regular);
    child(window, L"BUTTON", L"B&erechnen", WS_TABSTOP | BS_DEFPUSHBUTTON, {400, 520, 257, 25}, buttons,
          kCalculate);
    child(window, L"BUTTON", L"Programminfo", WS_TABSTOP, {96, 544, 89, 25}, regular);
    child(window, L"BUTTON", L"Programm Be&enden", WS_TABSTOP, {400, 552, 257, 25}, buttons, kQuit);
    return window;
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
        if (!g_calculator) {
            g_calculator = makeCalculator();
            ShowWindow(g_calculator, SW_SHOW);
            ShowWindow(window, SW_HIDE);
        }
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCalculate) {
            // The same visible steps as the calculator: the verdict cleared,
            // the result set, the verdict set.
            SetWindowTextW(g_verdict, L"");
            SetWindowTextW(g_result, L"0");
            SetWindowTextW(g_verdict, L"Es konnte keine Berechnung erfolgen, da Sie nicht in jedem Feld ein "
                                      L"Optionsfeld ausgewählt haben!");
        } else if (LOWORD(wParam) == kQuit) {
            PostQuitMessage(0);
        }
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == g_verdict) {
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(255, 0, 0));
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
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

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = kClass;
    RegisterClassExW(&windowClass);

    const HWND first = topLevel(L"", WS_POPUP | WS_DLGFRAME, 498, 289);
    const HFONT regular = arial(8.25);
    child(first, L"BUTTON", L"", BS_GROUPBOX, {13, 7, 472, 270}, regular);
    const HFONT fonts[] = {regular,         arial(24, true), arial(18, true), arial(15.75, true),
                           arial(12, true), regular,         regular,         regular,
                           regular};
    for (int i = 0; i < 9; ++i)
        child(first, L"STATIC", L"Zeile", 0, {23, 17 + 28 * i, 300, 20}, fonts[i]);
    ShowWindow(first, SW_SHOW);
    SetForegroundWindow(first);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (g_calculator && IsDialogMessageW(g_calculator, &message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
