// SPDX-License-Identifier: MIT
#pragma once

// A registry held in memory, with the result codes of the Windows registry:
// a missing key or value answers ERROR_FILE_NOT_FOUND, a value larger than the
// caller's buffer ERROR_MORE_DATA with the size it needs, and a key whose
// rights do not cover the requested access ERROR_ACCESS_DENIED. It records
// what was asked of it, for tests.

#include "registry_backing.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace about {

class InMemoryRegistry final : public RegistryBacking
{
public:
    struct Value
    {
        std::uint32_t type = kRegSz;
        std::vector<unsigned char> data;
    };

    // Key names compare without regard to case, as in the Windows registry.
    void setValue(std::uint32_t root, std::string_view keyName, std::string_view valueName, Value value);
    // What %NAME% stands for in expandable text.
    void setEnvironment(std::string name, std::string value)
    {
        m_environment[std::move(name)] = std::move(value);
    }
    // Opens of this key succeed only for access within `allowed`.
    void restrictAccess(std::uint32_t root, std::string_view keyName, std::uint32_t allowed);

    RegistryResult open(std::uint32_t root, std::string_view keyName, std::uint32_t options,
                        std::uint32_t access, RegistryHandle& key) override;
    RegistryResult query(RegistryHandle key, std::string_view valueName, std::uint32_t& type,
                         unsigned char* data, std::uint32_t& size) override;
    void close(RegistryHandle key) override;
    // Known references are replaced; unknown ones stay as they are, as on Windows.
    std::string expandEnvironmentStrings(const std::string& text) override;

    std::vector<std::string> keysRead;          // every key name a query ran on, in order
    std::vector<std::uint32_t> accessRequested; // every access mask asked for, in order
    int openKeys() const { return static_cast<int>(m_open.size()); }

private:
    struct Key
    {
        std::uint32_t allowedAccess = 0xFFFFFFFF;
        std::map<std::string, Value> values;
    };
    static std::string fold(std::uint32_t root, std::string_view name);

    std::map<std::string, Key> m_keys;
    std::map<RegistryHandle, std::string> m_open;
    std::map<std::string, std::string> m_environment;
    RegistryHandle m_next = 0x100;
};

} // namespace about
