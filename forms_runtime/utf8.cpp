// SPDX-License-Identifier: MIT
#include "utf8.h"

namespace forms {

std::u32string charactersOf(std::string_view utf8)
{
    std::u32string text;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = lead < 0x80    ? 1
                                   : lead >= 0xF0 ? 4
                                   : lead >= 0xE0 ? 3
                                   : lead >= 0xC0 ? 2
                                                  : 0;
        if (length == 0 || i + length > utf8.size()) {
            ++i;
            continue;
        }
        char32_t character = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k)
            character = (character << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        text.push_back(character);
        i += length;
    }
    return text;
}

std::string utf8Of(std::u32string_view characters)
{
    std::string out;
    const auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    for (const char32_t c : characters) {
        if (c < 0x80) {
            put(c);
        } else if (c < 0x800) {
            put(0xC0 | (c >> 6));
            put(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            put(0xE0 | (c >> 12));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        } else {
            put(0xF0 | (c >> 18));
            put(0x80 | ((c >> 12) & 0x3F));
            put(0x80 | ((c >> 6) & 0x3F));
            put(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace forms
