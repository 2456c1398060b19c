// SPDX-License-Identifier: MIT
// The system services on Windows: the real registry, the file test of the
// Windows API, and programs started by CreateProcess.
#include "system_services.h"
#include "windows_registry.h"

#include <windows.h>

#include <system_error>

namespace about {

void startProgramAt(const std::string& path)
{
    if (path.empty())
        throw std::system_error(ERROR_FILE_NOT_FOUND, std::system_category(), "no program to start");
    // The path is the application name, so a path with blanks is never cut at
    // the first blank; the command line carries it quoted, as argument zero.
    std::string commandLine = "\"" + path + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(),
                                "cannot start " + path);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

bool isOrdinaryFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) == 0;
}

std::unique_ptr<SystemServices> platformSystemServices()
{
    return std::make_unique<PlatformServices<WindowsRegistry>>();
}

} // namespace about
