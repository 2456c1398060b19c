// SPDX-License-Identifier: MIT
#include "system_services.h"

#include <cerrno>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include "windows_registry.h"

#include <windows.h>
#else
#include "no_registry.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <thread>
#endif

namespace about {

#ifdef _WIN32

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

#else

void startProgramAt(const std::string& path)
{
    if (path.empty())
        throw std::system_error(ENOENT, std::generic_category(), "no program to start");
    std::string argument0 = path;
    const std::array<char*, 2> arguments{argument0.data(), nullptr};
    pid_t pid = 0;
    // The program gets this process's environment, the C library's own global.
    if (const int error = posix_spawn(&pid, path.c_str(), nullptr, nullptr, arguments.data(),
                                      environ); // NOLINT(cppcoreguidelines-avoid-non-const-global-variables)
        error != 0)
        throw std::system_error(error, std::generic_category(), "cannot start " + path);
    // Nobody waits for the program; a thread of its own reaps it the moment
    // it ends, so that it never lingers as a zombie.
    std::thread([pid] {
        while (waitpid(pid, nullptr, 0) == -1 && errno == EINTR) {
        }
    }).detach();
}

bool isOrdinaryFile(const std::string& path)
{
    struct stat status
    {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

#endif

namespace {

class PlatformServices final : public SystemServices
{
public:
    RegistryBacking& registry() override { return m_registry; }
    bool fileExists(const std::string& path) override { return isOrdinaryFile(path); }
    void startProgram(const std::string& path) override { startProgramAt(path); }

private:
#ifdef _WIN32
    WindowsRegistry m_registry;
#else
    NoRegistry m_registry;
#endif
};

} // namespace

std::unique_ptr<SystemServices> platformSystemServices()
{
    return std::make_unique<PlatformServices>();
}

} // namespace about
