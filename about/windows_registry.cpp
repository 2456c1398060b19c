// SPDX-License-Identifier: MIT
#include "windows_registry.h"

#include <windows.h>

#include <string>

namespace about {
namespace {

// The predefined roots are 32-bit values that Windows sign-extends to a handle.
HKEY toHkey(std::uint32_t root)
{
    // NOLINTNEXTLINE(performance-no-int-to-ptr): a root key is a number by the API's definition
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

} // namespace

RegistryResult WindowsRegistry::open(std::uint32_t root, std::string_view keyName, std::uint32_t options,
                                     std::uint32_t access, RegistryHandle& key)
{
    HKEY opened = nullptr;
    const LSTATUS result =
        RegOpenKeyExA(toHkey(root), std::string(keyName).c_str(), options, access, &opened);
    if (result == ERROR_SUCCESS)
        key = reinterpret_cast<RegistryHandle>(opened);
    return result;
}

RegistryResult WindowsRegistry::query(RegistryHandle key, std::string_view valueName, std::uint32_t& type,
                                      unsigned char* data, std::uint32_t& size)
{
    DWORD valueType = 0;
    DWORD valueSize = size;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the registry handle is kept as a number between calls
    const LSTATUS result = RegQueryValueExA(reinterpret_cast<HKEY>(key), std::string(valueName).c_str(),
                                            nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return result;
}

void WindowsRegistry::close(RegistryHandle key)
{
    RegCloseKey(reinterpret_cast<HKEY>(key)); // NOLINT(performance-no-int-to-ptr): as above
}

std::string WindowsRegistry::expandEnvironmentStrings(const std::string& text)
{
    // The first call tells the size, with the terminating zero.
    const DWORD size = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::string expanded(size, '\0');
    const DWORD written = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), size);
    if (written == 0 || written > size)
        return {};
    expanded.resize(written - 1);
    return expanded;
}

} // namespace about
