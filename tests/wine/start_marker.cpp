// SPDX-License-Identifier: MIT
// Records that this very file was started: writes its command line to a file
// named after its own path with ".started" appended.

#include <windows.h>

#include <cstdio>
#include <string>

int main()
{
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    const std::string marker = std::string(module) + ".started";
    if (FILE* file = std::fopen(marker.c_str(), "wb")) {
        std::fputs(GetCommandLineA(), file);
        std::fclose(file);
    }
    return 0;
}
