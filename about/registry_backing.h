// SPDX-License-Identifier: MIT
#pragma once

// The three registry operations the registry reader relies on, with the
// result codes and constants of the Windows registry. A backing is the
// Windows registry itself, an in-memory store for tests, or, where the
// platform has no registry, a store in which every key is missing.

#include <cstdint>
#include <string>
#include <string_view>

namespace about {

using RegistryHandle = std::uintptr_t; // 0 is the null handle
using RegistryResult = long;           // 0 is success

inline constexpr std::uint32_t kHkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t kKeyRead = 0x00020019; // standard read, query value, enumerate, notify
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr RegistryResult kErrorSuccess = 0;
inline constexpr RegistryResult kErrorFileNotFound = 2;
inline constexpr RegistryResult kErrorAccessDenied = 5;
inline constexpr RegistryResult kErrorMoreData = 234;

class RegistryBacking
{
public:
    virtual ~RegistryBacking() = default;

    // Opens a key below a predefined root; on success sets `key` and returns 0.
    virtual RegistryResult open(std::uint32_t root, std::string_view keyName, std::uint32_t options,
                                std::uint32_t access, RegistryHandle& key) = 0;
    // Reads a value into `data`, whose capacity `size` gives on entry; on
    // success returns 0 with the value's type and its size in bytes.
    virtual RegistryResult query(RegistryHandle key, std::string_view valueName, std::uint32_t& type,
                                 unsigned char* data, std::uint32_t& size) = 0;
    // Closes a key; closing the null handle is allowed and does nothing.
    virtual void close(RegistryHandle key) = 0;
    // Expands the %NAME% references of a REG_EXPAND_SZ value's text with the
    // environment of the platform the registry belongs to.
    virtual std::string expandEnvironmentStrings(const std::string& text) { return text; }
};

} // namespace about
