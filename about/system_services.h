// SPDX-License-Identifier: MIT
#pragma once

// What the System Information launcher needs of the platform: the registry,
// a test whether an ordinary file exists, and a program starter. The real
// ones come from platformSystemServices(); tests substitute their own.

#include "registry_backing.h"

#include <memory>
#include <string>

namespace about {

class SystemServices
{
public:
    virtual ~SystemServices() = default;

    virtual RegistryBacking& registry() = 0;
    // Whether an ordinary file (not a folder, not hidden or system) of that name exists.
    virtual bool fileExists(const std::string& path) = 0;
    // Starts exactly the program at `path` as a process of its own, in a
    // normal window, and returns at once. The path is never parsed as a
    // command line nor handed to a shell. Throws std::system_error when the
    // program cannot be started.
    virtual void startProgram(const std::string& path) = 0;
};

// The registry, file test and program starter of the platform Gradolux runs
// on. Without a registry (anything but Windows) every key is missing.
std::unique_ptr<SystemServices> platformSystemServices();

// Starts the program at `path` directly (posix_spawn on POSIX systems,
// CreateProcess with the path as the application name on Windows).
void startProgramAt(const std::string& path);
bool isOrdinaryFile(const std::string& path);

// The platform's services around its registry backing; each platform's file
// names the backing.
template <class Registry> class PlatformServices final : public SystemServices
{
public:
    RegistryBacking& registry() override { return m_registry; }
    bool fileExists(const std::string& path) override { return isOrdinaryFile(path); }
    void startProgram(const std::string& path) override { startProgramAt(path); }

private:
    Registry m_registry;
};

} // namespace about
