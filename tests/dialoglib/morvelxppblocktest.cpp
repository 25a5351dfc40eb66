#include "morvelxppblock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

TEST(MorvelXppBlock, TextCarriesItsLengthPlusOne)
{
    std::vector<unsigned char> block(16, 0xcc);
    EXPECT_EQ(11u, MorvelXppBlock::putText(block.data(), "0123456789", 10));
    EXPECT_EQ(11u, MorvelXppBlock::count(block.data()));
    EXPECT_EQ(0, memcmp(block.data(),
                        "\x0b\0\0\0"
                        "0123456789\0",
                        15));
    EXPECT_EQ(0xcc, block[15]);
    EXPECT_STREQ("0123456789", MorvelXppBlock::text(block.data()));
}

TEST(MorvelXppBlock, EmptyTextCountsOne)
{
    unsigned char block[5];
    EXPECT_EQ(1u, MorvelXppBlock::putText(block, "", 0));
    EXPECT_EQ(0, memcmp(block, "\x01\0\0\0\0", 5));
}
