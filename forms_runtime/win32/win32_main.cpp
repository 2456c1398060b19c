// SPDX-License-Identifier: MIT
// Gradolux for Windows starts with its splash window; nothing of its own runs before it.

#include "application_properties.h"
#include "program_start.h"
#include "win32_runtime.h"

#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int /*show*/)
{
    forms::Win32Runtime runtime{std::string(resources::kApplication.title), instance};
    startup::startProgram(runtime);
    if (runtime.hasEnded())
        return runtime.exitCode();
    return runtime.run();
}
