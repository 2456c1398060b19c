// SPDX-License-Identifier: MIT
#pragma once

// The registry of a platform that has none: every key is missing.

#include "registry_backing.h"

namespace about {

class NoRegistry final : public RegistryBacking
{
public:
    RegistryResult open(std::uint32_t, std::string_view, std::uint32_t, std::uint32_t,
                        RegistryHandle&) override
    {
        return kErrorFileNotFound;
    }
    RegistryResult query(RegistryHandle, std::string_view, std::uint32_t&, unsigned char*,
                         std::uint32_t&) override
    {
        return kErrorFileNotFound;
    }
    void close(RegistryHandle) override {}
};

} // namespace about
