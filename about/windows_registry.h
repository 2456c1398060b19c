// SPDX-License-Identifier: MIT
#pragma once

// The Windows registry through advapi32's single-byte functions
// RegOpenKeyExA, RegQueryValueExA and RegCloseKey. Windows only.

#include "registry_backing.h"

namespace about {

class WindowsRegistry final : public RegistryBacking
{
public:
    RegistryResult open(std::uint32_t root, std::string_view keyName, std::uint32_t options,
                        std::uint32_t access, RegistryHandle& key) override;
    RegistryResult query(RegistryHandle key, std::string_view valueName, std::uint32_t& type,
                         unsigned char* data, std::uint32_t& size) override;
    void close(RegistryHandle key) override;
    std::string expandEnvironmentStrings(const std::string& text) override;
};

} // namespace about
