// SPDX-License-Identifier: MIT
#include "utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Utf8Case
{
    const char* name;
    std::string utf8;
    std::u32string characters;
};

class Utf8Test : public testing::TestWithParam<Utf8Case>
{};

// Each length of a UTF-8 sequence, both ways.
TEST_P(Utf8Test, CharactersAndUtf8AreEachOthersText)
{
    const Utf8Case& c = GetParam();
    EXPECT_EQ(forms::charactersOf(c.utf8), c.characters);
    EXPECT_EQ(forms::utf8Of(c.characters), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, Utf8Test,
    testing::Values(Utf8Case{"Empty", "", U""}, Utf8Case{"Ascii", "R = A * H * W", U"R = A * H * W"},
                    Utf8Case{"TwoBytes", "H\xC3\xA4ufigkeit", U"H\u00E4ufigkeit"},
                    Utf8Case{"ThreeBytes", "14.500.000 \xE2\x82\xAC", U"14.500.000 \u20AC"},
                    Utf8Case{"FourBytes", "\xF0\x9F\x98\x80!", U"\U0001F600!"},
                    Utf8Case{"Bounds", "\x7F\xDF\xBF\xEF\xBF\xBF\xF4\x8F\xBF\xBF",
                             U"\x7F\u07FF\uFFFF\U0010FFFF"}),
    [](const testing::TestParamInfo<Utf8Case>& info) { return std::string(info.param.name); });

// A byte that starts no character, or a sequence cut short at the end, is
// left out rather than read as another character.
TEST(Utf8BrokenTest, BytesThatStartNoCharacterAreSkipped)
{
    EXPECT_EQ(forms::charactersOf("\x80"
                                  "a"),
              U"a");
    EXPECT_EQ(forms::charactersOf("a\xE2\x82"), U"a");
    EXPECT_EQ(forms::charactersOf("\xF0\x9F"), U"");
}

} // namespace
