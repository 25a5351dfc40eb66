#include "morvelfontsize.h"

#include <gtest/gtest.h>

#include <array>

namespace
{

std::array<int32_t, 30> record(int32_t a, int32_t b)
{
    std::array<int32_t, 30> fields{};
    fields[13] = a; // field 14
    fields[24] = b; // field 25
    return fields;
}

} // namespace

TEST(MorvelFontSize, Conversions)
{
    const struct {
        int32_t a, b, size, system, host;
    } cases[] = {
        {1, 1, 12, 16, 9},
        {1, 1, 10, 13, 7}, // 13.33 and 7.5 cut toward zero
        {2, 3, 12, 24, 6}, // 12*3*96/72 = 48, / 2; 12*2*72/96 = 18, / 3
        {96, 72, 72, 72, 72},
        {1, 1, -12, -16, -9},
        {1000000, 1000000, 100000, 133333, 75000}, // needs the 64-bit intermediate
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "A " << c.a << " B " << c.b << " size " << c.size);
        const auto fields = record(c.a, c.b);
        EXPECT_EQ(c.system, MorvelFontSize::systemSize(fields.data(), c.size));
        EXPECT_EQ(c.host, MorvelFontSize::hostSize(fields.data(), c.size));
    }
}

TEST(MorvelFontSize, ZeroDivisorGivesZero)
{
    EXPECT_EQ(0, MorvelFontSize::systemSize(record(0, 5).data(), 12));
    EXPECT_EQ(0, MorvelFontSize::hostSize(record(5, 0).data(), 12));
}
