// SPDX-License-Identifier: MIT
#include "registry_reader.h"

#include <array>
#include <stdexcept>

namespace about {
namespace {

// Closes the key when the call ends, whichever way it ends.
class KeyGuard
{
public:
    explicit KeyGuard(RegistryBacking& registry) : m_registry(registry) {}
    ~KeyGuard() { m_registry.close(m_key); }
    KeyGuard(const KeyGuard&) = delete;
    KeyGuard& operator=(const KeyGuard&) = delete;

    RegistryHandle& handle() { return m_key; }

private:
    RegistryBacking& m_registry;
    RegistryHandle m_key = 0;
};

} // namespace

bool GetKeyValue(RegistryBacking& registry, std::uint32_t KeyRoot, std::string_view KeyName,
                 std::string_view SubKeyRef, std::string& KeyVal)
{
    KeyGuard key(registry);
    // Read rights only: the reader never writes, and asking for more would
    // fail for every user who may read but not change the key.
    if (registry.open(KeyRoot, KeyName, 0, kKeyRead, key.handle()) != kErrorSuccess) {
        KeyVal.clear();
        return false;
    }

    std::array<unsigned char, kValueCapacity> buffer{};
    std::uint32_t size = kValueCapacity;
    std::uint32_t type = 0;
    if (registry.query(key.handle(), SubKeyRef, type, buffer.data(), size) != kErrorSuccess ||
        size > kValueCapacity) {
        KeyVal.clear();
        return false;
    }
    if (size == 0)
        throw std::invalid_argument("the registry value " + std::string(SubKeyRef) + " has no data");

    // The data's last byte decides: a terminating zero is dropped, anything else kept.
    const std::size_t length = buffer[size - 1] == 0 ? size - 1 : size;
    const std::string text(reinterpret_cast<const char*>(buffer.data()), length);

    if (type == kRegSz) {
        KeyVal = text;
    } else if (type == kRegExpandSz) {
        // Expandable text ("%ProgramFiles%\...") is used like text once expanded.
        KeyVal = registry.expandEnvironmentStrings(text);
    } else if (type == kRegDword) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        // From the last byte (the most significant) to the first.
        for (std::size_t i = text.size(); i-- > 0;) {
            const auto byte = static_cast<unsigned char>(text[i]);
            KeyVal += kDigits[byte >> 4];
            KeyVal += kDigits[byte & 0x0F];
        }
        // Formatting without a pattern leaves the text as it is.
        KeyVal = "&h" + KeyVal;
    }
    return true;
}

} // namespace about
