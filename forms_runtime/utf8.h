// SPDX-License-Identifier: MIT
#pragma once

// The texts of the descriptions and the windows are UTF-8; characters one by
// one are char32_t. The two conversions, for every back end.

#include <string>
#include <string_view>

namespace forms {

// The characters of UTF-8 text; a byte that starts no character is skipped.
std::u32string charactersOf(std::string_view utf8);
// Characters as UTF-8.
std::string utf8Of(std::u32string_view characters);

} // namespace forms
