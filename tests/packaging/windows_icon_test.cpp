// SPDX-License-Identifier: MIT
// The Windows icon file, parsed here rather than trusted: exactly three
// images, 32 x 32 in 2 colours, 32 x 32 in 16 colours and 16 x 16 in 16
// colours, each a complete bitmap with its mask.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

namespace {

std::vector<unsigned char> readIcon()
{
    std::ifstream in(GRADOLUX_ICO_PATH, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::uint32_t at16(const std::vector<unsigned char>& data, std::size_t offset)
{
    return data.at(offset) | data.at(offset + 1) << 8;
}

std::uint32_t at32(const std::vector<unsigned char>& data, std::size_t offset)
{
    return at16(data, offset) | at16(data, offset + 2) << 16;
}

struct Expected
{
    unsigned size;
    unsigned colours;
    unsigned bits;
};

TEST(WindowsIconTest, HoldsExactlyTheThreeImagesOfTheIconGroup)
{
    const std::vector<unsigned char> ico = readIcon();
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(at16(ico, 0), 0u);
    EXPECT_EQ(at16(ico, 2), 1u) << "an icon, not a cursor";
    ASSERT_EQ(at16(ico, 4), 3u);

    const Expected expected[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
    std::size_t end = 6 + 3 * 16;
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const std::size_t entry = 6 + i * 16;
        const Expected& want = expected[i];
        EXPECT_EQ(ico.at(entry), want.size);
        EXPECT_EQ(ico.at(entry + 1), want.size);
        EXPECT_EQ(ico.at(entry + 2), want.colours);
        EXPECT_EQ(at16(ico, entry + 4), 1u);
        EXPECT_EQ(at16(ico, entry + 6), want.bits);
        const std::uint32_t bytes = at32(ico, entry + 8);
        const std::uint32_t offset = at32(ico, entry + 12);
        EXPECT_EQ(offset, end) << "images follow each other without gaps";
        ASSERT_LE(offset + bytes, ico.size());
        end = offset + bytes;

        // The bitmap header agrees with the directory, and the sizes add up.
        EXPECT_EQ(at32(ico, offset), 40u);
        EXPECT_EQ(at32(ico, offset + 4), want.size);
        EXPECT_EQ(at32(ico, offset + 8), 2 * want.size) << "colour bits and mask";
        EXPECT_EQ(at16(ico, offset + 14), want.bits);
        EXPECT_EQ(at32(ico, offset + 16), 0u) << "uncompressed";
        const std::uint32_t colourStride = (want.size * want.bits + 31) / 32 * 4;
        const std::uint32_t maskStride = (want.size + 31) / 32 * 4;
        EXPECT_EQ(bytes, 40 + 4 * want.colours + (colourStride + maskStride) * want.size);

        // The picture uses its palette, and its rounded corner is transparent.
        std::set<unsigned> used;
        const std::size_t pixels = offset + 40 + 4 * want.colours;
        for (std::uint32_t y = 0; y < want.size; ++y)
            for (std::uint32_t x = 0; x < want.size; ++x) {
                const unsigned byte = ico.at(pixels + y * colourStride + x * want.bits / 8);
                used.insert((byte >> (8 - want.bits - x * want.bits % 8)) & ((1u << want.bits) - 1));
            }
        EXPECT_GE(used.size(), want.colours == 2 ? 2u : 5u);
        const std::size_t mask = pixels + colourStride * want.size;
        EXPECT_TRUE(ico.at(mask) & 0x80) << "the bottom-left corner pixel is masked out";
    }
    EXPECT_EQ(end, ico.size()) << "nothing after the last image";
}

} // namespace
