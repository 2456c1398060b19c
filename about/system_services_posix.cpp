// SPDX-License-Identifier: MIT
// The system services on POSIX systems: no registry (every key is missing),
// the file test of stat, and programs started by posix_spawn.
#include "no_registry.h"
#include "system_services.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cerrno>
#include <system_error>
#include <thread>

namespace about {

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

std::unique_ptr<SystemServices> platformSystemServices()
{
    return std::make_unique<PlatformServices<NoRegistry>>();
}

} // namespace about
