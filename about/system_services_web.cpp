// SPDX-License-Identifier: MIT
// The system services of a page in the browser: no registry (every key is
// missing), no files of the user's to test, and no programs to start.
#include "no_registry.h"
#include "system_services.h"

#include <cerrno>
#include <system_error>

namespace about {

void startProgramAt(const std::string& path)
{
    throw std::system_error(ENOSYS, std::generic_category(), "a page cannot start " + path);
}

bool isOrdinaryFile(const std::string& /*path*/)
{
    return false;
}

std::unique_ptr<SystemServices> platformSystemServices()
{
    return std::make_unique<PlatformServices<NoRegistry>>();
}

} // namespace about
