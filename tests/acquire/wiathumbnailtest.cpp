#include "wiathumbnail.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

uint32_t field(const std::vector<uint8_t> &block, size_t offset, size_t bytes)
{
    uint32_t value = 0;
    for (size_t i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t>(block[offset + i]) << (8 * i);
    return value;
}

std::vector<uint8_t> pixels(size_t count)
{
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<uint8_t>(0xa0 + i);
    return bytes;
}

TEST(WiaThumbnail, RowsArePaddedToFourBytes)
{
    const struct {
        int32_t width;
        int64_t row;
    } cases[] = {{1, 4}, {2, 8}, {3, 12}, {4, 12}, {5, 16}, {6, 20}, {7, 24}, {8, 24}, {160, 480}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.width);
        EXPECT_EQ(c.row, WiaThumbnail::rowLength(c.width));
        EXPECT_EQ(0, WiaThumbnail::rowLength(c.width) % 4);
    }
}

TEST(WiaThumbnail, FiveByTwoPacksIntoSeventyTwoBytes)
{
    const std::vector<uint8_t> data = pixels(32);
    const std::vector<uint8_t> block = WiaThumbnail::pack(5, 2, data.data(), data.size());
    ASSERT_EQ(72u, block.size());
    EXPECT_EQ(40u, field(block, 0, 4));  // header size
    EXPECT_EQ(5u, field(block, 4, 4));   // width
    EXPECT_EQ(2u, field(block, 8, 4));   // height: bottom-up
    EXPECT_EQ(1u, field(block, 12, 2));  // planes
    EXPECT_EQ(24u, field(block, 14, 2)); // bits per pixel
    EXPECT_EQ(0u, field(block, 16, 4));  // uncompressed
    EXPECT_EQ(72u, field(block, 20, 4)); // the image size field holds the whole block
    for (size_t offset = 24; offset < 40; offset += 4)
        EXPECT_EQ(0u, field(block, offset, 4)) << "offset " << offset;
    EXPECT_EQ(0, std::memcmp(block.data() + 40, data.data(), data.size())) << "rows as delivered";
}

TEST(WiaThumbnail, NoBlockWhenTheBytesDoNotFit)
{
    const std::vector<uint8_t> data = pixels(64);
    const struct {
        const char *what;
        int32_t width;
        int32_t height;
        size_t size;
        bool data;
    } cases[] = {
        {"a byte short", 5, 2, 31, true},
        {"a byte over", 5, 2, 33, true},
        {"unpadded rows", 5, 2, 30, true},
        {"no bytes", 5, 2, 32, false},
        {"empty", 0, 0, 0, true},
        {"negative width", -5, 2, 32, true},
        {"negative both", -5, -2, 32, true},
        {"wrapping height", 1, 0x40000000, 0, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_TRUE(WiaThumbnail::pack(c.width, c.height, c.data ? data.data() : nullptr, c.size).empty());
    }
}

} // namespace
