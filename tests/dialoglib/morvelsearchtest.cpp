#include "morvelsearch.h"
#include "sharedcases.h"

#include <gtest/gtest.h>

static_assert(kSearchMatchCase == MorvelSearch::kMatchCase, "the hosts' flag");

TEST(MorvelSearch, Matches)
{
    for (const SearchCase &c : kSearchCases) {
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
