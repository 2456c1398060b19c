// SPDX-License-Identifier: MIT
// The Windows floor for the benchmark: a bare Win32 program with the same
// windows as Gradolux.exe — a borderless first window of the splash's size
// and number of controls; on a character key, a second window of the
// calculator's size and number of controls; a button whose click sets a red
// label text — and nothing else: no descriptions, no run-time, stock font.

#include <windows.h>

namespace {

constexpr wchar_t kClass[] = L"FloorWindow";
constexpr int kCalculate = 100;
constexpr int kQuit = 101;

HWND g_verdict = nullptr;
HWND g_calculator = nullptr;

// A control at x, y with width and height (RECT's right and bottom).
HWND child(HWND parent, const wchar_t* type, const wchar_t* text, DWORD style, RECT r, int id = 0,
           DWORD exStyle = 0)
{
    const HWND handle = CreateWindowExW(
        exStyle, type, text, WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right, r.bottom, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
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
    child(window, L"STATIC", L"Bewerten und Beurteilen von Risiken", SS_CENTER, {0, 8, 673, 25});
    const RECT frames[] = {{16, 40, 641, 177}, {16, 224, 281, 169}, {304, 224, 353, 169}};
    for (const RECT& frame : frames) {
        child(window, L"BUTTON", L"Skala", BS_GROUPBOX, frame);
        const wchar_t* captions[] = {L"Option 1", L"Option 2", L"Option 3",
                                     L"Option 4", L"Option 5", L"Option 6"};
        for (int i = 0; i < 6; ++i) {
            child(window, L"BUTTON", captions[i], BS_AUTORADIOBUTTON | WS_TABSTOP | (i == 0 ? WS_GROUP : 0),
                  {frame.left + 8, frame.top + 24 + 24 * i, 260, 17});
        }
    }
    child(window, L"STATIC", L"R = A * H * W", 0, {16, 408, 281, 25});
    child(window, L"STATIC", L"Ergebnis", 0, {288, 408, 281, 17});
    child(window, L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, {576, 400, 73, 25}, 0, WS_EX_CLIENTEDGE);
    g_verdict = child(window, L"STATIC", L"", 0, {16, 448, 641, 57});
    child(window, L"STATIC", L"(c)", 0, {56, 520, 177, 17});
    child(window, L"BUTTON", L"B&erechnen", WS_TABSTOP | BS_DEFPUSHBUTTON, {400, 520, 257, 25}, kCalculate);
    child(window, L"BUTTON", L"Programminfo", WS_TABSTOP, {96, 544, 89, 25});
    child(window, L"BUTTON", L"Programm Be&enden", WS_TABSTOP, {400, 552, 257, 25}, kQuit);
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
        if (LOWORD(wParam) == kCalculate)
            SetWindowTextW(g_verdict,
                           L"In Ihrem Anwendungsfall ergibt sich bei der Berechnung ein GERINGES RISIKO.");
        else if (LOWORD(wParam) == kQuit)
            PostQuitMessage(0);
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
    child(first, L"BUTTON", L"", BS_GROUPBOX, {13, 7, 472, 270});
    for (int i = 0; i < 9; ++i)
        child(first, L"STATIC", L"Zeile", 0, {23, 17 + 28 * i, 300, 20});
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
