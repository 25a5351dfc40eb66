#include "morvelbitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{

std::vector<unsigned char> header(uint32_t size, int32_t width, int32_t height, uint16_t bits,
                                  uint32_t compression = 0, uint32_t used = 0, uint32_t sizeImage = 0)
{
    std::vector<unsigned char> h(size, 0);
    auto put = [&h](size_t at, auto value) { memcpy(h.data() + at, &value, sizeof value); };
    put(0, size);
    put(4, width);
    put(8, height);
    put(12, uint16_t(1));
    put(14, bits);
    put(16, compression);
    put(20, sizeImage);
    put(32, used);
    return h;
}

uint32_t u32(const std::vector<unsigned char> &bytes, size_t at)
{
    uint32_t value;
    memcpy(&value, bytes.data() + at, 4);
    return value;
}

} // namespace

TEST(MorvelBitmap, Layouts)
{
    const struct {
        const char *name;
        std::vector<unsigned char> dib;
        uint32_t colours, tableBytes, rowBytes, imageBytes;
    } cases[] = {
        {"1 bit", header(40, 33, 2, 1), 2, 8, 8, 16},
        {"4 bits", header(40, 3, 3, 4), 16, 64, 4, 12},
        {"8 bits", header(40, 5, 2, 8), 256, 1024, 8, 16},
        {"8 bits, 20 colours used", header(40, 5, 2, 8, 0, 20), 20, 80, 8, 16},
        {"24 bits", header(40, 3, 2, 24), 0, 0, 12, 24},
        {"24 bits with a palette", header(40, 3, 2, 24, 0, 4), 4, 16, 12, 24},
        {"top-down", header(40, 4, -3, 24), 0, 0, 12, 36},
        {"bit fields", header(40, 2, 2, 16, 3), 0, 12, 4, 8},
        {"bit fields in a version 5 header", header(124, 2, 2, 32, 3), 0, 0, 8, 16},
        {"run lengths", header(40, 10, 10, 8, 1, 0, 77), 256, 1024, 0, 77},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MorvelBitmap::Layout layout;
        ASSERT_TRUE(MorvelBitmap::layout(c.dib.data(), layout));
        EXPECT_EQ(c.colours, layout.colours);
        EXPECT_EQ(c.tableBytes, layout.colourTableBytes);
        EXPECT_EQ(c.rowBytes, layout.rowBytes);
        EXPECT_EQ(c.imageBytes, layout.imageBytes);
    }
}

TEST(MorvelBitmap, RefusedHeaders)
{
    const struct {
        const char *name;
        std::vector<unsigned char> dib;
    } cases[] = {
        {"core header", header(40, 1, 1, 8)},
        {"no width", header(40, 0, 1, 8)},
        {"no height", header(40, 1, 0, 8)},
        {"odd bit count", header(40, 1, 1, 7)},
        {"too many colours", header(40, 1, 1, 8, 0, 257)},
        {"run lengths without a size", header(40, 10, 10, 8, 1)},
        {"JPEG", header(40, 10, 10, 24, 4, 0, 100)},
        {"huge", header(40, 0x7fffffff, 0x7fffffff, 32)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<unsigned char> dib = c.dib;
        if (std::string(c.name) == "core header")
            dib[0] = 12;
        MorvelBitmap::Layout layout;
        EXPECT_FALSE(MorvelBitmap::layout(dib.data(), layout));
    }
    MorvelBitmap::Layout layout;
    EXPECT_FALSE(MorvelBitmap::layout(nullptr, layout));
}

TEST(MorvelBitmap, FileHeader)
{
    MorvelBitmap::Layout layout;
    ASSERT_TRUE(MorvelBitmap::layout(header(40, 5, 2, 8, 0, 20).data(), layout));
    const std::vector<unsigned char> file = MorvelBitmap::fileHeader(layout);
    ASSERT_EQ(14u, file.size());
    EXPECT_EQ('B', file[0]);
    EXPECT_EQ('M', file[1]);
    EXPECT_EQ(14u + 40 + 80 + 16, u32(file, 2));
    EXPECT_EQ(0u, u32(file, 6));
    EXPECT_EQ(14u + 40 + 80, u32(file, 10));
}

TEST(MorvelBitmap, PaletteEntries)
{
    MorvelBitmap::Layout layout;
    ASSERT_TRUE(MorvelBitmap::layout(header(40, 5, 2, 4, 0, 3).data(), layout));
    EXPECT_EQ(3u, MorvelBitmap::paletteEntries(layout));
    ASSERT_TRUE(MorvelBitmap::layout(header(40, 5, 2, 24, 0, 3).data(), layout));
    EXPECT_EQ(0u, MorvelBitmap::paletteEntries(layout));
}
