// SPDX-License-Identifier: MIT
#include "windows_registry.h"

#include <windows.h>

#include <string>

namespace about {
namespace {

// The predefined roots are 32-bit values that Windows sign-extends to a handle.
HKEY toHkey(std::uint32_t root)
{
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
    const LSTATUS result = RegQueryValueExA(reinterpret_cast<HKEY>(key), std::string(valueName).c_str(),
                                            nullptr, &valueType, data, &valueSize);
    type = valueType;
    size = valueSize;
    return result;
}

void WindowsRegistry::close(RegistryHandle key)
{
    RegCloseKey(reinterpret_cast<HKEY>(key));
}

} // namespace about
