// SPDX-License-Identifier: MIT
#include "in_memory_registry.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace about {

std::string InMemoryRegistry::fold(std::uint32_t root, std::string_view name)
{
    std::string folded = std::to_string(root) + ":";
    for (const char c : name)
        folded += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

void InMemoryRegistry::setValue(std::uint32_t root, std::string_view keyName, std::string_view valueName,
                                Value value)
{
    m_keys[fold(root, keyName)].values[fold(0, valueName)] = std::move(value);
}

void InMemoryRegistry::restrictAccess(std::uint32_t root, std::string_view keyName, std::uint32_t allowed)
{
    m_keys[fold(root, keyName)].allowedAccess = allowed;
}

RegistryResult InMemoryRegistry::open(std::uint32_t root, std::string_view keyName, std::uint32_t /*options*/,
                                      std::uint32_t access, RegistryHandle& key)
{
    accessRequested.push_back(access);
    const auto found = m_keys.find(fold(root, keyName));
    if (found == m_keys.end())
        return kErrorFileNotFound;
    if ((access & ~found->second.allowedAccess) != 0)
        return kErrorAccessDenied;
    key = m_next++;
    m_open[key] = found->first;
    return kErrorSuccess;
}

RegistryResult InMemoryRegistry::query(RegistryHandle key, std::string_view valueName, std::uint32_t& type,
                                       unsigned char* data, std::uint32_t& size)
{
    const auto open = m_open.find(key);
    if (open == m_open.end())
        return 6; // ERROR_INVALID_HANDLE
    keysRead.push_back(open->second);
    const Key& stored = m_keys.at(open->second);
    const auto value = stored.values.find(fold(0, valueName));
    if (value == stored.values.end())
        return kErrorFileNotFound;
    const auto needed = static_cast<std::uint32_t>(value->second.data.size());
    type = value->second.type;
    if (needed > size) {
        size = needed;
        return kErrorMoreData;
    }
    std::copy(value->second.data.begin(), value->second.data.end(), data);
    size = needed;
    return kErrorSuccess;
}

void InMemoryRegistry::close(RegistryHandle key)
{
    m_open.erase(key);
}

std::string InMemoryRegistry::expandEnvironmentStrings(const std::string& text)
{
    std::string expanded;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
        if (close == std::string::npos) {
            expanded.append(text, at);
            break;
        }
        const auto value = m_environment.find(text.substr(open + 1, close - open - 1));
        expanded.append(text, at, open - at);
        if (value == m_environment.end()) {
            // Not a known name: the first % stays, the second may open a reference.
            expanded += '%';
            at = open + 1;
        } else {
            expanded += value->second;
            at = close + 1;
        }
    }
    return expanded;
}

} // namespace about
