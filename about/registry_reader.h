// SPDX-License-Identifier: MIT
#pragma once

// Reads one named registry value and hands it back as text: REG_SZ as its
// characters without a terminating zero, REG_EXPAND_SZ the same after its
// %NAME% references are expanded, REG_DWORD as "&h" and the number's
// bytes in upper-case hexadecimal from the most significant down. The key is
// opened with read rights only and closed on every path.

#include "registry_backing.h"

#include <string>
#include <string_view>

namespace about {

// The data buffer's capacity; longer values are not read.
inline constexpr std::uint32_t kValueCapacity = 1024;

// True when the key was opened and the value read. On failure `KeyVal`
// becomes "". A value of another type than REG_SZ, REG_EXPAND_SZ or REG_DWORD
// gives true and leaves `KeyVal` as it was. A value with no data at all throws
// std::invalid_argument (after closing the key) and leaves `KeyVal` as it was.
// The text is in the system's single-byte code page, as the value's bytes.
bool GetKeyValue(RegistryBacking& registry, std::uint32_t KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string& KeyVal);

} // namespace about
