#include "morvelsearch.h"

#include <gtest/gtest.h>

TEST(MorvelSearch, Matches)
{
    const struct {
        const char *text;
        const char *pattern;
        uint32_t flags;
        bool found;
        size_t position;
    } cases[] = {
        {"Hello World", "world", 0, true, 6},
        {"Hello World", "world", MorvelSearch::kMatchCase, false, 0},
        {"Hello World", "World", MorvelSearch::kMatchCase, true, 6},
        {"Hello", "hel", 0, true, 0},
        {"aab", "ab", 0, true, 1}, // begins inside a partial match
        {"abcabd", "abd", 0, true, 3},
        {"Gr\xfc\xdf"
         "e",
         "GR\xdc\xdf", 0, true, 0}, // umlauts fold, sharp s stays
        {"\xc4rger", "\xe4rger", 0, true, 0},
        {"caf\xe9", "CAF\xc9", 0, false, 0}, // other accented letters do not fold
        {"ab", "abc", 0, false, 0},
        {"abc", "", 0, false, 0},
        {"x", "x", 0, true, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.pattern);
        size_t position = 99;
        EXPECT_EQ(c.found, MorvelSearch::find(c.text, c.pattern, c.flags, &position));
        if (c.found)
            EXPECT_EQ(c.position, position);
        else
            EXPECT_EQ(99u, position);
    }
    EXPECT_TRUE(MorvelSearch::find("abc", "c", 0, nullptr));
    EXPECT_FALSE(MorvelSearch::find(nullptr, "c", 0, nullptr));
}
