// SPDX-License-Identifier: MIT
#include "system_info_launcher.h"

#include "registry_reader.h"

#include <string>

namespace about {

namespace {

// A path that names something: not empty, and without a zero character, which
// would end it early for the file test and the start and so name another file.
bool usable(const std::string& path)
{
    return !path.empty() && path.find('\0') == std::string::npos;
}

} // namespace

void startSysInfo(SystemServices& services, const std::function<void(std::string_view)>& messageBox)
{
    try {
        std::string toolPath;
        if (!GetKeyValue(services.registry(), kHkeyLocalMachine, kSysInfoKey, kSysInfoValue, toolPath)) {
            if (!GetKeyValue(services.registry(), kHkeyLocalMachine, kSysInfoLocationKey,
                             kSysInfoLocationValue, toolPath) ||
                !usable(toolPath))
                return messageBox(kSysInfoUnavailable);
            // The second value names the folder only.
            const std::string program = toolPath + std::string(kSysInfoProgram);
            if (!services.fileExists(program))
                return messageBox(kSysInfoUnavailable);
            toolPath = program;
        }
        // The first value is trusted as the program's full path without a test.
        if (!usable(toolPath))
            return messageBox(kSysInfoUnavailable);
        services.startProgram(toolPath);
        return;
    } catch (...) {
        // The one error trap: any failure above ends in the message.
    }
    messageBox(kSysInfoUnavailable);
}

} // namespace about
