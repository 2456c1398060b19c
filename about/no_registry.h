// SPDX-License-Identifier: MIT
#pragma once

// The registry of a platform that has none: every key is missing.

#include "registry_backing.h"

namespace about {

class NoRegistry final : public RegistryBacking
{
public:
    RegistryResult open(std::uint32_t /*root*/, std::string_view /*keyName*/, std::uint32_t /*options*/,
                        std::uint32_t /*access*/, RegistryHandle& /*key*/) override
    {
        return kErrorFileNotFound;
    }
    RegistryResult query(RegistryHandle /*key*/, std::string_view /*valueName*/, std::uint32_t& /*type*/,
                         unsigned char* /*data*/, std::uint32_t& /*size*/) override
    {
        return kErrorFileNotFound;
    }
    void close(RegistryHandle /*key*/) override {}
};

} // namespace about
