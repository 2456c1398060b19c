// SPDX-License-Identifier: MIT
// Runs a Windows program, waits for it and prints its exit code in full.
// Wine hands a program's exit code to Linux in 8 bits only, so 3010 would
// arrive as 194: the Windows lane reads the installers' codes through this.
//   exit_code PROGRAM [ARGUMENT...]
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t* argv[])
{
    if (argc < 2)
        return 2;
    // The command line as the program is to see it: the program quoted, the
    // arguments as given (the installer's /D= and _?= take the rest of the
    // line, blanks included, and must not be quoted).
    std::wstring line = L"\"" + std::wstring(argv[1]) + L"\"";
    for (int i = 2; i < argc; ++i)
        line += L" " + std::wstring(argv[i]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::printf("cannot start: %lu\n", GetLastError());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::printf("%lu\n", code);
    return 0;
}
